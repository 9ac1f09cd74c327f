#pragma once
// The one way a front end opens its registry: choose the sources as the user asked (or as the
// program looks for them) and open them.

#include "base/Result.h"
#include "registry/SourceLock.h"
#include "registry/Sources.h"
#include "runtime/ChooseSources.h"
#include "runtime/SourceOptions.h"

#include <memory>
#include <string>
#include <vector>

namespace moxalo::runtime {

using registry::OpenedSource;
using registry::SourceLock;

struct ChosenRegistry {
    std::shared_ptr<registry::Registry> registry;
    SourceChoice choice;               // the paths, and what chose them
    std::vector<OpenedSource> sources; // each path with its kind
    // What could not be read of an otherwise readable source: malformed lines, damaged cells.
    std::vector<std::string> warnings;
    // Held by a writer from before the sources are read until its changes are saved.
    std::shared_ptr<SourceLock> writeLock;
};

enum class Purpose { Read, Write };

// `options` are what the command line named. Fails naming the source that cannot be opened and
// why, or the code page, or the SID the environment names. To write, the sources are locked before
// they are read (not the read-only bundled sample), so that the changes apply to the files as they
// are and no other writer comes between; the failure is then accessDenied when the lock is not had.
Result<ChosenRegistry> openChosenRegistry(const SourceOptions& options, const Environment& env,
                                          const std::string& programFolder,
                                          Purpose purpose = Purpose::Read);

// The sources as the About window names them: each path, with how it was read where that is
// worth telling ("…/NTUSER.DAT (dirty; 4 log entries applied)"); the bundled sample as such.
std::vector<std::string> describeSources(const ChosenRegistry& chosen);

// When a Windows partition among the sources chosen holds the hives of several users and none
// is named (--user, MOXALO_USER), opening fails; a window asks this first, and opens with the
// user picked in SourceOptions::user. Nothing to ask otherwise.
using registry::UserQuestion;
std::optional<UserQuestion> needsUser(const SourceOptions& options, const Environment& env,
                                      const std::string& programFolder);

} // namespace moxalo::runtime
