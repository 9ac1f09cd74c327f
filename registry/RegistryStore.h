#pragma once
// A store is one registry file (or tree) seen as keys, subkeys and named values. The registry
// API and the HKEY_CLASSES_ROOT view sit above it; every kind of source implements this.

#include "registry/WinTypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::registry {

// A value as the registry keeps it: string types hold UTF-16LE bytes, as in a hive.
struct RegValue {
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
    bool operator==(const RegValue&) const = default;
};

// A failure to open, read or write a source: a damaged file, a key that cannot be read. The
// message names the file, the key where it can, and what is wrong.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write refused because the source cannot be written (a read-only file, folder or mount, a
// source the program keeps read-only, a Wine prefix whose wineserver runs).
class AccessDenied : public StoreError {
public:
    using StoreError::StoreError;
};

// Identifies a key within one store; meaningful only to the store that handed it out.
using NodeId = std::uint64_t;
inline constexpr NodeId kNoNode = ~NodeId{0};

// A save written beside the store's files but not yet in their place. Dropped uncommitted, it
// leaves the files as they were.
class PendingSave {
public:
    virtual ~PendingSave() = default;
    // Puts the new files in place (renames); the store then shows them.
    virtual void commit() = 0;
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    // The file or folder the store came from, as the user named it; used in messages.
    virtual std::string origin() const = 0;
    virtual NodeId rootNode() = 0;

    // Subkeys are found by name without regard to case, in time independent of their number.
    virtual NodeId findChild(NodeId parent, std::string_view name) = 0;
    virtual std::size_t childCount(NodeId key) = 0;
    // Valid for index < childCount(key); the view stays valid until the store is next changed.
    virtual std::string_view childName(NodeId key, std::size_t index) = 0;
    virtual NodeId childAt(NodeId key, std::size_t index) = 0;

    // The empty name is the key's default value.
    virtual std::optional<RegValue> findValue(NodeId key, std::string_view name) = 0;
    // Values by position, in the store's order, each in constant time. The name's view stays
    // valid until the store is next changed.
    virtual std::size_t valueCount(NodeId key) = 0;
    virtual std::string_view valueName(NodeId key, std::size_t index) = 0;
    virtual RegValue valueAt(NodeId key, std::size_t index) = 0;
    // A symbolic link key (as Wine's "#link" keys, whose target an NT path in their value
    // SymbolicLinkValue names): the key it leads to, or kNoNode when that is not in this store.
    // Nothing for a key that is no link. Opening a path through a link leads to its target, on
    // Windows and in Wine; an export writes the target's keys and values in the link's place.
    virtual std::optional<NodeId> linkTarget(NodeId /*key*/) { return std::nullopt; }
    // When the key was last written, as a FILETIME (100 ns units since 1601), where the source
    // keeps key times (hives, Wine's files); nothing where it does not (.reg files).
    virtual std::optional<std::uint64_t> lastWritten(NodeId /*key*/) { return std::nullopt; }
    // The SID that owns the key ("S-1-5-21-…"), where the source keeps security descriptors.
    virtual std::optional<std::string> ownerSid(NodeId /*key*/) { return std::nullopt; }
    // The root key's own name, where the source keeps one (a UsrClass.dat's "<SID>_Classes").
    virtual std::optional<std::string> rootName() { return std::nullopt; }
    // The caller is done with the key for now (a walk over a whole tree has passed it): what
    // the store keeps to answer for it may go. Views of its names are then no longer valid.
    virtual void forget(NodeId) {}

    // Why the store cannot be written, or nothing when it can.
    virtual std::optional<std::string> whyReadOnly() = 0;
    // Changes apply in memory until they are saved. All of these throw StoreError.
    virtual NodeId createKey(NodeId parent, std::string_view name) = 0;
    virtual void setValue(NodeId key, std::string_view name, const RegValue& value) = 0;
    virtual void deleteValue(NodeId key, std::string_view name) = 0;
    // Removes the subkey with its whole subtree; a missing subkey is no error.
    virtual void deleteKey(NodeId parent, std::string_view name) = 0;
    // Writes the whole store beside where it came from, ready to be put in place; nothing when
    // there is nothing to write. Throws StoreError.
    virtual std::unique_ptr<PendingSave> prepareSave() = 0;
    // Forgets every change since the last save: the store shows its files again. Keys that
    // existed before the changes keep their ids.
    virtual void discardChanges() = 0;
    // prepareSave(), then commit().
    void save();
};

} // namespace moxalo::registry
