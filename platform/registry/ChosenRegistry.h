#pragma once
// The one way a front end opens its registry: choose the sources as the user asked (or as the
// program looks for them), open them, and make them the registry the functions read.

#include "platform/registry/SourceChoice.h"
#include "platform/registry/SourceOptions.h"
#include "platform/registry/Sources.h"

#include <string>
#include <vector>

namespace moxalo::registry {

struct ChosenRegistry {
    SourceChoice choice;               // the paths, and what chose them
    std::vector<OpenedSource> sources; // each path with its kind
    // What could not be read of an otherwise readable source: malformed lines, damaged cells.
    std::vector<std::string> warnings;
};

// `options` are what the command line named. Throws StoreError naming the source that cannot
// be opened and why, or the code page; the registry mounted before stays then.
ChosenRegistry openChosenRegistry(const SourceOptions& options, const Environment& env,
                                  const std::string& programFolder);

} // namespace moxalo::registry
