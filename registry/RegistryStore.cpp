#include "registry/RegistryStore.h"

namespace moxalo::registry {

std::vector<std::string> RegistryStore::valueNames(NodeId key) {
    std::vector<std::string> names;
    std::size_t count = valueCount(key);
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        names.emplace_back(valueName(key, i));
    return names;
}

void RegistryStore::save() {
    if (auto pending = prepareSave())
        pending->commit();
}

} // namespace moxalo::registry
