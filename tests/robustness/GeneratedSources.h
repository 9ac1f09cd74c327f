#pragma once
// Registry sources generated for tests of sizes and names that no fixture file holds: the same
// classes as a regedit export, a Wine prefix and a hive, each opened as the program opens it.

#include "base/Result.h"
#include "catalogue/CatalogueEntry.h"
#include "tests/support/TestRegistry.h"

#include <string>
#include <vector>

namespace moxalo::testing {

// One key below HKEY_CLASSES_ROOT ("\"-separated path) with its values, each a value line that
// a .reg file and a Wine registry file write alike ("@=\"text\"", "\"n\"=hex(1):...").
struct GeneratedKey {
    std::string path;
    std::vector<std::string> values;
};

// `count` extension keys ".e000000", ".e000001"... each with the default value "t", in the
// order every store lists them, so that loading them costs no sorting.
std::vector<GeneratedKey> numberedExtensions(std::size_t count);

enum class GeneratedKind { RegFile, WinePrefix, Hive };
std::string describe(GeneratedKind kind);
inline constexpr GeneratedKind kAllKinds[] = {GeneratedKind::RegFile, GeneratedKind::WinePrefix,
                                              GeneratedKind::Hive};
// Writes the keys, in the order given, as a source of `kind` in `dir`; returns its path.
std::string writeSource(const TempDir& dir, GeneratedKind kind,
                        const std::vector<GeneratedKey>& keys);

// Opens the source as the program does and mounts it as HKEY_CLASSES_ROOT, or says why not.
Result<> mountSource(const std::string& path);

// The rows of the catalogue scan of the mounted registry, or the scan's error message in the
// one row's Extension when it fails.
std::vector<catalogue::CatalogueEntry> scanRows();

} // namespace moxalo::testing
