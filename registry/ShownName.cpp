#include "registry/ShownName.h"

#include "base/Utf16.h"

#include <cstdio>

namespace moxalo::registry {

namespace {

std::string shown(std::string_view text, bool separators) {
    std::string out;
    out.reserve(text.size());
    char code[8];
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            std::size_t length = text::utf8SequenceLength(text, i);
            if (length == 0) {
                std::snprintf(code, sizeof code, "\\x%02X", byte);
                out += code;
                ++i;
            } else if (char16_t unit = text::loneSurrogateAt(text, i); unit != 0) {
                std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(unit));
                out += code;
                i += length;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        ++i;
        if (c == '\\' && !separators)
            out += "\\\\";
        else if (c == '\r' || c == '\n' || c == '\t' || c == '\0')
            out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\0";
        else if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            out += code;
        } else
            out += c;
    }
    return out;
}

} // namespace

std::string shownName(std::string_view name) {
    return shown(name, false);
}

std::string shownPath(std::string_view path) {
    return shown(path, true);
}

} // namespace moxalo::registry
