#pragma once
// Writes a key of any store, with everything below it, as a new hive file.

#include "registry/RegistryStore.h"

#include <string>

namespace moxalo::hive {

// The subkeys of `key` become the hive's root keys, its values the root's values. The file is
// written beside `path` and renamed into place; throws registry::StoreError.
void writeHive(registry::RegistryStore& from, registry::NodeId key, const std::string& path);

} // namespace moxalo::hive
