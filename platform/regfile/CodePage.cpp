#include "platform/regfile/CodePage.h"

#include "platform/registry/Utf16.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>

namespace moxalo::regfile {

namespace {

// One iconv conversion, opened for a single text so that no state is shared between threads.
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

    // Appends the conversion of `in` to `out`. Returns 0, or the error at what cannot be
    // converted: EILSEQ, or EINVAL for an incomplete character at the end; `in` starts there.
    int convert(std::string_view& in, std::string& out) {
        while (!in.empty()) {
            std::size_t used = out.size();
            std::size_t room = in.size() * 2 + 16;
            out.resize(used + room);
            char* from = const_cast<char*>(in.data());
            std::size_t fromLeft = in.size();
            char* to = out.data() + used;
            std::size_t result = iconv(cd_, &from, &fromLeft, &to, &room);
            int error = errno;
            out.resize(static_cast<std::size_t>(to - out.data()));
            in.remove_prefix(in.size() - fromLeft);
            if (result != static_cast<std::size_t>(-1))
                return 0;
            if (error != E2BIG)
                return error;
        }
        return 0;
    }

    // Writes out a character a stateful code page holds back, and starts afresh.
    void flush(std::string& out) {
        char buffer[32];
        char* to = buffer;
        std::size_t room = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &to, &room);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
    }

private:
    iconv_t cd_;
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

void appendLatin1(std::string& out, unsigned char byte) {
    if (byte < 0x80) {
        out.push_back(static_cast<char>(byte));
    } else {
        out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
        out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
}

} // namespace

CodePage::CodePage(std::string_view name) : number_(numberIn(name)) {
    iconvName_ = number_ == "65001" ? "UTF-8" : "CP" + number_;
    Converter decoder("UTF-8", iconvName_);
    if (number_.empty() || !decoder.ok())
        throw UnknownCodePage("unknown code page \"" + std::string(name) +
                              "\": name a Windows code page by its number, as in 1252, cp1251 "
                              "or windows-1251, or as UTF-8");
    std::string ascii(0x80, '\0');
    for (std::size_t i = 0; i < ascii.size(); ++i)
        ascii[i] = static_cast<char>(i);
    std::string_view in = ascii;
    std::string decoded;
    int error = decoder.convert(in, decoded);
    decoder.flush(decoded);
    // A .reg file's syntax is ASCII; EBCDIC and UTF-16 cannot hold it.
    if (error != 0 || decoded != ascii)
        throw UnknownCodePage("code page " + number_ +
                              " cannot be used for .reg files: it does not keep ASCII as it is");
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        char one = static_cast<char>(byte);
        std::string_view rest(&one, 1);
        std::string ignored;
        decoder.flush(ignored);
        if (decoder.convert(rest, ignored) == EILSEQ)
            undefined_.set(byte);
    }
}

std::string CodePage::toUtf8(std::string_view bytes) const {
    Converter decoder("UTF-8", iconvName_);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    while (decoder.convert(bytes, out) != 0) {
        decoder.flush(out);
        appendLatin1(out, static_cast<unsigned char>(bytes.front()));
        bytes.remove_prefix(1);
    }
    decoder.flush(out);
    return out;
}

std::string CodePage::fromUtf16le(const std::uint8_t* data, std::size_t size) const {
    Converter encoder(iconvName_, "UTF-16LE");
    std::string_view in(reinterpret_cast<const char*>(data), size - size % 2);
    std::string out;
    out.reserve(in.size() / 2);
    while (encoder.convert(in, out) != 0) {
        encoder.flush(out);
        auto unitAt = [&in](std::size_t i) {
            return static_cast<unsigned>(static_cast<unsigned char>(in[i]) |
                                         static_cast<unsigned char>(in[i + 1]) << 8);
        };
        unsigned unit = unitAt(0);
        bool pair = unit >= 0xD800 && unit <= 0xDBFF && in.size() >= 4 && unitAt(2) >= 0xDC00 &&
                    unitAt(2) <= 0xDFFF;
        // What the code page cannot hold becomes "?", as WideCharToMultiByte writes it.
        out.push_back(unit < 0x100 && undefined_.test(unit) ? static_cast<char>(unit) : '?');
        in.remove_prefix(pair ? 4 : 2);
    }
    encoder.flush(out);
    return out;
}

std::string CodePage::fromUtf8(std::string_view text) const {
    return fromUtf16le(registry::utf8ToUtf16le(text));
}

} // namespace moxalo::regfile
