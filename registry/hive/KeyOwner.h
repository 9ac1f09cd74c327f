#pragma once
// Who owns a key, as its security cell ("sk") records it: the owner SID of the self-relative
// security descriptor the cell holds. Every offset is checked against the cell it lies in, so
// a damaged cell gives nothing rather than bytes from elsewhere in the hive.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace moxalo::hive {

class HiveCells;

// "S-1-5-21-…" for a SID as Windows keeps it (revision, count, 48-bit big-endian authority,
// 32-bit little-endian subauthorities), when `bytes` begin with a whole one.
std::optional<std::string> sidText(std::span<const std::uint8_t> bytes);

// The owner SID of the key cell at absolute offset `key`.
std::optional<std::string> keyOwner(const HiveCells& cells, std::size_t key);

} // namespace moxalo::hive
