#pragma once
// One hash table for a whole MemoryStore that finds a key's subkey by name, without regard to
// case. Only keys with many subkeys are put in it, and only once one of them is looked up: a
// table per key would cost more than all the names it holds.

#include "registry/MemoryNode.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace moxalo::registry {

class ChildIndex {
public:
    // The child of `parent` named `name`, or null.
    MemoryNode* find(const MemoryNode* parent, std::string_view name) const;
    // `child` must not be in the table yet; its parent and name are where it is filed.
    void insert(MemoryNode* child);
    void erase(const MemoryNode* child);
    // Makes room for `more` entries at once: a key's many subkeys are filed with one rehash.
    void reserve(std::size_t more);

private:
    struct Slot {
        std::size_t hash = 0;
        MemoryNode* node = nullptr; // null: empty; kErased: a removed entry's place
    };
    static std::size_t hashOf(const MemoryNode* parent, std::string_view name);
    void grow(std::size_t more);

    std::vector<Slot> slots_;
    std::size_t used_ = 0; // entries and removed entries' places
};

} // namespace moxalo::registry
