#include "registry/SourceFile.h"

#include "registry/RegistryStore.h"

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

SourceFile::SourceFile(const std::string& path, const Check& check) : path_(path) {
    // Opened without waiting: a named pipe with no writer would otherwise hold the program here.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw StoreError(path + ": cannot open: " + std::strerror(errno));
    struct stat st {};
    std::string why = fstat(fd, &st) != 0 ? readError() : check(st);
    if (why.empty() && S_ISREG(st.st_mode)) {
        why = map(fd, static_cast<std::size_t>(st.st_size)); // the mapping keeps the file open
    } else {
        if (why.empty())
            why = stream(fd, st, check);
        ::close(fd);
    }
    if (!why.empty())
        throw StoreError(path + ": " + why);
}

SourceFile::~SourceFile() = default;

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

void SourceFile::checkUnchanged() const {
    if (mapped_ && mapped_->changed())
        throw StoreError(path_ + ": the file was changed by another program while it was read");
}

std::string SourceFile::map(int fd, std::size_t size) {
    // Populated at once: one fault for the whole file rather than one a page.
    mapped_ = std::make_unique<fs::MappedFile>(fd, size, MAP_PRIVATE | MAP_POPULATE);
    if (int err = mapped_->error())
        return std::string("cannot read: ") + std::strerror(err);
    data_ = reinterpret_cast<const char*>(mapped_->data());
    size_ = size;
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
