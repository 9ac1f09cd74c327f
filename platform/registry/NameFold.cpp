#include "platform/registry/NameFold.h"

#include <algorithm>
#include <cstdint>
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

// FNV-1a over the folded bytes: names are short, so a byte at a time costs little.
constexpr std::size_t kHashBasis = 14695981039346656037ull;
constexpr std::size_t kHashPrime = 1099511628211ull;

std::size_t hashBytes(std::size_t hash, std::string_view bytes) {
    for (char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * kHashPrime;
    return hash;
}

} // namespace

std::size_t hashName(std::string_view name) {
    std::size_t hash = kHashBasis;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (!isAscii(name[i])) // the rest may change length when folded
            return hashBytes(hash, foldName(name.substr(i)));
        hash = (hash ^ static_cast<unsigned char>(upperAscii(name[i]))) * kHashPrime;
    }
    return hash;
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
