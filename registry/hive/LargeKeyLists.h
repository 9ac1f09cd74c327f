#pragma once
// libhivex adds a subkey by decoding every sibling's name and copying the whole subkey list,
// so a key with tens of thousands of subkeys costs quadratic time and file space. Writers
// (HiveStore's changes, the test hive writer) therefore add such subkeys below small temporary
// holder keys, and once libhivex has committed the file, this gives the large key one list of
// all of them and frees the holders.

#include <cstddef>
#include <string>
#include <vector>

namespace moxalo::hive {

// Below this many subkeys a key takes new ones into its own list: libhivex's pass over the list
// for each costs less than a holder's upkeep only while the list is short. Above it, the writers
// put new subkeys below holders.
inline constexpr std::size_t kDirectSubkeys = 256;

struct LargeKey {
    std::size_t node = 0;              // the key's cell, as a libhivex node handle
    std::vector<std::size_t> holders;  // every temporary key below it, at any depth
    std::vector<std::size_t> children; // its real subkeys, now below the holders
    std::vector<std::string> names;    // the names of `children`, in the same order
};

// Rewrites the committed hive file `path`, a temporary file that nothing reads yet, in place and
// flushed to disk; throws registry::StoreError.
void relinkLargeKeys(const std::string& path, const std::vector<LargeKey>& keys);

} // namespace moxalo::hive
