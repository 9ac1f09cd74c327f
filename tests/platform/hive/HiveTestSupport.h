#pragma once
// Shared by the hive tests: comparing two stores' trees, and the real hives beside the source.

#include "platform/registry/RegistryStore.h"

#include <string>

namespace moxalo::testing {

// Expects the same subkeys (by name, recursively) and the same values, in the same order.
void expectSameTree(registry::RegistryStore& expected, registry::NodeId expectedKey,
                    registry::RegistryStore& actual, registry::NodeId actualKey,
                    const std::string& path = "");

// The path of a hive in the shared folder of real hives.
std::string sharedHive(const std::string& name);
bool haveSharedHives();

} // namespace moxalo::testing
