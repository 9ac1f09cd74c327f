#pragma once
// A .reg file merged into the registry's classes, as regedit merges one on Windows:
// - HKEY_CLASSES_ROOT\k opens the user's k when the user's classes have it, else the
//   machine's; a key that neither has is created in the machine's classes, missing parents
//   and all, even below a key that only the user has (Windows does the same);
// - HKEY_LOCAL_MACHINE\SOFTWARE\Classes\k goes to the machine's classes only, and
//   HKEY_CURRENT_USER\Software\Classes\k to the user's only;
// - a deletion ([-key], "name"=-) removes the key or value from every layer that has it, so
//   that it is gone from HKEY_CLASSES_ROOT and no lower layer shows through.
// A registry of one source has one layer: HKEY_CLASSES_ROOT is then that source's classes,
// whichever side they are. Keys of other roots, or of a side the registry does not have, are
// skipped with a problem for their line. Nothing reaches a file before save(). The changes go
// to the layers' stores directly: a merged view opened before does not show them.

#include "registry/ClassesLayer.h"
#include "registry/ImportTarget.h"

#include <set>
#include <vector>

namespace moxalo::registry {

// What an import did, for the user: keys counted once each (a deleted key with its subkeys),
// values set to what they already held not at all.
struct ImportCounts {
    std::size_t keysAdded = 0, keysDeleted = 0;
    std::size_t valuesAdded = 0, valuesChanged = 0, valuesDeleted = 0;
};

class ClassesImport : public regfile::ImportTarget {
public:
    // The classes layers of a registry, the user's first.
    explicit ClassesImport(std::vector<ClassesLayer> layers);

    Result<> openKey(const regfile::KeyPath& path) override;
    void setValue(std::string_view name, const RegValue& value) override;
    void deleteValue(std::string_view name) override;
    Result<> deleteKey(const regfile::KeyPath& path) override;

    // Writes every changed store beside its file, and once all are written puts them in place.
    // Fails saying why; the files are then as they were.
    Result<> save();
    const ImportCounts& counts() const { return counts_; }

private:
    // The layers a key path reaches, and the names below their classes keys.
    struct Scope {
        std::vector<std::size_t> layers; // in order of precedence
        std::size_t createIn = 0;        // where a new key goes
        std::vector<std::string_view> names;
    };
    Result<Scope> scopeOf(const regfile::KeyPath& path) const;
    // The key in each layer of the scope, or kNoNode where a layer lacks it.
    std::vector<NodeId> find(const Scope& scope, std::size_t depth);
    RegistryStore& writable(std::size_t layer);

    std::vector<ClassesLayer> layers_;
    std::set<RegistryStore*> checked_; // found writable
    std::vector<RegistryStore*> changed_;
    // The open key: its layers, and its node in each.
    std::vector<std::size_t> keyLayers_;
    std::vector<NodeId> keyNodes_;
    ImportCounts counts_;
};

} // namespace moxalo::registry
