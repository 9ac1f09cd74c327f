#pragma once
// Shared by the hive tests: comparing two stores' trees, running libhivex's own tools, the
// errors of changes.

#include "registry/RegistryStore.h"
#include "tests/support/SharedHives.h"

#include <string>

namespace moxalo::testing {

// Expects the same values, in the same order, and the same subkeys, found by name: a hive lists
// the subkeys added or deleted since its last save out of order.
void expectSameTree(registry::RegistryStore& expected, registry::NodeId expectedKey,
                    registry::RegistryStore& actual, registry::NodeId actualKey,
                    const std::string& path = "");

// What the shell command wrote to its standard output.
std::string runShell(const std::string& command);

// The message of the StoreError the change throws, or "" when it goes through.
template <typename Change> std::string storeError(Change change) {
    try {
        change();
    } catch (const registry::StoreError& e) {
        return e.what();
    }
    return "";
}

} // namespace moxalo::testing
