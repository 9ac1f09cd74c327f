#pragma once
// The transaction log of Windows before 8.1: a copy of the base block, a dirty vector ("DIRT",
// one bit for each 512-byte page of the hive bins) and the dirty pages, in the order of their
// bits. It holds one write, which applies whole to the hive it was written for: the one whose
// base block carries the same time stamp.

#include "registry/hive/HiveLogs.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace moxalo::hive {

// Whether the file is a transaction log of that format.
bool isOldLog(const LogFile& log);

// The sequence number the hive takes from the log, when it applies to the hive whose base
// block (its first 20 bytes at least) this is; otherwise nothing, with the reason in
// `warnings`.
std::optional<std::uint32_t> oldLogApplies(std::span<const std::uint8_t> baseBlock,
                                           const LogFile& log, std::vector<std::string>& warnings);

// Writes the log's pages into the hive and gives it the log's hive bins size and sequence
// number; the log is one oldLogApplies() accepted.
void applyOldLog(std::vector<std::uint8_t>& hive, const LogFile& log);

} // namespace moxalo::hive
