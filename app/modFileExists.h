#pragma once

#include <string>

namespace moxalo::app {

// Whether `path` names an existing folder whose entries can be listed; "" names none. A plain
// file, a missing path or any error gives false.
bool FolderExists(const std::string& path) noexcept;

} // namespace moxalo::app
