#include "tools/cli/TextFormats.h"

#include "base/Utf16.h"

#include <algorithm>
#include <cstdio>

namespace moxalo::cli {

namespace {

// The character whose bytes start at text[i], moving `i` to its last byte: a lone surrogate as
// the \u escape JSON has for it, any other as it is, a byte that is not UTF-8 as U+FFFD.
void appendJsonCharacter(std::string& out, std::string_view text, std::size_t& i) {
    std::size_t length = text::utf8SequenceLength(text, i);
    if (char16_t unit = text::loneSurrogateAt(text, i); unit != 0) {
        char code[8];
        std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(unit));
        out += code;
    } else if (length == 0) {
        out += "\uFFFD";
        length = 1;
    } else {
        out.append(text.substr(i, length));
    }
    i += length - 1;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            appendJsonCharacter(out, text, i);
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", c);
                out += code;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string CsvField(std::string_view raw) {
    std::string text = text::displayText(raw);
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return text;
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

std::string TextField(std::string_view raw) {
    std::string text = text::displayText(raw);
    // A plain test per byte: find_first_of tries each of the three against every byte.
    auto escaped = [](char c) { return c == '\t' || c == '\r' || c == '\n'; };
    if (std::none_of(text.begin(), text.end(), escaped))
        return text;
    std::string out;
    for (char c : text) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

} // namespace moxalo::cli
