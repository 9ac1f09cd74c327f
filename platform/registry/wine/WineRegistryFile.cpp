#include "platform/registry/wine/WineRegistryFile.h"

#include "platform/registry/wine/WineEscape.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace moxalo::registry {

namespace {

// wineserver refuses longer key names (in UTF-16 units).
constexpr std::size_t kMaxKeyNameLength = 256;
// wineserver refuses longer value names (in UTF-16 units).
constexpr std::size_t kMaxValueNameLength = 16383;
// Windows nests keys no deeper than this; it also bounds the writer's walk.
constexpr std::size_t kMaxKeyDepth = 512;
// A user reads the first few problems; a garbage file must not pile up millions of them.
constexpr std::size_t kMaxDiagnostics = 1000;

// The lines of a file, without their "\n" and the CRs before it, numbered from 1.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}
    bool next() {
        if (next_ >= text_.size())
            return false;
        offset_ = next_;
        std::size_t end = std::min(text_.find('\n', offset_), text_.size());
        next_ = end + 1;
        current_ = text_.substr(offset_, end - offset_);
        // Every CR before the "\n" goes with it: one kept in a line written back before "\n"
        // would be read as a line end the next time, and each save would change the file.
        while (current_.ends_with('\r'))
            current_.remove_suffix(1);
        ++number_;
        return true;
    }
    std::string_view current() const { return current_; }
    int number() const { return number_; }
    std::size_t offset() const { return offset_; }

private:
    std::string_view text_;
    std::string_view current_;
    std::size_t offset_ = 0;
    std::size_t next_ = 0;
    int number_ = 0;
};

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

