#include "base/NameFold.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace moxalo::registry {

namespace {

// Names are mostly ASCII: those characters are folded here without asking ICU.
bool isAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
}

// One character of a name as it compares, and the bytes it takes in the name.
struct Folded {
    UChar32 c; // the folded code point, or kStrayByte plus the byte
    std::size_t length;
};

// Above every code point, so that a stray byte never equals a character.
constexpr UChar32 kStrayByte = 0x110000;

Folded foldedAt(std::string_view text, std::size_t i) {
    auto s = reinterpret_cast<const std::uint8_t*>(text.data());
    std::size_t next = i;
    UChar32 c = 0;
    U8_NEXT(s, next, text.size(), c);
    if (c < 0)
        return {kStrayByte + s[i], 1}; // the next byte may begin a valid character
    if (c <= 0xFFFF) {
        UChar32 upper = u_toupper(c);
        if (upper <= 0xFFFF) // a mapping out of the BMP could not fit one unit
            c = upper;
    }
    return {c, next - i};
}

void appendFolded(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (isAscii(text[i])) {
            out.push_back(upperAscii(text[i++]));
            continue;
        }
        Folded f = foldedAt(text, i);
        if (f.c >= kStrayByte) {
            out.push_back(text[i]);
        } else {
            std::uint8_t bytes[U8_MAX_LENGTH];
            std::size_t n = 0;
            U8_APPEND_UNSAFE(bytes, n, f.c);
            out.append(reinterpret_cast<const char*>(bytes), n);
        }
        i += f.length;
    }
}

} // namespace

std::string foldName(std::string_view name) {
    std::string out(name);
    std::size_t i = 0;
    for (; i < out.size() && isAscii(out[i]); ++i)
        out[i] = upperAscii(out[i]);
    if (i < out.size()) { // the rest may change length
        out.resize(i);
        appendFolded(out, name.substr(i));
    }
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isAscii(a[i]) && isAscii(b[j])) {
            if (upperAscii(a[i++]) != upperAscii(b[j++]))
                return false;
            continue;
        }
        // Comparing character by character is comparing the folded forms: a stray byte is
        // copied as it is, and a byte is stray only where the same bytes around it would make
        // it stray in any name.
        Folded x = foldedAt(a, i);
        Folded y = foldedAt(b, j);
        if (x.c != y.c)
            return false;
        i += x.length;
        j += y.length;
    }
    return i == a.size() && j == b.size();
}

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighs = 0x8080808080808080ull;

// Up to eight bytes of `text` from `at` as one number, zeros past its end.
std::uint64_t wordAt(std::string_view text, std::size_t at) {
    std::uint64_t word = 0;
    if (text.size() - at >= sizeof word) {
        std::memcpy(&word, text.data() + at, sizeof word);
        return word;
    }
    for (std::size_t k = 0; at + k < text.size(); ++k)
        word |= std::uint64_t{static_cast<unsigned char>(text[at + k])} << (8 * k);
    return word;
}

// Eight ASCII bytes upper-cased at once: 0x20 off each byte from 'a' to 'z'.
std::uint64_t upperAscii8(std::uint64_t word) {
    std::uint64_t fromA = word + kOnes * (0x80 - 'a');
    std::uint64_t pastZ = word + kOnes * (0x80 - 'z' - 1);
    return word - ((fromA & ~pastZ & kHighs) >> 2);
}

// Folded names are hashed eight bytes at a time; a tree's names are hashed by the ten
// thousand. Each step spreads every byte over the low bits, which pick the table's slot.
std::uint64_t mixIn(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    return hash ^ (hash >> 29);
}

std::size_t hashFolded(std::string_view folded) {
    std::uint64_t hash = mixIn(0, folded.size());
    for (std::size_t i = 0; i < folded.size(); i += 8)
        hash = mixIn(hash, wordAt(folded, i));
    return static_cast<std::size_t>(mixIn(hash, 0));
}

} // namespace

std::size_t hashName(std::string_view name) {
    // An ASCII name is upper-cased as it is hashed; any other may change length when folded.
    std::uint64_t hash = mixIn(0, name.size());
    for (std::size_t i = 0; i < name.size(); i += 8) {
        std::uint64_t word = wordAt(name, i);
        if ((word & kHighs) != 0)
            return hashFolded(foldName(name));
        hash = mixIn(hash, upperAscii8(word));
    }
    return static_cast<std::size_t>(mixIn(hash, 0));
}

std::uint64_t foldedPrefix(std::string_view name) {
    std::string folded;
    std::string_view head = name.substr(0, 8);
    if (!std::all_of(head.begin(), head.end(), isAscii))
        head = std::string_view(folded = foldName(name)).substr(0, 8);
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i)
        prefix =
            prefix << 8 | static_cast<unsigned char>(i < head.size() ? upperAscii(head[i]) : 0);
    return prefix;
}

int compareNames(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (!isAscii(a[i]) || !isAscii(b[i])) // the same ASCII so far: the rest decides
            return foldName(a.substr(i)).compare(foldName(b.substr(i)));
        auto x = static_cast<unsigned char>(upperAscii(a[i]));
        auto y = static_cast<unsigned char>(upperAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    // One is the other's ASCII beginning; whatever follows folds to at least one byte.
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

} // namespace moxalo::registry
