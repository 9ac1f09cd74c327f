#include "tests/support/HeldLock.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace moxalo::testing {

HeldLock::HeldLock(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    fd_ = ::open(path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_len = 1;
    EXPECT_EQ(fcntl(fd_, F_OFD_SETLK, &lock), 0);
}

HeldLock::~HeldLock() {
    close(fd_);
}

} // namespace moxalo::testing
