#pragma once
// Applies a regedit .reg file to a registry tree the way `regedit /s file.reg` does: line by
// line, dropping a malformed line or value and going on with the rest.

#include "base/CodePage.h"
#include "base/Result.h"
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

// An 8-bit file is read in `codePage`. Fails, without the file name, when the first line is no
// .reg header, and when the target refuses to be written (marked as a refusal); any other
// failure of the target is reported as a problem of its line.
Result<ImportResult> importRegFile(std::string_view fileBytes, ImportTarget& target,
                                   const text::CodePage& codePage = text::CodePage());
// The version the file's header names (see ImportResult), or why it is no .reg file; only the
// header is read.
Result<int> regFileVersion(std::string_view fileBytes, const text::CodePage& codePage);
// Into a MemoryStore that holds the root keys at its top level, named in upper case
// (HKEY_CLASSES_ROOT, ...). Throws registry::StoreError where the first overload fails.
ImportResult importRegFile(std::string_view fileBytes, registry::MemoryStore& target,
                           const text::CodePage& codePage = text::CodePage());

} // namespace moxalo::regfile
