#pragma once
// Hives made to trap a walk over them, with subkey lists no Windows writes: each is a
// UsrClass.dat whose root also holds ".doc" (default value "docfile"), which nothing done to
// the other keys may touch.

#include <cstddef>
#include <string>

namespace moxalo::testing {

// ".a\k\k...\k", `levels` keys "k" below ".a", where each key's subkey list names its one
// subkey twice: 2^levels paths through levels + 1 keys.
void writeDoubledChain(const std::string& path, std::size_t levels);

// ".loop", whose subkey list holds ".loop" itself after its subkey "a"; ".bad", whose subkey
// list holds ".doc" (a key of the root) where its subkey "c" was; ".shared", whose subkeys "a"
// and "b" share one list of values.
void writeStrayListings(const std::string& path);

// ".deep\k\k...\k", `levels` keys "k" below ".deep" (written by libhivex, which sets no
// limit on depth).
void writeDeepChain(const std::string& path, std::size_t levels);

// Keys whose records name cells that are none of theirs, where a real hive's name their own:
// ".class", whose class name (of length 0, as a real hive keeps one it has none of) lies within
// another cell; ".security", whose security cell is its own key cell; ".data", whose value's
// data lies within another cell. The first two open without a word of damage.
void writeForeignCells(const std::string& path);

} // namespace moxalo::testing
