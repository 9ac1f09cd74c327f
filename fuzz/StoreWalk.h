#pragma once
// Reads every key and value of a store, as a scan and an export would.

#include "registry/RegistryStore.h"

namespace moxalo::fuzz {

// A damaged key or value (StoreError) is passed over, as the program passes over it.
void walkStore(registry::RegistryStore& store);

} // namespace moxalo::fuzz
