#include "base/AtomicFile.h"

#include <cerrno>
#include <climits>
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

Failure failed(const std::string& path, const std::string& what, int err) {
    return fail(path + ": " + what + ": " + std::strerror(err));
}

// The mode bits are looked at as well as access(): for root, access() allows writing a file
// that its owner marked read-only, and such a mark is the user's wish that it stays unchanged.
bool isReadOnly(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 &&
           ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0);
}

// The folder is looked at too: for root, a folder marked read-only takes new files all the same.
Result<> refuseReadOnly(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && isReadOnly(path))
        return fail(path + " is read-only; it was not replaced");
    std::string folder = folderOf(path);
    if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && isReadOnly(folder))
        return fail(path + ": the folder " + folder + " is read-only; nothing was written");
    return {};
}

// The file that `path` names at the end of its chain of symbolic links: the new content takes
// the place of that file and the links stay, as an editor writes through them.
Result<std::string> followLinks(const std::string& path) {
    // As many links as the kernel follows in one path.
    constexpr int kMaxLinks = 40;
    std::filesystem::path at = path;
    for (int links = 0;; ++links) {
        struct stat st {};
        if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at.string();
        if (links == kMaxLinks)
            return failed(path, "cannot follow its symbolic links", ELOOP);
        std::error_code error;
        std::filesystem::path target = std::filesystem::read_symlink(at, error);
        if (error)
            return failed(path, "cannot follow its symbolic link", error.value());
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
}

// mkstemp's pattern for a temporary file beside `path`: its name and ".XXXXXX", the name cut
// short (between characters) where the whole would be longer than the folder allows.
std::string temporaryPattern(const std::string& path) {
    constexpr std::string_view kUnique = ".XXXXXX";
    long limit = pathconf(folderOf(path).c_str(), _PC_NAME_MAX);
    std::size_t room = (limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX) - kUnique.size();
    std::size_t nameStart = path.rfind('/') + 1; // 0 when there is no folder
    std::size_t cut = path.size();
    if (cut - nameStart > room) {
        cut = nameStart + room;
        while (cut > nameStart && (static_cast<unsigned char>(path[cut]) & 0xC0) == 0x80)
            --cut;
    }
    return path.substr(0, cut) + std::string(kUnique);
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

PendingFile::PendingFile(PendingFile&& other) noexcept
    : path_(std::move(other.path_)), temporary_(std::move(other.temporary_)) {
    other.temporary_.clear();
}

PendingFile::~PendingFile() {
    if (!temporary_.empty())
        unlink(temporary_.c_str());
}

Result<PendingFile> PendingFile::reserve(const std::string& named) {
    Result<std::string> path = followLinks(named);
    if (!path)
        return fail(path.error());
    if (Result<> writable = refuseReadOnly(*path); !writable)
        return fail(writable.error());
    std::string pattern = temporaryPattern(*path);
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        return failed(*path, "cannot create a temporary file beside it", errno);
    close(fd);
    return PendingFile(std::move(*path), std::move(pattern));
}

Result<PendingFile> PendingFile::write(const std::string& path, std::string_view bytes) {
    return write(path, [bytes](const Sink& sink) { sink(bytes); });
}

Result<PendingFile> PendingFile::write(const std::string& path,
                                       const std::function<void(const Sink&)>& produce) {
    Result<PendingFile> file = reserve(path);
    if (!file)
        return file;
    const std::string& replaced = file->path_;
    int fd = open(file->temporary_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return failed(replaced, "cannot open the temporary file", errno);
    int err = 0;
    const char* what = "cannot write";
    produce([fd, &err](std::string_view piece) {
        if (err == 0)
            err = writeAll(fd, piece);
        return err == 0;
    });
    if (err == 0 && fsync(fd) != 0) {
        err = errno;
        what = "cannot flush to disk";
    }
    if (close(fd) != 0 && err == 0) {
        err = errno;
        what = "cannot close";
    }
    if (err != 0)
        return failed(replaced, what, err);
    return file;
}

Result<> PendingFile::commit() {
    struct stat st {};
    if (stat(path_.c_str(), &st) == 0)
        chmod(temporary_.c_str(), st.st_mode & 07777);
    else
        chmod(temporary_.c_str(), 0644);
    if (rename(temporary_.c_str(), path_.c_str()) != 0)
        return failed(path_, "cannot replace the file", errno);
    temporary_.clear();
    return {};
}

std::string whyNotWritable(const std::string& named) {
    Result<std::string> followed = followLinks(named);
    if (!followed)
        return followed.error();
    const std::string& path = *followed;
    std::string folder = folderOf(path);
    // A folder that is gone (or a link that leads nowhere) takes no file either.
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0)
        return "the folder " + folder + " cannot be used: " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return folder + " is not a folder";
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
