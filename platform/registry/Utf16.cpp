#include "platform/registry/Utf16.h"

#include <algorithm>

namespace moxalo::registry {

namespace {

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

template <typename Bytes> void appendUtf16(Bytes& out, char32_t cp) {
    using Byte = typename Bytes::value_type;
    auto unit = [&out](char32_t u) {
        out.push_back(static_cast<Byte>(u & 0xFF));
        out.push_back(static_cast<Byte>(u >> 8));
    };
    if (cp >= 0x10000) {
        cp -= 0x10000;
        unit(0xD800 + (cp >> 10));
        unit(0xDC00 + (cp & 0x3FF));
    } else {
        unit(cp);
    }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, or 0 when it is not valid.
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& cp) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char c = byte(i);
    std::size_t len = c < 0x80           ? 1
                      : (c >> 5) == 0x6  ? 2
                      : (c >> 4) == 0xE  ? 3
                      : (c >> 3) == 0x1E ? 4
                                         : 0;
    if (len == 0 || i + len > text.size())
        return 0;
    cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

namespace {

// Writes `cp` at `out` as UTF-8; returns the bytes written.
std::size_t putUtf8(char* out, char32_t cp) {
    std::string bytes;
    appendUtf8(bytes, cp);
    bytes.copy(out, bytes.size());
    return bytes.size();
}

} // namespace

// Whole .reg files are tens of megabytes of mostly ASCII: the output is sized for that, one
// byte a unit, and grows only where a character takes more.
std::string utf16leToUtf8(const std::uint8_t* data, std::size_t size) {
    std::size_t units = size / 2;
    std::string out(units, '\0');
    std::size_t n = 0;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t u = data[2 * i] | (data[2 * i + 1] << 8);
        if (u < 0x80) {
            out[n++] = static_cast<char>(u);
            continue;
        }
        // Room for this character and one byte for each unit after it.
        if (out.size() - n < 4 + units - i)
            out.resize(std::max(n + 4 + units - i, out.size() + out.size() / 2));
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            char32_t lo = data[2 * i + 2] | (data[2 * i + 3] << 8);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                n += putUtf8(&out[n], 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        n += putUtf8(&out[n], (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
    }
    out.resize(n);
    return out;
}

namespace {

template <typename Bytes> void appendUnits(Bytes& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t len = decodeUtf8(text, i, cp);
        if (len == 0) {
            cp = static_cast<unsigned char>(text[i]);
            len = 1;
        }
        appendUtf16(out, cp);
        i += len;
    }
}

} // namespace

std::vector<std::uint8_t> utf8ToUtf16le(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2);
    appendUnits(out, text);
    return out;
}

void appendUtf16le(std::string& out, std::string_view text) {
    // Whole exports are tens of megabytes of mostly ASCII: that part is widened in place.
    std::size_t ascii = 0;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80)
        ++ascii;
    std::size_t at = out.size();
    out.resize(at + 2 * ascii);
    char* p = out.data() + at;
    for (std::size_t i = 0; i < ascii; ++i) {
        p[2 * i] = text[i];
        p[2 * i + 1] = 0;
    }
    if (ascii < text.size()) {
        out.reserve(out.size() + 2 * (text.size() - ascii));
        appendUnits(out, text.substr(ascii));
    }
}

std::vector<std::uint8_t> stringValueData(std::string_view text) {
    auto out = utf8ToUtf16le(text);
    out.push_back(0);
    out.push_back(0);
    return out;
}

} // namespace moxalo::registry
