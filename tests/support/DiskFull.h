#pragma once
// A disk as good as full, for tests of what a failed write leaves behind: while one of these
// lives, this process and the programs it starts cannot make a file longer than `bytes`. A
// write past that fails (EFBIG) as one on a full disk fails (ENOSPC); no mount is needed.

#include <sys/resource.h>

namespace moxalo::testing {

class DiskFull {
public:
    explicit DiskFull(rlim_t bytes);
    ~DiskFull();
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    rlimit before_{};
    void (*signalBefore_)(int) = nullptr;
};

} // namespace moxalo::testing
