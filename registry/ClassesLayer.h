#pragma once
// One contribution to HKEY_CLASSES_ROOT: the key of a store that holds classes, and whether
// they are the user's (HKCU\Software\Classes, which win) or the machine's.

#include "registry/RegistryStore.h"

namespace moxalo::registry {

struct ClassesLayer {
    RegistryStore* store = nullptr;
    NodeId key = kNoNode;
    bool user = false;
};

} // namespace moxalo::registry
