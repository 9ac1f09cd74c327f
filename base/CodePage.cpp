#include "base/CodePage.h"

#include "base/Utf16.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>
#include <utility>

namespace moxalo::text {

namespace {

// One iconv conversion, opened for a single text so that no state is shared between threads,
// and the text it makes.
class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`. Returns 0, or the error at what cannot be converted: EILSEQ, or EINVAL for
    // an incomplete character at the end; `in` then starts there.
    int convert(std::string_view& in) {
        while (!in.empty()) {
            std::size_t chunk = std::min(in.size(), kChunkBytes);
            makeRoom(chunk * 4 + 16);
            char* from = const_cast<char*>(in.data());
            std::size_t fromLeft = chunk;
            char* to = out_.data() + used_;
            std::size_t room = out_.size() - used_;
            std::size_t result = iconv(cd_, &from, &fromLeft, &to, &room);
            int error = errno;
            used_ = static_cast<std::size_t>(to - out_.data());
            in.remove_prefix(chunk - fromLeft);
            if (result == static_cast<std::size_t>(-1) && error != E2BIG)
                return error;
        }
        return 0;
    }

    // Writes out a character a stateful code page holds back, and starts afresh.
    void flush() {
        makeRoom(32);
        char* to = out_.data() + used_;
        std::size_t room = out_.size() - used_;
        iconv(cd_, nullptr, nullptr, &to, &room);
        used_ = static_cast<std::size_t>(to - out_.data());
    }

    void append(char c) {
        makeRoom(1);
        out_[used_++] = c;
    }

    std::string take() {
        out_.resize(used_);
        return std::move(out_);
    }

private:
    // glibc converts from UTF-16 in two steps, and a character the second step cannot convert
    // makes it convert again all the first step did ahead of it; small pieces keep that short.
    static constexpr std::size_t kChunkBytes = 256;

    // The buffer grows by doubling, so that a text with many characters to replace, each
    // asking for room again, is still converted in linear time.
    void makeRoom(std::size_t room) {
        if (out_.size() - used_ < room)
            out_.resize(std::max(out_.size() * 2, used_ + room));
    }

    iconv_t cd_;
    std::string out_;
    std::size_t used_ = 0;
};

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The number in "1251", "cp1251" or "windows-1251", or "" when the name has none.
std::string numberIn(std::string_view name) {
    std::string lower = lowerCase(name);
    if (lower == "utf-8" || lower == "utf8")
        return "65001";
    std::string_view digits = lower;
    for (std::string_view prefix : {"windows-", "cp"}) {
        if (digits.starts_with(prefix)) {
            digits.remove_prefix(prefix.size());
            break;
        }
    }
    bool number = !digits.empty() && digits.size() <= 5 &&
                  std::all_of(digits.begin(), digits.end(),
                              [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    return number ? std::string(digits) : std::string();
}

void appendLatin1(Converter& out, unsigned char byte) {
    if (byte < 0x80) {
        out.append(static_cast<char>(byte));
    } else {
        out.append(static_cast<char>(0xC0 | (byte >> 6)));
        out.append(static_cast<char>(0x80 | (byte & 0x3F)));
    }
}

} // namespace

CodePage::CodePage(std::string number)
    : number_(std::move(number)), iconvName_(number_ == "65001" ? "UTF-8" : "CP" + number_) {}

Result<CodePage> CodePage::named(std::string_view name) {
    CodePage page(numberIn(name));
    if (page.number_.empty() || !Converter("UTF-8", page.iconvName_).ok())
        return fail("unknown code page \"" + std::string(name) +
                    "\": name a Windows code page by its number, as in 1252, cp1251 or "
                    "windows-1251, or as UTF-8");
    std::string ascii(0x80, '\0');
    for (std::size_t i = 0; i < ascii.size(); ++i)
        ascii[i] = static_cast<char>(i);
    // A .reg file's syntax is ASCII; EBCDIC and UTF-16 cannot hold it.
    if (page.toUtf8(ascii) != ascii)
        return fail("code page " + page.number_ +
                    " cannot be used for .reg files: it does not keep ASCII as it is");
    Converter probe("UTF-8", page.iconvName_);
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        char one = static_cast<char>(byte);
        std::string_view rest(&one, 1);
        probe.flush();
        if (probe.convert(rest) == EILSEQ)
            page.undefined_.set(byte);
    }
    return page;
}

CodePage::CodePage() : CodePage(*named("1252")) {}

std::string CodePage::toUtf8(std::string_view bytes) const {
    Converter decoder("UTF-8", iconvName_);
    while (decoder.convert(bytes) != 0) {
        decoder.flush();
        appendLatin1(decoder, static_cast<unsigned char>(bytes.front()));
        bytes.remove_prefix(1);
    }
    decoder.flush();
    return decoder.take();
}

std::string CodePage::fromUtf16le(const std::uint8_t* data, std::size_t size) const {
    Converter encoder(iconvName_, "UTF-16LE");
    std::string_view in(reinterpret_cast<const char*>(data), size - size % 2);
    auto unitAt = [&in](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(in[i]) |
                                     static_cast<unsigned char>(in[i + 1]) << 8);
    };
    while (encoder.convert(in) != 0) {
        encoder.flush();
        unsigned unit = unitAt(0);
        bool pair = unit >= 0xD800 && unit <= 0xDBFF && in.size() >= 4 && unitAt(2) >= 0xDC00 &&
                    unitAt(2) <= 0xDFFF;
        // What the code page cannot hold becomes "?", as WideCharToMultiByte writes it.
        encoder.append(unit < 0x100 && undefined_.test(unit) ? static_cast<char>(unit) : '?');
        in.remove_prefix(pair ? 4 : 2);
    }
    encoder.flush();
    return encoder.take();
}

std::string CodePage::fromUtf8(std::string_view text) const {
    return fromUtf16le(text::utf8ToUtf16le(text));
}

} // namespace moxalo::text
