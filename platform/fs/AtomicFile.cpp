#include "platform/fs/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace moxalo::fs {

namespace {

std::string folderOf(const std::string& path) {
    auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

[[noreturn]] void fail(const std::string& path, const std::string& what, int err) {
    throw FileError(path + ": " + what + ": " + std::strerror(err));
}

// The mode bits are looked at as well as access(): for root, access() allows writing a file
// that its owner marked read-only, and such a mark is the user's wish that it stays unchanged.
bool isReadOnly(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 &&
           ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0);
}

// The folder is looked at too: for root, a folder marked read-only takes new files all the same.
void refuseReadOnly(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && isReadOnly(path))
        throw FileError(path + " is read-only; it was not replaced");
    std::string folder = folderOf(path);
    if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && isReadOnly(folder))
        throw FileError(path + ": the folder " + folder + " is read-only; nothing was written");
}

// 0, or the errno of the write that failed.
int writeAll(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace

PendingFile::PendingFile(std::string path) : path_(std::move(path)) {
    refuseReadOnly(path_);
    std::string pattern = path_ + ".XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        fail(path_, "cannot create a temporary file beside it", errno);
    close(fd);
    temporary_ = std::move(pattern);
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : path_(std::move(other.path_)), temporary_(std::move(other.temporary_)) {
    other.temporary_.clear();
}

PendingFile::~PendingFile() {
    if (!temporary_.empty())
        unlink(temporary_.c_str());
}

PendingFile PendingFile::reserve(const std::string& path) {
    return PendingFile(path);
}

PendingFile PendingFile::write(const std::string& path, std::string_view bytes) {
    return write(path, [bytes](const Sink& sink) { sink(bytes); });
}

PendingFile PendingFile::write(const std::string& path,
                               const std::function<void(const Sink&)>& produce) {
    PendingFile file(path);
    int fd = open(file.temporary_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        fail(path, "cannot open the temporary file", errno);
    int err = 0;
    try {
        produce([fd, &err](std::string_view piece) {
            if (err == 0)
                err = writeAll(fd, piece);
        });
    } catch (...) {
        close(fd);
        throw;
    }
    const char* what = "cannot write";
    if (err == 0 && fsync(fd) != 0) {
        err = errno;
        what = "cannot flush to disk";
    }
    if (close(fd) != 0 && err == 0) {
        err = errno;
        what = "cannot close";
    }
    if (err != 0)
        fail(path, what, err);
    return file;
}

void PendingFile::commit() {
    struct stat st {};
    if (stat(path_.c_str(), &st) == 0)
        chmod(temporary_.c_str(), st.st_mode & 07777);
    else
        chmod(temporary_.c_str(), 0644);
    if (rename(temporary_.c_str(), path_.c_str()) != 0)
        fail(path_, "cannot replace the file", errno);
    temporary_.clear();
}

std::string whyNotWritable(const std::string& path) {
    std::string folder = folderOf(path);
    struct statvfs st {};
    if (statvfs(folder.c_str(), &st) == 0 && (st.f_flag & ST_RDONLY) != 0)
        return path + " is on a read-only file system";
    if (isReadOnly(path))
        return path + " is read-only";
    if (isReadOnly(folder))
        return "the folder " + folder + " is read-only";
    return {};
}

} // namespace moxalo::fs
