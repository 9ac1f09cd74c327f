#pragma once

#include <string>

namespace moxalo::app {

// Whether `path` names an existing folder whose entries can be listed; "" names none. A plain
// file, a missing path or any error gives false.
bool FolderExists(const std::string& path) noexcept;

// True when `text` is empty once blanks are taken off both ends.
bool IsBlank(const std::string& text) noexcept;
// Whether `path` names an existing plain file (a folder is none). A blank path gives false
// without the disk being asked.
bool FileExists(const std::string& path) noexcept;

} // namespace moxalo::app
