#include "base/PercentEncoding.h"

#include "base/HexDigit.h"

namespace moxalo::text {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

} // namespace

void appendPercentEscape(std::string& out, unsigned char byte) {
    out += '%';
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

std::string percentEncode(std::string_view text, std::string_view reserved) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '%' || reserved.find(c) != std::string_view::npos)
            appendPercentEscape(out, static_cast<unsigned char>(c));
        else
            out += c;
    }
    return out;
}

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool escape = text[i] == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 &&
                      hexDigitValue(text[i + 2]) >= 0;
        if (!escape) {
            out += text[i];
            continue;
        }
        out += static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
        i += 2;
    }
    return out;
}

} // namespace moxalo::text
