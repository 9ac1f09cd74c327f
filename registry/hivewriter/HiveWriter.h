#pragma once
// Writes a key of any store, with everything below it, as a new hive file.

#include "registry/RegistryStore.h"

#include <string>

namespace moxalo::hive {

// The subkeys of `key` become the hive's root keys, its values the root's values. The file is
// written beside `path` and renamed into place; throws registry::StoreError. The holder keys
// of keys with many subkeys (see HolderKeys.h) are named by `holderKeyPrefix` and a number.
void writeHive(registry::RegistryStore& from, registry::NodeId key, const std::string& path,
               const std::string& holderKeyPrefix);

} // namespace moxalo::hive
