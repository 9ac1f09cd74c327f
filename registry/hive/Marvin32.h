#pragma once
// Marvin32, the keyed hash Windows checks each entry of a hive's transaction log with.

#include <cstdint>
#include <span>

namespace moxalo::hive {

// The seed of the log entries' hashes.
inline constexpr std::uint64_t kLogEntrySeed = 0x82EF4D887A4E55C5ull;

// The 64-bit hash of `bytes`, as a log entry stores it (little-endian).
std::uint64_t marvin32(std::span<const std::uint8_t> bytes, std::uint64_t seed);

} // namespace moxalo::hive
