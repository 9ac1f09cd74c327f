#include "registry/wine/WineRegistryFile.h"

#include "base/Utf16.h"
#include "registry/ShownName.h"
#include "registry/UnnameableKey.h"
#include "registry/wine/WineEscape.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <unordered_set>

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
// wineserver's sections take about this many bytes at the least (key line and time): room
// for the infos of a file's keys is reserved by it. Reserved room that is not used costs no
// memory.
constexpr std::size_t kSectionBytes = 64;
// How far the reader gets between telling where it is.
constexpr std::size_t kReadStep = std::size_t{4} << 20;

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

// The position of the first byte above 0x7F in text[pos, end), or `end`; eight at a time.
std::size_t firstNonAscii(std::string_view text, std::size_t pos, std::size_t end) {
    for (std::uint64_t word = 0; pos + sizeof word <= end; pos += sizeof word) {
        std::memcpy(&word, text.data() + pos, sizeof word);
        if ((word & 0x8080808080808080ull) != 0)
            break;
    }
    while (pos < end && static_cast<unsigned char>(text[pos]) < 0x80)
        ++pos;
    return pos;
}

// The position of the first '"', backslash or non-ASCII byte from `pos` on, or the line's end.
std::size_t plainTextEnd(std::string_view line, std::size_t pos) {
    std::size_t end = std::min(line.find('"', pos), line.size());
    end = std::min(line.substr(0, end).find('\\', pos), end);
    return firstNonAscii(line, pos, end);
}

// The text of a string value, from after its opening quote to its closing one, made into the
// value's bytes.
RegValue decodeString(DWORD type, std::string_view text) {
    std::string_view body = text.substr(0, text.size() - 1);
    if (plainTextEnd(body, 0) == body.size()) // ASCII without escapes: each byte is a unit
        return RegValue{type, text::stringValueData(body)};
    std::u16string units;
    parseWineText(text, 0, '"', units);
    return RegValue{type, stringBytes(units)};
}

// Where parseWineText would find the closing quote, or the line's end: a backslash escapes the
// character after it, and no escape's digits are a quote.
std::size_t closingQuote(std::string_view line, std::size_t pos) {
    while (pos < line.size()) {
        std::size_t quote = std::min(line.find('"', pos), line.size());
        std::size_t escape = line.substr(0, quote).find('\\', pos);
        if (escape == std::string_view::npos)
            return quote;
        pos = escape + 2;
    }
    return line.size();
}

// What is wrong with the line being read; the line is skipped.
class LineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Reader {
public:
    Reader(std::string_view text, const std::string& fileName, MemoryStore& target,
           WineFileLayout& layout, const std::function<void(std::size_t)>& readUpTo)
        : lines_(text), text_(text), fileName_(fileName), target_(target), layout_(layout),
          readUpTo_(readUpTo) {}

    std::vector<WineDiagnostic> run();

private:
    [[noreturn]] void fail(const std::string& what) const { throw LineError(what); }
    // For a file wineserver does not load at all.
    [[noreturn]] void refuse(const std::string& what) const {
        int line = std::max(lines_.number(), 1); // an empty file fails on its first line
        throw StoreError(fileName_ + ": line " + std::to_string(line) + ": " + what);
    }
    void report(int line, std::string message);
    void keepHeader();
    void tellReadUpTo();
    void readLine(std::string_view line);
    void readGlobalOption(std::string_view line);
    void readKey(std::string_view line);
    std::string_view keepKeyLines(std::string_view stamp);
    std::optional<std::size_t> plainKeyPath(std::string_view line);
    void addName(std::string_view name);
    // wineserver takes a NUL in a key name, which the registry functions would take for its
    // end: the store lists such a key under a stand-in (see UnnameableKey.h), and this says so,
    // once for each such key of the key line's path.
    void reportUnnameableKeys();
    std::vector<std::string> keyNames(const std::u16string& path);
    void readKeyOption(std::string_view line);
    void readValue(std::string_view line);
    void readData(std::string_view name, std::string_view line, std::size_t pos);
    RegValue readTypedHex(std::string_view data, std::string_view line, std::size_t pos);
    void readString(std::string_view name, DWORD type, std::string_view line, std::size_t pos);
    RegValue readDword(std::string_view line, std::size_t pos);
    std::vector<std::uint8_t> readHex(std::string_view line, std::size_t pos);

    Lines lines_;
    std::string_view text_;
    const std::string& fileName_;
    MemoryStore& target_;
    WineFileLayout& layout_;
    const std::function<void(std::size_t)>& readUpTo_;
    std::size_t toldUpTo_ = 0;
    MemoryStore::Node* key_ = nullptr; // null before the first key and after a malformed one
    WineKeyInfo* info_ = nullptr;      // key_'s, until the next key line
    std::size_t keptUpTo_ = 0;         // the end of the option lines kept with the key line
    bool sawKeyLine_ = false;
    int keyLine_ = 0;
    // How a LineError is reported: "<prefix><what><suffix>".
    std::string_view prefix_;
    std::string_view suffix_;
    std::vector<MemoryStore::Node*> chain_; // the keys of the last key line's path
    std::vector<std::string_view> names_;   // the names of the key line being read
    std::vector<WineDiagnostic> diagnostics_;
    std::unordered_set<std::string> reportedKeys_; // paths of keys reportUnnameableKeys() told of
    std::size_t unlisted_ = 0;
    int firstUnlistedLine_ = 0;
};

