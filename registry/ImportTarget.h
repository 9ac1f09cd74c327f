#pragma once
// Where the keys and values of a .reg file go. The importer reads the file line by line and
// tells the target what each line asks for; a tree in memory (a .reg file opened as a source)
// and the registry's own stores (a merge, as `regedit /s` does) are both targets.

#include "base/Result.h"
#include "registry/MemoryStore.h"
#include "registry/regedit/RegFileRoots.h"

#include <string>
#include <string_view>
#include <vector>

namespace moxalo::regfile {

class ImportTarget {
public:
    virtual ~ImportTarget() = default;

    // Makes the key the current one, creating it and its missing parents. Fails when the target
    // keeps no such key: the values that follow are skipped.
    virtual Result<> openKey(const KeyPath& path) = 0;
    // Change the current key; called only while one is open.
    virtual void setValue(std::string_view name, const registry::RegValue& value) = 0;
    // A REG_SZ value given as text (UTF-8, without its NUL).
    virtual void setText(std::string_view name, std::string_view text);
    virtual void deleteValue(std::string_view name) = 0;
    // Removes the key with everything below it; a missing key is no error. Fails when the
    // target keeps no such key.
    virtual Result<> deleteKey(const KeyPath& path) = 0;
};

// A MemoryStore whose top-level keys are the roots, named as kClassesRoot and the others are.
class MemoryTarget : public ImportTarget {
public:
    explicit MemoryTarget(registry::MemoryStore& store) : store_(store) {}

    Result<> openKey(const KeyPath& path) override;
    void setValue(std::string_view name, const registry::RegValue& value) override;
    // Kept as text: a file's strings are widened only when they are read.
    void setText(std::string_view name, std::string_view text) override;
    void deleteValue(std::string_view name) override;
    Result<> deleteKey(const KeyPath& path) override;

private:
    registry::MemoryStore& store_;
    registry::NodeId key_ = registry::kNoNode;
    std::vector<std::string_view> names_;             // of the key line being read, root first
    std::vector<registry::MemoryStore::Node*> chain_; // the keys of the last key line's path
};

} // namespace moxalo::regfile
