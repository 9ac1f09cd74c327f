#include "registry/wine/WineEscape.h"

#include "base/Utf16.h"

#include <cstdio>

namespace moxalo::registry {

namespace {

// The C escape letter of each control character, '.' where octal is used instead.
constexpr std::string_view kControlEscapes = ".......abtnvfr.............e....";

bool isHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isOctalDigit(char32_t c) {
    return c >= '0' && c <= '7';
}

unsigned hexValue(char c) {
    return c <= '9'   ? unsigned(c - '0')
           : c <= 'F' ? unsigned(c - 'A' + 10)
                      : unsigned(c - 'a' + 10);
}

void appendFormatted(std::string& out, const char* format, unsigned value) {
    char buffer[16];
    int n = std::snprintf(buffer, sizeof buffer, format, value);
    out.append(buffer, static_cast<std::size_t>(n));
}

// A short form is only safe when the next character cannot be read as one more digit.
void appendEscaped(std::string& out, char16_t c, std::optional<char16_t> next,
                   std::string_view quotes) {
    if (c > 127) {
        bool longForm = next && *next < 128 && isHexDigit(*next);
        appendFormatted(out, longForm ? "\\x%04x" : "\\x%x", c);
    } else if (c < 32) {
        if (kControlEscapes[c] != '.') {
            out.push_back('\\');
            out.push_back(kControlEscapes[c]);
        } else {
            appendFormatted(out, next && isOctalDigit(*next) ? "\\%03o" : "\\%o", c);
        }
    } else {
        if (c == '\\' || c == char16_t(quotes[0]) || c == char16_t(quotes[1]))
            out.push_back('\\');
        out.push_back(static_cast<char>(c));
    }
}

// Reads the escape whose letter is at line[pos]; returns the position after it.
std::size_t parseEscape(std::string_view line, std::size_t pos, std::u16string& text) {
    static constexpr std::string_view letters = "abefnrtv";
    static constexpr std::u16string_view codes = u"\a\b\x1b\f\n\r\t\v";
    char e = line[pos];
    if (auto k = letters.find(e); k != std::string_view::npos) {
        text.push_back(codes[k]);
        return pos + 1;
    }
    bool hex = e == 'x';
    std::size_t start = hex ? pos + 1 : pos;
    std::size_t maxDigits = hex ? 4 : 3;
    std::size_t end = start;
    unsigned value = 0;
    while (end < line.size() && end - start < maxDigits &&
           (hex ? isHexDigit(line[end]) : isOctalDigit(line[end]))) {
        value = value * (hex ? 16 : 8) + hexValue(line[end]);
        ++end;
    }
    if (end > start) {
        text.push_back(static_cast<char16_t>(value));
        return end;
    }
    if (static_cast<unsigned char>(e) >= 0x80)
        return pos; // a backslash before raw UTF-8: the character is read as it stands
    text.push_back(static_cast<char16_t>(e)); // an unknown escape keeps its character
    return pos + 1;
}

} // namespace

std::string escapeWineText(std::u16string_view text, std::string_view quotes) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool last = i + 1 == text.size();
        appendEscaped(out, text[i], last ? std::nullopt : std::optional(text[i + 1]), quotes);
    }
    return out;
}

std::optional<std::size_t> parseWineText(std::string_view line, std::size_t pos, char end,
                                         std::u16string& text) {
    while (pos < line.size() && line[pos] != end) {
        if (static_cast<unsigned char>(line[pos]) >= 0x80) {
            std::size_t run = pos;
            while (run < line.size() && static_cast<unsigned char>(line[run]) >= 0x80)
                ++run;
            text += toUtf16(line.substr(pos, run - pos));
            pos = run;
        } else if (line[pos] != '\\') {
            text.push_back(static_cast<char16_t>(line[pos++]));
        } else if (++pos < line.size()) {
            pos = parseEscape(line, pos, text);
        }
    }
    if (pos >= line.size())
        return std::nullopt;
    return pos + 1;
}

std::u16string toUtf16(std::string_view utf8) {
    auto bytes = text::utf8ToUtf16le(utf8);
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return units;
}

std::string fromUtf16(std::u16string_view units) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t u : units) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return text::utf16leToUtf8(bytes);
}

} // namespace moxalo::registry
