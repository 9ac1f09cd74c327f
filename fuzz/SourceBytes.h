#pragma once
// Registry sources made from one fuzz input, as a user would name them. The first byte chooses
// the sources; the rest is cut at each kSeparator into the files:
//   0: one file, recognised by its content (a hive, a Wine registry file or a .reg export);
//   1: a Wine prefix, its system.reg and user.reg;
//   2: two files named together, the first one's classes laid over the second's.

#include "registry/SourceChoice.h"

#include <string_view>

namespace moxalo::fuzz {

inline constexpr std::string_view kSeparator = "\n--8<--\n";

// Writes the files into the scratch folder, emptied first; no sources for no bytes.
registry::SourceChoice sourcesOf(std::string_view bytes);

} // namespace moxalo::fuzz
