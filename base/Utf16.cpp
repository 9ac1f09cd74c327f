#include "base/Utf16.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace moxalo::text {

namespace {

// Writes `cp` at `out` as UTF-8; returns the bytes written (at most 4).
std::size_t putUtf8(char* out, char32_t cp) {
    auto byte = [](char32_t b) { return static_cast<char>(b); };
    if (cp < 0x80) {
        out[0] = byte(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = byte(0xC0 | (cp >> 6));
        out[1] = byte(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = byte(0xE0 | (cp >> 12));
        out[1] = byte(0x80 | ((cp >> 6) & 0x3F));
        out[2] = byte(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = byte(0xF0 | (cp >> 18));
    out[1] = byte(0x80 | ((cp >> 12) & 0x3F));
    out[2] = byte(0x80 | ((cp >> 6) & 0x3F));
    out[3] = byte(0x80 | (cp & 0x3F));
    return 4;
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

bool isSurrogate(char32_t cp) {
    return cp >= 0xD800 && cp <= 0xDFFF;
}

// Decodes one UTF-8 sequence, or a lone surrogate's three bytes, at text[i]; returns its
// length, or 0 when it is neither.
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
    if (cp < kMin[len] || cp > 0x10FFFF)
        return 0;
    return len;
}

// Narrows four UTF-16LE units at `in` to `out` when all are below 0x80; they are read as one
// little-endian word.
static_assert(std::endian::native == std::endian::little);
bool narrowAsciiQuad(const std::uint8_t* in, char* out) {
    std::uint64_t word;
    std::memcpy(&word, in, sizeof word);
    if ((word & 0xFF80FF80FF80FF80ull) != 0)
        return false;
    auto bytes =
        static_cast<std::uint32_t>((word & 0xFF) | ((word >> 8) & 0xFF00) |
                                   ((word >> 16) & 0xFF0000) | ((word >> 24) & 0xFF000000));
    std::memcpy(out, &bytes, sizeof bytes);
    return true;
}

} // namespace

// Whole .reg files are tens of megabytes of mostly ASCII: the output is sized for that, one
// byte a unit, and grows only where a character takes more.
std::string utf16leToUtf8(const std::uint8_t* data, std::size_t size) {
    std::size_t units = size / 2;
    std::string out(units, '\0');
    std::size_t n = 0;
    for (std::size_t i = 0; i < units; ++i) {
        // Four units at a time while all four are ASCII.
        while (i + 4 <= units && narrowAsciiQuad(data + 2 * i, out.data() + n)) {
            n += 4;
            i += 4;
        }
        if (i == units)
            break;
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
        n += putUtf8(&out[n], u); // a lone surrogate too: see the header
    }
    out.resize(n);
    return out;
}

namespace {

// Where the first character displayText() replaces starts, or the text's size.
std::size_t firstUndisplayable(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        std::size_t length = decodeUtf8(text, i, cp);
        if (length == 0 || isSurrogate(cp))
            return i;
        i += length;
    }
    return text.size();
}

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

// Most text is ASCII: that part is widened in place, the rest a character at a time.
template <typename Bytes> void appendWidened(Bytes& out, std::string_view text) {
    std::size_t ascii = 0;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80)
        ++ascii;
    std::size_t at = out.size();
    out.resize(at + 2 * ascii);
    auto p = out.data() + at;
    for (std::size_t i = 0; i < ascii; ++i) {
        p[2 * i] = static_cast<typename Bytes::value_type>(text[i]);
        p[2 * i + 1] = 0;
    }
    if (ascii < text.size()) {
        out.reserve(out.size() + 2 * (text.size() - ascii));
        appendUnits(out, text.substr(ascii));
    }
}

} // namespace

std::vector<std::uint8_t> utf8ToUtf16le(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2);
    appendWidened(out, text);
    return out;
}

void appendUtf16le(std::string& out, std::string_view text) {
    appendWidened(out, text);
}

std::vector<std::uint8_t> stringValueData(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2 + 2);
    appendWidened(out, text);
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
    char32_t cp = 0;
    return decodeUtf8(text, i, cp);
}

char16_t loneSurrogateAt(std::string_view text, std::size_t i) {
    char32_t cp = 0;
    return decodeUtf8(text, i, cp) != 0 && isSurrogate(cp) ? static_cast<char16_t>(cp) : 0;
}

std::string intoDisplayText(std::string text) {
    if (firstUndisplayable(text, 0) == text.size())
        return text;
    return displayText(text);
}

std::string displayText(std::string_view text) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
    std::string out;
    std::size_t done = 0;
    for (std::size_t i = firstUndisplayable(text, 0); i < text.size();
         i = firstUndisplayable(text, i)) {
        char32_t cp = 0;
        std::size_t length = decodeUtf8(text, i, cp);
        out.append(text.substr(done, i - done));
        out += kReplacement;
        i += length == 0 ? 1 : length;
        done = i;
    }
    if (done == 0)
        return std::string(text);
    out.append(text.substr(done));
    return out;
}

} // namespace moxalo::text
