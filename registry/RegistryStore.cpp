#include "registry/RegistryStore.h"

namespace moxalo::registry {

void RegistryStore::save() {
    if (auto pending = prepareSave())
        pending->commit();
}

} // namespace moxalo::registry
