#include "registry/regedit/RegFileData.h"

#include "base/HexDigit.h"
#include "base/Utf16.h"

#include <algorithm>

namespace moxalo::regfile {

namespace {

std::size_t utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 4;
}

// Reads a run of hex digits; `value` saturates above `limit` so long runs cannot overflow.
std::size_t readHexRun(std::string_view s, std::uint64_t limit, std::uint64_t& value) {
    std::size_t n = 0;
    value = 0;
    for (; n < s.size() && text::hexDigitValue(s[n]) >= 0; ++n)
        value = std::min(value * 16 + static_cast<unsigned>(text::hexDigitValue(s[n])), limit + 1);
    return n;
}

// Long enough to recognise the text, short enough for one line of a message.
constexpr std::size_t kExcerptBytes = 40;

} // namespace

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isHexDigit(char c) {
    return text::hexDigitValue(c) >= 0;
}

std::string_view trimBlanks(std::string_view text) {
    text = skipBlanks(text);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string excerpt(std::string_view text) {
    std::size_t cut = std::min(text.size(), kExcerptBytes);
    while (cut < text.size() && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut; // never split a UTF-8 sequence
    std::string out = "\"";
    for (char c : text.substr(0, cut))
        out.push_back(static_cast<unsigned char>(c) < 0x20 ? '?' : c);
    return out + (cut < text.size() ? "...\"" : "\"");
}

std::string_view skipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return text.substr(i);
}

bool onlyComment(std::string_view rest) {
    rest = skipBlanks(rest);
    return rest.empty() || rest.front() == ';';
}

QuotedText readQuoted(std::string_view s) {
    QuotedText out;
    for (std::size_t i = 0; i < s.size();) {
        char c = s[i];
        if (c == '"') {
            out.end = i + 1;
            return out;
        }
        if (c != '\\') {
            std::size_t run = i + 1;
            while (run < s.size() && s[run] != '"' && s[run] != '\\')
                ++run;
            out.text.append(s.substr(i, run - i));
            i = run;
            continue;
        }
        if (i + 1 == s.size())
            break;
        char e = s[i + 1];
        if (e == 'n' || e == 'r' || e == '\\' || e == '"') {
            out.text.push_back(e == 'n' ? '\n' : e == 'r' ? '\r' : e);
            i += 2;
        } else if (e == '0') {
            if (out.problem.empty())
                out.problem = "\\0 (a NUL character) is not allowed in a string";
            i += 2;
        } else {
            std::size_t len = std::min(utf8Length(static_cast<unsigned char>(e)), s.size() - i - 1);
            out.text.append(s.substr(i + 1, len));
            out.unknownEscapes.emplace_back(s.substr(i + 1, len));
            i += 1 + len;
        }
    }
    out.end = s.size();
    out.problem = "the closing quote is missing";
    return out;
}

Result<registry::DWORD> parseDword(std::string_view s) {
    s = skipBlanks(s);
    std::uint64_t v = 0;
    std::size_t digits = readHexRun(s, 0xFFFFFFFFu, v);
    if (digits == 0)
        return fail(s.empty() ? "dword: has no digits"
                              : "dword: needs hex digits, not " + excerpt(s));
    if (digits > 8)
        return fail("dword: takes at most 8 hex digits");
    if (!onlyComment(s.substr(digits)))
        return fail("unexpected text after the dword digits");
    return static_cast<registry::DWORD>(v);
}

Result<HexTag> parseHexTag(std::string_view s) {
    if (s.starts_with("hex:"))
        return HexTag{registry::REG_BINARY, 4, false};
    std::string_view inner = s.substr(4); // after "hex("
    std::uint64_t v = 0;
    std::size_t digits = readHexRun(inner, 0xFFFFFFFFu, v);
    if (digits == 0 || inner.substr(digits).substr(0, 2) != "):")
        return fail("the type in hex(...): must be hex digits, as in hex(2):");
    if (v > 0xFFFFFFFFu)
        return fail("the type in hex(...): is above ffffffff");
    return HexTag{static_cast<registry::DWORD>(v), 4 + digits + 2,
                  digits > 1 && inner.front() == '0'};
}

namespace {

// Exports write every byte as two digits and a comma: those are read here without the checks
// that other spellings need.
std::string_view appendPlainHexBytes(std::string_view s, std::vector<std::uint8_t>& bytes) {
    while (s.size() >= 3 && s[2] == ',' && bytes.size() < kMaxValueBytes) {
        int high = text::hexDigitValue(s[0]);
        int low = text::hexDigitValue(s[1]);
        if (high < 0 || low < 0)
            break;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        s.remove_prefix(3);
    }
    return s;
}

} // namespace

HexLine appendHexBytes(std::string_view s, std::vector<std::uint8_t>& bytes, std::string& problem) {
    s = appendPlainHexBytes(s, bytes);
    while (!s.empty()) {
        s = skipBlanks(s);
        std::uint64_t v = 0;
        std::size_t digits = readHexRun(s, 0xFF, v);
        if (digits == 0) {
            if (s.empty() || s.front() == ';')
                return HexLine::Done;
            if (s.front() != '\\') {
                problem = excerpt(s) + " is not a hex byte";
                return HexLine::Invalid;
            }
            if (!onlyComment(s.substr(1))) {
                problem = "unexpected text after the line-continuing backslash";
                return HexLine::Invalid;
            }
            return HexLine::Continued;
        }
        if (v > 0xFF) {
            problem = excerpt(s.substr(0, digits)) + " is more than one byte";
            return HexLine::Invalid;
        }
        if (bytes.size() >= kMaxValueBytes) {
            problem = "the value is larger than " + std::to_string(kMaxValueBytes) + " bytes";
            return HexLine::Invalid;
        }
        bytes.push_back(static_cast<std::uint8_t>(v));
        s = s.substr(digits);
        if (!s.empty() && s.front() == ',') {
            s = s.substr(1);
        } else if (!onlyComment(s)) {
            problem = s.front() == '\\' ? "a backslash continues the data only after a comma"
                                        : excerpt(s) + " follows a byte where a comma belongs";
            return HexLine::Invalid;
        } else {
            return HexLine::Done;
        }
    }
    return HexLine::Done;
}

bool isStringType(registry::DWORD type) {
    return type == registry::REG_SZ || type == registry::REG_EXPAND_SZ ||
           type == registry::REG_MULTI_SZ;
}

std::vector<std::uint8_t> finishHexData(registry::DWORD type, std::vector<std::uint8_t> bytes,
                                        TextEncoding encoding, const text::CodePage& codePage) {
    if (!isStringType(type) || bytes.empty())
        return bytes;
    if (encoding == TextEncoding::Ansi) {
        if (bytes.back() != 0)
            bytes.push_back(0);
        return text::utf8ToUtf16le(codePage.toUtf8(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    }
    auto whole = static_cast<std::ptrdiff_t>(bytes.size() / 2 * 2);
    if (whole == 0 || bytes[whole - 2] != 0 || bytes[whole - 1] != 0)
        bytes.insert(bytes.begin() + whole, {0, 0});
    return bytes;
}

} // namespace moxalo::regfile
