#pragma once
// Deleting one registry key.

#include "base/Result.h"
#include "registry/WinTypes.h"

#include <string>

namespace moxalo::exporting {

// RegDeleteKeyA with the root and the path. A key that has subkeys stays without a word, as on
// Windows; what else kept the key (the files could not be locked or written) fails.
Result<> DeleteRegKey(registry::HKEY root, const std::string& subKey);

// Whether the .reg file at `path` holds the key `keyPath` ("HKEY_CLASSES_ROOT\.txt"): a backup
// that does not is no backup, and fails with what is wrong.
Result<> BackupHoldsKey(const std::string& path, const std::string& keyPath);

// Why a backup by the registry editor failed, for the user: the lines it wrote to its error
// output, without its program name, or else its exit status.
std::string WhyEditorFailed(int status, const std::string& errors);

} // namespace moxalo::exporting
