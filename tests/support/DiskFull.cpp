#include "tests/support/DiskFull.h"

#include <csignal>
#include <stdexcept>

namespace moxalo::testing {

DiskFull::DiskFull(rlim_t bytes) {
    // Past the limit the kernel also sends SIGXFSZ, which would end the process; ignored, the
    // write just fails, as it would on a full disk. Programs started meanwhile inherit both.
    signalBefore_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &before_);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("cannot limit the size of files");
}

DiskFull::~DiskFull() {
    setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, signalBefore_);
}

} // namespace moxalo::testing
