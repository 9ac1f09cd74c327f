#include "platform/regfile/ImportTarget.h"

namespace moxalo::regfile {

bool MemoryTarget::openKey(const KeyPath& path, std::string&) {
    key_ = store_.createPath(path.joined());
    return true;
}

void MemoryTarget::setValue(std::string_view name, const registry::RegValue& value) {
    store_.setValue(key_, name, value);
}

void MemoryTarget::deleteValue(std::string_view name) {
    store_.deleteValue(key_, name);
}

bool MemoryTarget::deleteKey(const KeyPath& path, std::string&) {
    KeyPath parent = path;
    parent.names.pop_back();
    registry::NodeId at = store_.findPath(store_.rootNode(), parent.joined());
    if (at != registry::kNoNode)
        store_.deleteKey(at, path.names.back());
    return true;
}

} // namespace moxalo::regfile
