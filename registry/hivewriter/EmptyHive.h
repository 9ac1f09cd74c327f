#pragma once
// libhivex edits and commits hives but cannot create one; this writes the smallest hive it
// accepts: a base block, one hive bin with a root key, the security cell every key needs, and
// the rest of the bin free for libhivex to fill.

#include <cstdint>
#include <string>
#include <vector>

namespace moxalo::hive {

// The bytes of an empty hive whose root key has no subkeys and no values.
std::vector<std::uint8_t> emptyHiveBytes();
// Writes emptyHiveBytes() to `path` atomically; throws registry::StoreError.
void writeEmptyHive(const std::string& path);

} // namespace moxalo::hive
