#pragma once
// The keys and values of a MemoryStore. Everything here lives in the store's arena: names and
// data are views into it, and nothing is freed one key at a time; the arena goes whole with
// the store.

#include "registry/ArenaList.h"
#include "registry/RegistryStore.h"

#include <cstdint>
#include <string_view>

namespace moxalo::registry {

// Makes a value's bytes from the text a file gave for them.
using ValueDecoder = RegValue (*)(DWORD type, std::string_view text);

struct MemoryValue {
    std::string_view name;
    std::string_view data;         // the bytes, or the file's text of them when `decode` is set
    ValueDecoder decode = nullptr; // decoding waits until the value is read
    DWORD type = REG_NONE;

    RegValue value() const;
    bool operator==(const MemoryValue& other) const;
};

struct MemoryNode {
    std::string_view name;
    MemoryNode* parent = nullptr;
    // Appended as keys come; put in the order of their upper-case names (as a hive keeps
    // them) only when they are enumerated, so that loading costs the same in any order.
    ArenaList<MemoryNode*> children;
    ArenaList<MemoryValue> values; // in the order they were set
    std::uint32_t serial = 0;      // the order in which the store made its keys
    // The key has a section of its own in the file it came from (or was created since);
    // file formats leave out keys that exist only as the ancestors of others.
    bool listed = false;
    bool sorted = true;   // `children` are in order
    bool indexed = false; // `children` are in the store's index of names
};

} // namespace moxalo::registry
