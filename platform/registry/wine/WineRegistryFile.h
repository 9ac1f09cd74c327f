#pragma once
// Wine's own registry files (system.reg, user.reg, userdef.reg): reading one into a memory
// tree and writing the tree back exactly as wineserver writes it.

#include "platform/registry/MemoryStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace moxalo::registry {

inline constexpr std::string_view kWineRegistryHeader = "WINE REGISTRY Version 2";
// 1970-01-01 as a FILETIME (100 ns ticks since 1601), where Unix times start.
inline constexpr std::uint64_t kUnixEpochFileTime = 116444736000000000ull;

// What a key's section holds besides its values, kept as read so that an unchanged key is
// written back byte for byte.
struct WineKeyInfo {
    std::string stamp;                // what follows "]" on the key line, e.g. " 1796594470"
    std::vector<std::string> options; // the "#time=", "#class=", "#link" lines
    bool hasClass = false;
    bool isLink = false;
    bool placeholder = false; // made only to be looked into; not written until it is changed
};

struct WineFileLayout {
    std::string header; // every line before the first key, as read
    std::unordered_map<const MemoryStore::Node*, WineKeyInfo> keys;
};

// Loads the text of a registry file into `target` (normally empty) and fills `layout`.
// Throws StoreError "<fileName>: line N: <what>" for anything wineserver could not have written.
void readWineRegistry(std::string_view text, const std::string& fileName, MemoryStore& target,
                      WineFileLayout& layout);

// The file's bytes. Keys without an entry in `layout` get the time `now`, a FILETIME.
std::string writeWineRegistry(MemoryStore& store, const WineFileLayout& layout, std::uint64_t now);

// Gives the key the time `now`, a FILETIME (100 ns ticks since 1601), as wineserver writes it.
void stampWineKey(WineKeyInfo& key, std::uint64_t now);

} // namespace moxalo::registry
