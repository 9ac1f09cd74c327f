#pragma once
// Applies a regedit .reg file to a registry tree the way `regedit /s file.reg` does: line by
// line, dropping a malformed line or value and going on with the rest.

#include "base/CodePage.h"
#include "registry/ImportTarget.h"
#include "registry/MemoryStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace moxalo::regfile {

inline constexpr std::string_view kHeaderVersion5 = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kHeaderVersion4 = "REGEDIT4";
// Windows 3.1 registration files: only "HKEY_CLASSES_ROOT\path = text" lines.
inline constexpr std::string_view kHeaderWin31 = "REGEDIT";

// Something regedit would drop or warn about, at a 1-based line of the file.
struct Diagnostic {
    int line = 0;
    std::string message;
};

struct ImportResult {
    int version = 5;     // 5, 4, or 3 for the Windows 3.1 format
    bool unicode = true; // UTF-16LE with a byte order mark, else 8-bit
    std::vector<Diagnostic> diagnostics;
};

// An 8-bit file is read in `codePage`. Throws registry::StoreError, without the file name,
// when the first line is no .reg header, and the target's AccessDenied; any other StoreError of
// the target is reported as a problem of its line.
ImportResult importRegFile(std::string_view fileBytes, ImportTarget& target,
                           const text::CodePage& codePage = text::CodePage());
// Into a MemoryStore that holds the root keys at its top level, named in upper case
// (HKEY_CLASSES_ROOT, ...).
ImportResult importRegFile(std::string_view fileBytes, registry::MemoryStore& target,
                           const text::CodePage& codePage = text::CodePage());

} // namespace moxalo::regfile
