#pragma once
// Writes keys as a regedit .reg file: what `regedit /e file key` writes, and whole trees for
// the .reg store to save itself.

#include "base/CodePage.h"
#include "base/Result.h"
#include "registry/MemoryStore.h"

#include <functional>
#include <string>
#include <string_view>

namespace moxalo::regfile {

struct ExportFormat {
    int version = 5;     // 5 or 4: the header line
    bool unicode = true; // UTF-16LE with a byte order mark, else 8-bit text in `codePage`
    text::CodePage codePage = {};
};

// regedit's Unicode export of `key` and its subtree: subkeys in case-insensitive order, values
// in the store's order. `fullPath` names `key` as the user typed it ("HKEY_CLASSES_ROOT\.txt").
// Throws registry::StoreError for a tree nested deeper than Windows allows.
std::string exportRegFile(registry::RegistryStore& store, registry::NodeId key,
                          std::string_view fullPath);

// A key to write with its subtree, and the path that names it in the file.
struct ExportedKey {
    registry::RegistryStore* store = nullptr;
    registry::NodeId key = registry::kNoNode;
    std::string fullPath;
};
// Several keys one after the other in one file, as exportRegFile writes each.
std::string exportRegFile(const std::vector<ExportedKey>& keys);
// The same, handed to `sink` a piece at a time as it is made (a whole export of a large
// registry is tens of megabytes). The sink answers false to stop the export there. Fails when a
// key cannot be read or written as regedit would read it back.
Result<> exportRegFile(const std::vector<ExportedKey>& keys,
                       const std::function<bool(std::string_view)>& sink);

// Every root of `store` in its own order, writing each key that has a section of its own, has
// values or has no subkeys, so that reading the result gives the same tree. Unlike regedit it
// writes a REG_SZ that "text" cannot hold (an inner NUL, no final NUL) as hex(1).
std::string exportRegFileTree(registry::MemoryStore& store, ExportFormat format);

} // namespace moxalo::regfile