std::vector<WineDiagnostic> Reader::run() {
    if (!lines_.next() || lines_.current() != kWineRegistryHeader)
        refuse("not a Wine registry file (the first line must be \"" +
               std::string(kWineRegistryHeader) + "\")");
    while (lines_.next()) {
        tellReadUpTo();
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
            report(number, std::string(prefix_) + e.what() + where + std::string(suffix_));
        }
    }
    if (unlisted_ > 0)
        diagnostics_.push_back(
            {firstUnlistedLine_, std::to_string(unlisted_) + " more problems from here on"});
    if (!sawKeyLine_)
        layout_.header = std::string(text_);
    return std::move(diagnostics_);
}

// Once the header is kept, nothing before the line being read is looked at again.
void Reader::tellReadUpTo() {
    if (readUpTo_ && sawKeyLine_ && lines_.offset() - toldUpTo_ >= kReadStep) {
        toldUpTo_ = lines_.offset();
        readUpTo_(toldUpTo_);
    }
}

void Reader::keepHeader() {
    layout_.header = std::string(text_.substr(0, lines_.offset()));
    // wineserver starts every key with an empty line, which therefore is not the header's.
    if (layout_.header.ends_with("\n\n"))
        layout_.header.pop_back();
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
    prefix_ = {};
    suffix_ = {};
    if (first == '[') {
        if (!sawKeyLine_)
            keepHeader();
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
    std::optional<std::size_t> end = plainKeyPath(line);
    std::vector<std::string> decoded; // the names, when escapes had to be read
    // Backslashes separate the names, so only a NUL can make one that no path gives; the
    // line is searched once for it, not each of its names.
    bool holdsNul = false;
    if (!end) {
        std::u16string path;
        end = parseWineText(line, 1, ']', path);
        if (!end)
            fail("the closing \"]\" is missing");
        decoded = keyNames(path);
        names_.assign(decoded.begin(), decoded.end());
        holdsNul = path.find(u'\0') != std::u16string::npos;
    } else {
        holdsNul = line.substr(0, *end).find('\0') != std::string_view::npos;
    }
    std::string_view stamp = line.substr(*end);
    std::size_t digits = skipBlanks(stamp, 0);
    while (digits < stamp.size() && stamp[digits] >= '0' && stamp[digits] <= '9')
        ++digits;
    // wineserver takes the time from "#time=" or, without it, from the clock.
    if (!onlyBlanksFrom(stamp, digits))
        report(lines_.number(), "the text after the key name is not a time; the key is read");
    if (holdsNul)
        reportUnnameableKeys();
    key_ = MemoryStore::node(target_.createPath(names_, chain_));
    info_ = &layout_.keys[key_];
    *info_ = WineKeyInfo{keepKeyLines(stamp), false, false, false};
}

// The key line's tail with its "\n", and the "#time=" lines right after it, kept as one text:
// in the file they stand together, unless CRs were taken off their ends.
std::string_view Reader::keepKeyLines(std::string_view stamp) {
    std::size_t start = static_cast<std::size_t>(stamp.data() - text_.data());
    std::size_t end = start + stamp.size();
    if (end == text_.size() || text_[end] != '\n')
        return layout_.keep({stamp, "\n"});
    for (++end; text_.substr(end).starts_with("#time=");) {
        std::size_t lineEnd = text_.find('\n', end);
        if (lineEnd == std::string_view::npos || text_[lineEnd - 1] == '\r')
            break;
        end = lineEnd + 1;
    }
    keptUpTo_ = end;
    return layout_.keep({text_.substr(start, end - start)});
}

// Most key lines hold ASCII names that only "\\\\" separates: those are read in place into
// names_. Returns the position after "]", or nothing when the names have escapes to read.
std::optional<std::size_t> Reader::plainKeyPath(std::string_view line) {
    names_.clear();
    std::size_t close = line.find(']');
    if (close == std::string_view::npos || firstNonAscii(line, 1, close) != close)
        return std::nullopt;
    std::string_view path = line.substr(1, close - 1);
    for (std::size_t start = 0;;) {
        std::size_t slash = path.find('\\', start);
        if (slash == std::string_view::npos) {
            addName(path.substr(start));
            return close + 1;
        }
        // A single backslash escapes what follows it (perhaps that "]"); a leading separator is
        // refused with the usual message.
        if (slash + 1 == path.size() || path[slash + 1] != '\\' || slash == 0)
            return std::nullopt;
        addName(path.substr(start, slash - start));
        start = slash + 2;
    }
}

void Reader::addName(std::string_view name) {
    if (name.size() > kMaxKeyNameLength)
        fail("a key name is longer than " + std::to_string(kMaxKeyNameLength) + " characters");
    if (name.empty()) // repeated backslashes count as one
        return;
    if (names_.size() == kMaxKeyDepth)
        fail("keys are nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
    names_.push_back(name);
}

void Reader::reportUnnameableKeys() {
    auto unnameable = [](std::string_view name) { return !unnameableBecause(name).empty(); };
    if (std::none_of(names_.begin(), names_.end(), unnameable))
        return;
    std::string path;
    for (std::string_view name : names_) {
        path.append(name).push_back('\\');
        if (unnameable(name) && reportedKeys_.insert(path).second)
            report(lines_.number(), "key \"" + shownName(name) + "\": " + unnameableReport(name));
    }
}

// Names are separated by one backslash once the escapes are read; repeated ones count as one.
std::vector<std::string> Reader::keyNames(const std::u16string& path) {
    if (!path.empty() && path[0] == u'\\')
        fail("the key path starts with a backslash");
    std::vector<std::string> names;
    names_.clear();
    for (std::size_t start = 0; start < path.size();) {
        std::size_t end = std::min(path.find(u'\\', start), path.size());
        if (end - start > kMaxKeyNameLength)
            fail("a key name is longer than " + std::to_string(kMaxKeyNameLength) + " characters");
        if (end > start) {
            if (names.size() == kMaxKeyDepth)
                fail("keys are nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
            names.push_back(fromUtf16(path.substr(start, end - start)));
        }
        start = end + 1;
    }
    return names;
}

void Reader::readKeyOption(std::string_view line) {
    if (lines_.offset() < keptUpTo_) // kept with its key line
        return;
    WineKeyInfo& info = *info_;
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
    info.lines = layout_.append(layout_.append(info.lines, line), "\n");
}

void Reader::readValue(std::string_view line) {
    std::string decoded; // the name, when it has escapes to read
    std::string_view name;
    std::size_t pos = 1;
    if (line[0] == '"') {
        std::size_t end = plainTextEnd(line, 1);
        if (end < line.size() && line[end] == '"') {
            name = line.substr(1, end - 1);
            pos = end + 1;
            if (name.size() > kMaxValueNameLength) // ASCII: a byte is a UTF-16 unit
                fail("the value name is longer than " + std::to_string(kMaxValueNameLength) +
                     " characters");
        } else {
            std::u16string units;
            auto after = parseWineText(line, 1, '"', units);
            if (!after)
                fail("the value name has no closing quote");
            if (units.size() > kMaxValueNameLength)
                fail("the value name is longer than " + std::to_string(kMaxValueNameLength) +
                     " characters");
            decoded = fromUtf16(units);
            name = decoded;
            pos = *after;
        }
    }
    pos = skipBlanks(line, pos);
    if (pos == line.size() || line[pos] != '=')
        fail("\"=\" missing after the value name");
    readData(name, line, skipBlanks(line, pos + 1));
}

void Reader::readData(std::string_view name, std::string_view line, std::size_t pos) {
    std::string_view data = line.substr(pos);
    static constexpr std::pair<std::string_view, DWORD> strings[] = {{"\"", REG_SZ},
                                                                     {"str:\"", REG_SZ},
                                                                     {"str(2):\"", REG_EXPAND_SZ},
                                                                     {"str(7):\"", REG_MULTI_SZ}};
    for (const auto& [tag, type] : strings) {
        if (data.starts_with(tag)) {
            readString(name, type, line, pos + tag.size());
            return;
        }
    }
    RegValue value;
    if (data.starts_with("dword:"))
        value = readDword(line, pos + 6);
    else if (data.starts_with("hex:"))
        value = RegValue{REG_BINARY, readHex(line, pos + 4)};
    else
        value = readTypedHex(data, line, pos);
    // The store's own setValue: a subclass's bookkeeping of changes is not for loading.
    target_.MemoryStore::setValue(MemoryStore::id(key_), name, value);
}

RegValue Reader::readTypedHex(std::string_view data, std::string_view line, std::size_t pos) {
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

// The string is only checked here; its escapes are read when the value is.
void Reader::readString(std::string_view name, DWORD type, std::string_view line, std::size_t pos) {
    std::size_t end = closingQuote(line, pos);
    if (end == line.size())
        fail("the string has no closing quote");
    if (!onlyBlanksFrom(line, end + 1))
        fail("unexpected text after the string");
    target_.setEncodedValue(MemoryStore::id(key_), name, type, line.substr(pos, end + 1 - pos),
                            decodeString);
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
                                             MemoryStore& target, WineFileLayout& layout,
                                             const std::function<void(std::size_t)>& readUpTo) {
    layout.keys.reserve(text.size() / kSectionBytes);
    return Reader(text, fileName, target, layout, readUpTo).run();
}

} // namespace moxalo::registry
