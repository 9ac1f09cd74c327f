#include "registry/ImportTarget.h"

#include "base/Utf16.h"

namespace moxalo::regfile {

namespace {

registry::RegValue widenText(registry::DWORD type, std::string_view text) {
    return {type, text::stringValueData(text)};
}

} // namespace

void ImportTarget::setText(std::string_view name, std::string_view text) {
    setValue(name, widenText(registry::REG_SZ, text));
}

Result<> MemoryTarget::openKey(const KeyPath& path) {
    names_.assign(1, path.root);
    names_.insert(names_.end(), path.names.begin(), path.names.end());
    key_ = store_.createPath(names_, chain_);
    return {};
}

void MemoryTarget::setValue(std::string_view name, const registry::RegValue& value) {
    store_.setValue(key_, name, value);
}

void MemoryTarget::setText(std::string_view name, std::string_view text) {
    store_.setEncodedValue(key_, name, registry::REG_SZ, text, widenText);
}

void MemoryTarget::deleteValue(std::string_view name) {
    store_.deleteValue(key_, name);
}

Result<> MemoryTarget::deleteKey(const KeyPath& path) {
    KeyPath parent = path;
    parent.names.pop_back();
    registry::NodeId at = store_.findPath(store_.rootNode(), parent.joined());
    if (at != registry::kNoNode)
        store_.deleteKey(at, path.names.back());
    return {};
}

} // namespace moxalo::regfile
