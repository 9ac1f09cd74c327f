#pragma once
// A look over every key and value cell of a hive for offsets that lead nowhere: a subkey list,
// value list, class name or value data outside the hive's cells or in a cell of another kind,
// a name longer than its cell. Such damage only matters where it is read, and a key that
// cannot be read is reported when it is; this tells the user at once that the hive is damaged
// and where, even in parts that are never shown.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace moxalo::hive {

struct FoundDamage {
    // Each "<path>: <where>: <what>"; a long list ends with a count of the cells left out.
    std::vector<std::string> messages;
    // Whether some subkey list names a key that a list before it named: only then must a
    // reader drop repeats, which every walk of a sound hive is spared.
    bool keyListedTwice = false;
    // Whether some key's name holds a backslash or a NUL (see UnnameableKey.h): only then must a
    // reader look for such names.
    bool unnameableKey = false;
    // Whether some subkey list is damaged: only then may a list lead to a key that is not the
    // listing key's, or to the root, and must a reader look at each listed key's parent.
    bool subkeyListDamaged = false;
};

class HiveCells;

FoundDamage findDamagedCells(const HiveCells& cells, const std::string& path);

// The keys (as node handles) that libhivex cannot change safely. Deleting a key, rewriting its
// values or adding a subkey to it frees cells its record names: its subkey lists, value list,
// values and their data, class name and security cell. libhivex stops the program on freeing a
// cell that is no used cell of the hive, or one freed already (one that another key's record
// names too), and writes through a security cell's ring without looking where it leads. A key
// any of whose cells is so, or whose security cell is not one, counts fewer users than it has
// or leads out of its ring, is in the set. Made only before a change, as it reads every key.
std::unordered_set<std::size_t> findKeysUnsafeToChange(const HiveCells& cells);

} // namespace moxalo::hive
