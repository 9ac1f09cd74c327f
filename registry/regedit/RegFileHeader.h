#pragma once
// The first line of a .reg file, which says whether regedit reads the file at all.

#include <string_view>

namespace moxalo::regfile {

// The version the header names: 5, 4 or 3 (Windows 3.1). Blanks may come before it; the rest
// is compared exactly, as regedit does. Throws registry::StoreError saying what the first line
// should be; `fileBytes` lets the message name an encoding regedit does not read.
int readRegFileHeader(std::string_view firstLine, std::string_view fileBytes);

} // namespace moxalo::regfile
