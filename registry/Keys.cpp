#include "registry/Keys.h"

#include "registry/Attempt.h"

namespace moxalo::registry {

Result<NodeId> Keys::root() const {
    return attempt([&] { return store_->rootNode(); });
}

Result<NodeId> Keys::child(NodeId parent, std::string_view name) const {
    return attempt([&] { return store_->findChild(parent, name); });
}

Result<std::size_t> Keys::subkeyCount(NodeId key) const {
    return attempt([&] { return store_->childCount(key); });
}

Result<std::string_view> Keys::subkeyName(NodeId key, std::size_t index) const {
    return attempt([&] { return store_->childName(key, index); });
}

Result<NodeId> Keys::subkeyAt(NodeId key, std::size_t index) const {
    return attempt([&] { return store_->childAt(key, index); });
}

Result<std::optional<RegValue>> Keys::value(NodeId key, std::string_view name) const {
    return attempt([&] { return store_->findValue(key, name); });
}

Result<std::size_t> Keys::valueCount(NodeId key) const {
    return attempt([&] { return store_->valueCount(key); });
}

Result<std::string_view> Keys::valueName(NodeId key, std::size_t index) const {
    return attempt([&] { return store_->valueName(key, index); });
}

Result<RegValue> Keys::valueAt(NodeId key, std::size_t index) const {
    return attempt([&] { return store_->valueAt(key, index); });
}

std::optional<std::string> Keys::whyReadOnly() const {
    return store_->whyReadOnly();
}

Result<> Keys::deleteKeyAndSave(NodeId parent, std::string_view name) {
    Result<> done = attempt([&] {
        store_->deleteKey(parent, name);
        store_->save();
    });
    if (done)
        return done;
    if (Result<> undone = attempt([&] { store_->discardChanges(); }); !undone)
        return fail(undone.error());
    return done;
}

} // namespace moxalo::registry
