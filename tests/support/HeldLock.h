#pragma once

#include <string>

namespace moxalo::testing {

// Holds a write lock on a file as a running wineserver does, until it goes.
class HeldLock {
public:
    explicit HeldLock(const std::string& path);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace moxalo::testing
