#pragma once
// A synthetic HKEY_CLASSES_ROOT of a real machine's size and shape: extension keys naming
// type keys with icons and shell verbs, among many CLSID and ProgID keys that a scan for
// extensions must pass over. The same shape and seed always give the same tree.

#include "registry/MemoryStore.h"

#include <cstddef>
#include <cstdint>

namespace moxalo::bench {

struct ClassesShape {
    std::size_t rootKeys = 1000;  // every subkey of the classes key, of all kinds
    std::size_t extensions = 100; // ".ext0001", ".ext0002", ...
    std::size_t verbs = 3;        // shell verbs of each type key
    double openWithShare = 0.25;  // share of extensions with an OpenWithList subkey
    std::uint64_t seed = 1;
};

// Fills `classes` (an empty key of `store`) with the keys the shape asks for; throws
// registry::StoreError when the root keys cannot hold the extensions and their types.
void buildClasses(registry::MemoryStore& store, registry::NodeId classes,
                  const ClassesShape& shape);

} // namespace moxalo::bench
