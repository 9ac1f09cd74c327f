#pragma once
// The one way a front end opens its registry: choose the sources as the user asked (or as the
// program looks for them), open them, and make them the registry the functions read.

#include "platform/registry/SourceChoice.h"
#include "platform/registry/SourceLock.h"
#include "platform/registry/SourceOptions.h"
#include "platform/registry/Sources.h"

#include <memory>
#include <string>
#include <vector>

namespace moxalo::registry {

struct ChosenRegistry {
    SourceChoice choice;               // the paths, and what chose them
    std::vector<OpenedSource> sources; // each path with its kind
    // What could not be read of an otherwise readable source: malformed lines, damaged cells.
    std::vector<std::string> warnings;
    // Held by a writer from before the sources are read until its changes are saved.
    std::shared_ptr<SourceLock> writeLock;
};

enum class Purpose { Read, Write };

// `options` are what the command line named. Throws StoreError naming the source that cannot
// be opened and why, or the code page; the registry mounted before stays then. To write, the
// sources are locked before they are read (not the read-only bundled sample), so that the
// changes apply to the files as they are and no other writer comes between; AccessDenied
// when the lock is not had.
ChosenRegistry openChosenRegistry(const SourceOptions& options, const Environment& env,
                                  const std::string& programFolder,
                                  Purpose purpose = Purpose::Read);

} // namespace moxalo::registry
