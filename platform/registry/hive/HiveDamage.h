#pragma once
// A look over every key and value cell of a hive for offsets that lead nowhere: a subkey list,
// value list, class name or value data outside the hive's cells or in a cell of another kind,
// a name longer than its cell. Such damage only matters where it is read, and a key that
// cannot be read is reported when it is; this tells the user at once that the hive is damaged
// and where, even in parts that are never shown.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace moxalo::hive {

// `bytes` is the whole hive file, whose base block and bins have been checked. Each message
// is "<path>: <where>: <what>"; a long list ends with a count of the cells left out.
std::vector<std::string> findDamagedCells(const std::uint8_t* bytes, const std::string& path);

} // namespace moxalo::hive
