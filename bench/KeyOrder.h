#pragma once
// The order of the key sections in a generated .reg export. regedit writes keys sorted, but a
// file put together by hand or by a script can have them in any order, and loading must not
// depend on it.

#include <cstdint>
#include <string>

namespace moxalo::bench {

enum class KeyOrder { Sorted, Reverse, Shuffled };

// The export's bytes (UTF-16LE with its byte order mark) with its key sections put in `order`;
// each section keeps its values. Shuffled is the same for the same seed.
std::string reorderKeys(const std::string& exported, KeyOrder order, std::uint64_t seed);

} // namespace moxalo::bench
