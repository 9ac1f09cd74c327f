#pragma once
// Whether the wineserver of a Wine prefix runs. It keeps the registry in memory and writes it
// back over system.reg and user.reg, so a change made beside it would be lost.

#include <string>
#include <vector>

namespace moxalo::registry {

// The lock files that a running wineserver holds for the prefix folder, as
// <folder>/server-<device>-<inode>/lock with the numbers in lowercase hex. Upstream Wine keeps
// that folder in /tmp/.wine-<uid>; Debian's in $TMPDIR (or /tmp) under the name that the
// prefix's file "wineserver" holds. Empty when the prefix folder cannot be looked at.
std::vector<std::string> wineserverLockPaths(const std::string& prefixFolder);

bool wineserverRunning(const std::string& prefixFolder);

} // namespace moxalo::registry
