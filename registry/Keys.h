#pragma once
// The keys of a store as the code outside the engine reads and changes them: every answer a
// result (see Attempt.h), a refusal marked as such.

#include "base/Result.h"
#include "registry/RegistryStore.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace moxalo::registry {

class Keys {
public:
    explicit Keys(RegistryStore& store) : store_(&store) {}

    Result<NodeId> root() const;
    // The subkey of that name (in any case), or kNoNode.
    Result<NodeId> child(NodeId parent, std::string_view name) const;
    Result<std::size_t> subkeyCount(NodeId key) const;
    Result<std::string_view> subkeyName(NodeId key, std::size_t index) const;
    Result<NodeId> subkeyAt(NodeId key, std::size_t index) const;

    // The value of that name (in any case; "" is the default value), or nothing.
    Result<std::optional<RegValue>> value(NodeId key, std::string_view name) const;
    Result<std::size_t> valueCount(NodeId key) const;
    Result<std::string_view> valueName(NodeId key, std::size_t index) const;
    Result<RegValue> valueAt(NodeId key, std::size_t index) const;

    std::optional<std::string> whyReadOnly() const;
    // Deletes the subkey and saves the store; a change that cannot be saved is taken back, so
    // that memory keeps showing what the files hold.
    Result<> deleteKeyAndSave(NodeId parent, std::string_view name);

private:
    RegistryStore* store_;
};

} // namespace moxalo::registry
