#include "base/Utf16.h"
#include "catalogue/effective/Effective.h"

#include <array>
#include <cstdio>
#include <openssl/evp.h>
#include <stdexcept>

namespace moxalo::catalogue::effective {

namespace {

// Ends every text Windows hashes for a user's choice.
constexpr std::string_view kExperience =
    "User Choice set via Windows User Experience {D18B6DD5-6124-4341-9318-804003BAFA0B}";
// A FILETIME counts 100 ns; the hash sees whole minutes only.
constexpr std::uint64_t kTicksPerMinute = 60ULL * 10'000'000ULL;

struct Constants {
    std::uint32_t a[4]; // checksum A's multipliers after the MD5 word
    std::uint32_t b[4]; // checksum B's
};
constexpr std::array<Constants, 2> kPairs{{
    {{0xCF98B111, 0x87085B9F, 0x12CEB96D, 0x257E1D83},
     {0xEF0569FB, 0x689B6B9F, 0x79F8A395, 0xC3EFEA97}},
    {{0xA27416F5, 0xD38396FF, 0x7C932B89, 0xBFA49F69},
     {0xC31713DB, 0xDDCD1F0F, 0x59C3AF2D, 0x35BD1EC9}},
}};

std::uint32_t swap(std::uint32_t x) {
    return (x << 16) | (x >> 16);
}

std::uint32_t wordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
           std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

// Windows lower-cases the text with the invariant culture; the names it holds (extensions,
// SIDs, ProgIDs) are ASCII in practice, so ASCII's mapping is the one that matters.
std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string minuteHex(std::uint64_t lastWritten) {
    std::uint64_t minute = lastWritten - lastWritten % kTicksPerMinute;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%08x%08x", static_cast<unsigned>(minute >> 32),
                  static_cast<unsigned>(minute & 0xFFFFFFFFu));
    return digits;
}

std::array<std::uint32_t, 2> md5Words(const std::vector<std::uint8_t>& bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_md5(), nullptr) != 1)
        throw std::runtime_error("MD5 is not available");
    std::vector<std::uint8_t> first(digest.begin(), digest.begin() + 8);
    return {wordAt(first, 0) | 1, wordAt(first, 4) | 1};
}

struct Sums {
    std::uint32_t h0 = 0, h1 = 0, a0 = 0, a1 = 0;

    void add(std::uint32_t w, std::uint32_t m, const Constants& c) {
        h0 = (h0 + w) * m;
        for (std::uint32_t k : c.a)
            h0 = swap(h0) * k;
        a0 += h0;
        h1 += w;
        h1 = swap(h1) * c.b[0] + h1 * m;
        h1 = (h1 >> 16) * c.b[1] + h1 * c.b[2];
        h1 = swap(h1) * c.b[3] + h1;
        a1 += h1;
    }
};

std::string base64(const std::array<std::uint8_t, 8>& bytes) {
    std::array<unsigned char, 16> out{};
    int size = EVP_EncodeBlock(out.data(), bytes.data(), static_cast<int>(bytes.size()));
    return std::string(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(size));
}

} // namespace

std::string userChoiceHash(std::string_view extension, std::string_view sid,
                           std::string_view progId, std::uint64_t lastWritten) {
    std::string text = lowered(std::string(extension) + std::string(sid) + std::string(progId) +
                               minuteHex(lastWritten) + std::string(kExperience));
    std::vector<std::uint8_t> bytes = text::stringValueData(text); // with its NUL, as hashed
    auto m = md5Words(bytes);
    Sums sums;
    for (std::size_t block = 0; block + 8 <= bytes.size(); block += 8)
        for (std::size_t j = 0; j < 2; ++j)
            sums.add(wordAt(bytes, block + 4 * j), m[j], kPairs[j]);
    std::uint32_t first = sums.h0 ^ sums.h1, second = sums.a0 ^ sums.a1;
    std::array<std::uint8_t, 8> result{};
    for (int i = 0; i < 4; ++i) {
        result[i] = static_cast<std::uint8_t>(first >> (8 * i));
        result[4 + i] = static_cast<std::uint8_t>(second >> (8 * i));
    }
    return base64(result);
}

} // namespace moxalo::catalogue::effective
