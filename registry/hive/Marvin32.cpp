#include "registry/hive/Marvin32.h"

#include "registry/hive/HiveLayout.h"

#include <bit>

namespace moxalo::hive {

namespace {

void mix(std::uint32_t& lo, std::uint32_t& hi) {
    hi ^= lo;
    lo = std::rotl(lo, 20);
    lo += hi;
    hi = std::rotl(hi, 9);
    hi ^= lo;
    lo = std::rotl(lo, 27);
    lo += hi;
    hi = std::rotl(hi, 19);
}

} // namespace

std::uint64_t marvin32(std::span<const std::uint8_t> bytes, std::uint64_t seed) {
    auto lo = static_cast<std::uint32_t>(seed);
    auto hi = static_cast<std::uint32_t>(seed >> 32);
    std::size_t i = 0;
    for (; bytes.size() - i >= 4; i += 4) {
        lo += layout::get32(bytes.data() + i);
        mix(lo, hi);
    }
    // The last one to three bytes, then a 0x80 marking the end, as one more word.
    std::uint32_t last = 0x80;
    for (std::size_t k = bytes.size() - i; k-- > 0;)
        last = last << 8 | bytes[i + k];
    lo += last;
    mix(lo, hi);
    mix(lo, hi);
    return std::uint64_t{hi} << 32 | lo;
}

} // namespace moxalo::hive
