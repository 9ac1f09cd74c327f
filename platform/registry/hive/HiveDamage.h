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

struct FoundDamage {
    // Each "<path>: <where>: <what>"; a long list ends with a count of the cells left out.
    std::vector<std::string> messages;
    // Whether some subkey list names a key that a list before it named: only then must a
    // reader drop repeats, which every walk of a sound hive is spared.
    bool keyListedTwice = false;
    // Whether some key's name holds a backslash or a NUL (see UnnameableKey.h): only then must a
    // reader look for such names.
    bool unnameableKey = false;
};

// `bytes` is the whole hive file, whose base block and bins have been checked.
FoundDamage findDamagedCells(const std::uint8_t* bytes, const std::string& path);

} // namespace moxalo::hive
