#pragma once
// The lock that a process holds while it writes registry sources, so that two writers never
// start from the same old file and the later one's rename never undoes the earlier one's change.
// It is an advisory lock (flock) on the folder that holds each file: the folder stays the same
// when a write renames a new file over the old one, nothing is created beside the sources, and
// a read-only folder can still be opened by the readers, who take no lock at all. Every
// writer of these stores takes it; Wine does not, which is why a running wineserver still
// refuses writes.

#include "base/Result.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace moxalo::registry {

class SourceLock {
public:
    // How long a writer waits for another to finish before it gives up.
    static constexpr std::chrono::milliseconds kWait{5000};

    // Locks the folders of the sources' files (see filesOfSource), in one fixed order, so that
    // two writers of the same sources never hold one each. Refused (naming the folder) when a
    // lock is not had within `wait`, or when the folder cannot be opened.
    static Result<std::unique_ptr<SourceLock>> take(const std::vector<std::string>& sourcePaths,
                                                    std::chrono::milliseconds wait = kWait);
    ~SourceLock();
    SourceLock(const SourceLock&) = delete;
    SourceLock& operator=(const SourceLock&) = delete;

private:
    SourceLock() = default;

    std::vector<int> folders_;
};

} // namespace moxalo::registry