unsigned hexDigitValue(char c) {
    return c <= '9' ? unsigned(c - '0') : (unsigned(c) | 0x20u) - 'a' + 10;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t skipBlanks(std::string_view line, std::size_t pos) {
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    return pos;
}

bool onlyBlanksFrom(std::string_view line, std::size_t pos) {
    return skipBlanks(line, pos) == line.size();
}

std::vector<std::uint8_t> stringBytes(const std::u16string& text) {
    std::vector<std::uint8_t> data;
    data.reserve(text.size() * 2 + 2);
    for (char16_t u : text) {
        data.push_back(static_cast<std::uint8_t>(u & 0xFF));
        data.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    data.insert(data.end(), {0, 0});
    return data;
}

// What is wrong with the line being read; the line is skipped.
class LineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Reader {
public:
    Reader(std::string_view text, const std::string& fileName, MemoryStore& target,
           WineFileLayout& layout)
        : lines_(text), text_(text), fileName_(fileName), target_(target), layout_(layout) {}

    std::vector<WineDiagnostic> run();

private:
    [[noreturn]] void fail(const std::string& what) const { throw LineError(what); }
    // For a file wineserver does not load at all.
    [[noreturn]] void refuse(const std::string& what) const {
        int line = std::max(lines_.number(), 1); // an empty file fails on its first line
        throw StoreError(fileName_ + ": line " + std::to_string(line) + ": " + what);
    }
    void report(int line, std::string message);
    void readLine(std::string_view line);
    void readGlobalOption(std::string_view line);
    void readKey(std::string_view line);
    std::string keyPath(const std::u16string& path);
    void readKeyOption(std::string_view line);
    void readValue(std::string_view line);
    RegValue readData(std::string_view line, std::size_t pos);
    RegValue readString(DWORD type, std::string_view line, std::size_t pos);
    RegValue readDword(std::string_view line, std::size_t pos);
    std::vector<std::uint8_t> readHex(std::string_view line, std::size_t pos);

    Lines lines_;
    std::string_view text_;
    const std::string& fileName_;
    MemoryStore& target_;
    WineFileLayout& layout_;
    MemoryStore::Node* key_ = nullptr; // null before the first key and after a malformed one
    bool sawKeyLine_ = false;
    int keyLine_ = 0;
    std::size_t headerEnd_ = std::string_view::npos;
    // How a LineError is reported: "<prefix><what><suffix>".
    std::string prefix_;
    std::string suffix_;
    std::vector<WineDiagnostic> diagnostics_;
    std::size_t unlisted_ = 0;
    int firstUnlistedLine_ = 0;
};

std::vector<WineDiagnostic> Reader::run() {
    if (!lines_.next() || lines_.current() != kWineRegistryHeader)
        refuse("not a Wine registry file (the first line must be \"" +
               std::string(kWineRegistryHeader) + "\")");
    while (lines_.next()) {
        int number = lines_.number();
        std::string_view line = lines_.current();
        line.remove_prefix(skipBlanks(line, 0));
        try {
            readLine(line);
        } catch (const LineError& e) {
            // Hex data may have gone on to later lines; wineserver skips them with it.
            std::string where = lines_.number() == number
                                    ? ""
                                    : " (on line " + std::to_string(lines_.number()) + ")";
            report(number, prefix_ + e.what() + where + suffix_);
        }
    }
    if (unlisted_ > 0)
        diagnostics_.push_back(
            {firstUnlistedLine_, std::to_string(unlisted_) + " more problems from here on"});
    layout_.header = std::string(text_.substr(0, headerEnd_));
    // wineserver starts every key with an empty line, which therefore is not the header's.
    if (sawKeyLine_ && layout_.header.ends_with("\n\n"))
        layout_.header.pop_back();
    return std::move(diagnostics_);
}

void Reader::report(int line, std::string message) {
    if (diagnostics_.size() < kMaxDiagnostics) {
        diagnostics_.push_back({line, std::move(message)});
    } else if (unlisted_++ == 0) {
        firstUnlistedLine_ = line;
    }
}

void Reader::readLine(std::string_view line) {
    char first = line.empty() ? ';' : line[0];
    prefix_.clear();
    suffix_.clear();
    if (first == '[') {
        if (!sawKeyLine_)
            headerEnd_ = lines_.offset();
        sawKeyLine_ = true;
        key_ = nullptr;
        keyLine_ = lines_.number();
        prefix_ = "key not read: ";
        suffix_ = "; the values after it are skipped";
        readKey(line);
    } else if (first == '@' || first == '"') {
        prefix_ = "value skipped: ";
        if (key_ == nullptr)
            fail(sawKeyLine_ ? "its key (line " + std::to_string(keyLine_) + ") was not read"
                             : "it comes before the first key");
        readValue(line);
    } else if (first == '#') {
        prefix_ = "key option skipped: ";
        if (key_ != nullptr)
            readKeyOption(line);
        else if (!sawKeyLine_)
            readGlobalOption(line);
        // else an option of a key that was not read, skipped with it
    } else if (first != ';') {
        fail("line skipped: it is not a key, a value or a comment");
    }
}

void Reader::readGlobalOption(std::string_view line) {
    if (line.starts_with("#arch=") && line != "#arch=win32" && line != "#arch=win64")
        refuse("unknown architecture \"" + std::string(line.substr(6)) + "\"");
}

void Reader::readKey(std::string_view line) {
    std::u16string path;
    auto end = parseWineText(line, 1, ']', path);
    if (!end)
        fail("the closing \"]\" is missing");
    std::string_view stamp = line.substr(*end);
    std::size_t digits = skipBlanks(stamp, 0);
    while (digits < stamp.size() && stamp[digits] >= '0' && stamp[digits] <= '9')
        ++digits;
    std::string joined = keyPath(path);
    // wineserver takes the time from "#time=" or, without it, from the clock.
    if (!onlyBlanksFrom(stamp, digits))
        report(lines_.number(), "the text after the key name is not a time; the key is read");
    key_ = MemoryStore::node(target_.createPath(joined));
    layout_.keys[key_] = WineKeyInfo{std::string(stamp), {}, false, false, false};
}

// Names are separated by one backslash once the escapes are read; repeated ones count as one.
std::string Reader::keyPath(const std::u16string& path) {
    if (!path.empty() && path[0] == u'\\')
        fail("the key path starts with a backslash");
    std::string joined;
    std::size_t depth = 0;
    for (std::size_t start = 0; start < path.size();) {
        std::size_t end = std::min(path.find(u'\\', start), path.size());
        if (end - start > kMaxKeyNameLength)
            fail("a key name is longer than " + std::to_string(kMaxKeyNameLength) + " characters");
        if (end > start) {
            if (++depth > kMaxKeyDepth)
                fail("keys are nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
            joined += (joined.empty() ? "" : "\\") + fromUtf16(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return joined;
}

void Reader::readKeyOption(std::string_view line) {
    WineKeyInfo& info = layout_.keys[key_];
    if (line.starts_with("#class=")) {
        std::u16string name;
        auto end =
            line.size() > 7 && line[7] == '"' ? parseWineText(line, 8, '"', name) : std::nullopt;
        if (!end || !onlyBlanksFrom(line, *end))
            fail("malformed key class");
        info.hasClass = true;
    }
    if (line.starts_with("#link"))
        info.isLink = true;
    info.options.emplace_back(line);
}

void Reader::readValue(std::string_view line) {
    std::u16string name;
    std::size_t pos = 1;
    if (line[0] == '"') {
        auto end = parseWineText(line, 1, '"', name);
        if (!end)
            fail("the value name has no closing quote");
        if (name.size() > kMaxValueNameLength)
            fail("the value name is longer than " + std::to_string(kMaxValueNameLength) +
                 " characters");
        pos = *end;
    }
    pos = skipBlanks(line, pos);
    if (pos == line.size() || line[pos] != '=')
        fail("\"=\" missing after the value name");
    RegValue value = readData(line, skipBlanks(line, pos + 1));
    target_.setValue(MemoryStore::id(key_), fromUtf16(name), value);
}

RegValue Reader::readData(std::string_view line, std::size_t pos) {
    std::string_view data = line.substr(pos);
    static constexpr std::pair<std::string_view, DWORD> strings[] = {{"\"", REG_SZ},
                                                                     {"str:\"", REG_SZ},
                                                                     {"str(2):\"", REG_EXPAND_SZ},
                                                                     {"str(7):\"", REG_MULTI_SZ}};
    for (const auto& [tag, type] : strings) {
        if (data.starts_with(tag))
            return readString(type, line, pos + tag.size());
    }
    if (data.starts_with("dword:"))
        return readDword(line, pos + 6);
    if (data.starts_with("hex:"))
        return RegValue{REG_BINARY, readHex(line, pos + 4)};
    if (!data.starts_with("hex("))
        fail("unknown value type");
    std::size_t end = data.find("):");
    if (end == std::string_view::npos || end == 4 || end > 12 ||
        !std::all_of(data.begin() + 4, data.begin() + end, isHexDigit))
        fail("malformed value type");
    DWORD type = 0;
    for (char c : data.substr(4, end - 4))
        type = type * 16 + hexDigitValue(c);
    return RegValue{type, readHex(line, pos + end + 2)};
}

RegValue Reader::readString(DWORD type, std::string_view line, std::size_t pos) {
    std::u16string text;
    auto end = parseWineText(line, pos, '"', text);
    if (!end)
        fail("the string has no closing quote");
    if (!onlyBlanksFrom(line, *end))
        fail("unexpected text after the string");
    return RegValue{type, stringBytes(text)};
}

RegValue Reader::readDword(std::string_view line, std::size_t pos) {
    std::size_t end = pos;
    DWORD dw = 0;
    for (; end < line.size() && end - pos <= 8 && isHexDigit(line[end]); ++end)
        dw = dw * 16 + hexDigitValue(line[end]);
    if (end == pos || end - pos > 8 || !onlyBlanksFrom(line, end))
        fail("malformed dword");
    return RegValue{
        REG_DWORD,
        {std::uint8_t(dw), std::uint8_t(dw >> 8), std::uint8_t(dw >> 16), std::uint8_t(dw >> 24)}};
}

// Bytes are separated by commas; a line ending in a backslash goes on in the next line.
std::vector<std::uint8_t> Reader::readHex(std::string_view line, std::size_t pos) {
    std::vector<std::uint8_t> data;
    for (;;) {
        while (pos < line.size() && isHexDigit(line[pos])) {
            unsigned byte = hexDigitValue(line[pos++]);
            if (pos < line.size() && isHexDigit(line[pos]))
                byte = byte * 16 + hexDigitValue(line[pos++]);
            if (pos < line.size() && isHexDigit(line[pos]))
                fail("malformed hex byte");
            data.push_back(static_cast<std::uint8_t>(byte));
            pos = skipBlanks(line, pos);
            if (pos < line.size() && line[pos] == ',')
                pos = skipBlanks(line, pos + 1);
        }
        if (pos == line.size())
            return data;
        if (line[pos] != '\\' || !onlyBlanksFrom(line, pos + 1))
            fail("malformed hex data");
        if (!lines_.next())
            fail("the file ends in the middle of a value");
        line = lines_.current();
        pos = skipBlanks(line, 0);
    }
}

} // namespace

std::vector<WineDiagnostic> readWineRegistry(std::string_view text, const std::string& fileName,
                                             MemoryStore& target, WineFileLayout& layout) {
    return Reader(text, fileName, target, layout).run();
}

} // namespace moxalo::registry
