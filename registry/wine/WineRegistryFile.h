#pragma once
// Wine's own registry files (system.reg, user.reg, userdef.reg): reading one into a memory
// tree and writing the tree back exactly as wineserver writes it.

#include "registry/Arena.h"
#include "registry/MemoryStore.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::registry {

inline constexpr std::string_view kWineRegistryHeader = "WINE REGISTRY Version 2";
// 1970-01-01 as a FILETIME (100 ns ticks since 1601), where Unix times start.
inline constexpr std::uint64_t kUnixEpochFileTime = 116444736000000000ull;

// What a key's section holds besides its values, kept as read so that an unchanged key is
// written back byte for byte. The texts are views into the layout's own texts.
struct WineKeyInfo {
    // What follows "]" on the key line (e.g. " 1796594470") and the "#time=", "#class=" and
    // "#link" lines after it, each line with its "\n".
    std::string_view lines;
    bool hasClass = false;
    bool isLink = false;
    bool placeholder = false; // made only to be looked into; not written until it is changed
};

// The key's last write, a FILETIME, as its section's lines give it: "#time=" in hex, as
// wineserver reads it first, else the Unix seconds after "]". Nothing when neither is there.
std::optional<std::uint64_t> wineKeyTime(std::string_view lines);

// The sections' infos by key, filed by the keys' serial numbers rather than hashed.
class WineKeyInfos {
public:
    // Null for a key the file did not have and that was not changed since.
    const WineKeyInfo* find(const MemoryStore::Node* key) const;
    // Throws std::out_of_range for such a key.
    const WineKeyInfo& at(const MemoryStore::Node* key) const;
    // The key's info, made empty when it has none.
    WineKeyInfo& operator[](const MemoryStore::Node* key);
    void erase(const MemoryStore::Node* key);
    // Room for this many keys, so that loading a file does not move the infos again and again.
    void reserve(std::size_t keys) { infos_.reserve(keys); }

private:
    std::vector<std::optional<WineKeyInfo>> infos_;
};

struct WineFileLayout {
    std::string header; // every line before the first key, as read
    WineKeyInfos keys;
    // What the infos' views point into: the texts read and those made for changed keys.
    Arena texts;

    // A copy of the pieces, one after the other, in `texts`.
    std::string_view keep(std::initializer_list<std::string_view> pieces);
    // `text` (from keep()) with `more` after it: in place when nothing was kept since.
    std::string_view append(std::string_view text, std::string_view more);
};

// A line wineserver would skip with a warning, at its 1-based number, and what is wrong with it.
struct WineDiagnostic {
    int line = 0;
    std::string message;
};

// Loads the text of a registry file into `target` (normally empty) and fills `layout`. As
// wineserver does, a malformed line is skipped, and reported, and the rest is read; the values
// after a malformed key line are skipped up to the next key line. Throws StoreError
// "<fileName>: line N: <what>" only for a file wineserver refuses whole: one without its header
// line, or for another architecture.
// `readUpTo` is told now and then the offset before which the text is not looked at again, so
// that the pages of a large file can go as it is read.
std::vector<WineDiagnostic> readWineRegistry(std::string_view text, const std::string& fileName,
                                             MemoryStore& target, WineFileLayout& layout,
                                             const std::function<void(std::size_t)>& readUpTo = {});

// The file's bytes. Keys without an entry in `layout` get the time `now`, a FILETIME.
std::string writeWineRegistry(MemoryStore& store, const WineFileLayout& layout, std::uint64_t now);

// Gives the key the time `now`, a FILETIME (100 ns ticks since 1601), as wineserver writes it;
// the new texts go to `layout`.
void stampWineKey(WineFileLayout& layout, WineKeyInfo& key, std::uint64_t now);

} // namespace moxalo::registry
