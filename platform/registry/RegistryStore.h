#pragma once
// A store is one registry file (or tree) seen as keys, subkeys and named values. The registry
// API and the HKEY_CLASSES_ROOT view sit above it; every kind of source implements this.

#include "platform/registry/WinTypes.h"

#include <cstdint>
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

// A failure to open, read or write a source. The message names the file and what is wrong.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write refused because the source cannot be written (a read-only file, folder or mount, the
// installed sample, a Wine prefix whose wineserver runs).
class AccessDenied : public StoreError {
public:
    using StoreError::StoreError;
};

// Identifies a key within one store; meaningful only to the store that handed it out.
using NodeId = std::uint64_t;
inline constexpr NodeId kNoNode = ~NodeId{0};

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
    virtual std::vector<std::string> valueNames(NodeId key) = 0;

    // Why the store cannot be written, or nothing when it can.
    virtual std::optional<std::string> whyReadOnly() = 0;
    // Changes apply in memory; save() writes the whole store back to where it came from,
    // atomically. All of these throw StoreError.
    virtual NodeId createKey(NodeId parent, std::string_view name) = 0;
    virtual void setValue(NodeId key, std::string_view name, const RegValue& value) = 0;
    virtual void deleteValue(NodeId key, std::string_view name) = 0;
    // Removes the subkey with its whole subtree; a missing subkey is no error.
    virtual void deleteKey(NodeId parent, std::string_view name) = 0;
    virtual void save() = 0;
};

} // namespace moxalo::registry
