#pragma once
// A hive file opened as Windows loads it: one that Windows did not finish writing (dirty) is
// read with its transaction logs replayed in memory (see HiveLogs.h). The file is only read.

#include "registry/hive/HiveStore.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace moxalo::hive {

struct OpenedHive {
    std::unique_ptr<HiveStore> store;
    // How it was read: "" for a clean hive, else "dirty; N log entries applied", or why what
    // Windows last wrote may be missing.
    std::string state;
    // Log entries that could not be used, then the hive's damage (see HiveStore::damage()).
    std::vector<std::string> warnings;
};

// Throws registry::StoreError as HiveStore::open(). A hive with log entries replayed keeps its
// path as its origin and is read-only: the logs would have to be applied to the file first. A
// dirty hive whose logs are missing or do not apply is read-only too: a save would seal in
// what Windows had not finished writing.
OpenedHive openHiveFile(const std::string& path, const std::string& holderKeyPrefix);

// Why the hive file is opened read-only, found as openHiveFile() finds it, or nothing.
std::optional<std::string> whyHiveFileReadOnly(const std::string& path);

} // namespace moxalo::hive
