#include "platform/registry/SourceFile.h"

#include "platform/registry/RegistryStore.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

namespace moxalo::registry {

namespace {

std::string readError() {
    return std::string("cannot read: ") + std::strerror(errno);
}

} // namespace

SourceFile::SourceFile(const std::string& path, const Check& check) {
    // Opened without waiting: a named pipe with no writer would otherwise hold the program here.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw StoreError(path + ": cannot open: " + std::strerror(errno));
    struct stat st {};
    std::string why = fstat(fd, &st) != 0 ? readError() : check(st);
    if (why.empty() && S_ISREG(st.st_mode))
        why = map(fd, static_cast<std::size_t>(st.st_size));
    else if (why.empty())
        why = stream(fd, st, check);
    ::close(fd);
    if (!why.empty())
        throw StoreError(path + ": " + why);
}

SourceFile::~SourceFile() {
    if (mapped_)
        munmap(const_cast<char*>(data_), size_);
}

void SourceFile::release(std::size_t offset) {
    if (!mapped_)
        return;
    auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    std::size_t end = std::min(offset, size_) / page * page;
    if (end <= released_)
        return;
    madvise(const_cast<char*>(data_) + released_, end - released_, MADV_DONTNEED);
    released_ = end;
}

std::string SourceFile::map(int fd, std::size_t size) {
    if (size == 0)
        return {};
    // Populated at once: one fault for the whole file rather than one a page.
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (map == MAP_FAILED)
        return readError();
    data_ = static_cast<const char*>(map);
    size_ = size;
    mapped_ = true;
    return {};
}

// A pipe or a device has no size to map: it is read to its end, and checked as it grows. A
// pipe whose writer is slow to come is waited for, but not for ever.
std::string SourceFile::stream(int fd, struct stat st, const Check& check) {
    constexpr int kWriterWaitMs = 10000;
    for (char buffer[1 << 16];;) {
        pollfd ready{fd, POLLIN, 0};
        int polled = poll(&ready, 1, kWriterWaitMs);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0)
            return "nothing was written to it for " + std::to_string(kWriterWaitMs / 1000) +
                   " seconds";
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n < 0)
            return readError();
        if (n == 0)
            break;
        streamed_.append(buffer, static_cast<std::size_t>(n));
        st.st_size = static_cast<off_t>(streamed_.size());
        if (std::string why = check(st); !why.empty())
            return why;
    }
    data_ = streamed_.data();
    size_ = streamed_.size();
    return {};
}

} // namespace moxalo::registry
