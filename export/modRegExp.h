#pragma once
// Deleting one registry key.

#include "platform/registry/WinTypes.h"

#include <string>

namespace moxalo::exporting {

// RegDeleteKeyA with the root and the path; whether the key went is not reported.
void DeleteRegKey(registry::HKEY root, const std::string& subKey);

// Whether the .reg file at `path` holds the key `keyPath` ("HKEY_CLASSES_ROOT\.txt"): a backup
// that does not is no backup. `why` says what is wrong when it does not.
bool BackupHoldsKey(const std::string& path, const std::string& keyPath, std::string& why);

} // namespace moxalo::exporting
