#pragma once
// A dirty hive with the transaction log Windows left beside it (in the format before Windows
// 8.1), whose one change is known: for tests of what a hive read with its log shows that the
// hive alone does not.

#include "registry/MemoryStore.h"

#include <string>

namespace moxalo::testing {

// Writes `tree` as the hive at `path`, marked dirty, and `path`.LOG1: the log's pages hold the
// value data `from` (a string value's text, as the hive stores it) changed to `to`, of the same
// length. Fails the test when the hive holds no such data.
void writeLoggedHive(registry::MemoryStore& tree, const std::string& path, const std::string& from,
                     const std::string& to);

} // namespace moxalo::testing
