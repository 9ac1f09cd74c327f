#include "AtomicFile.h"

#include "RegistryStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace moxalo::registry {

namespace {

std::string folderOf(const std::string& path) {
    auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

[[noreturn]] void fail(const std::string& path, const std::string& what, int err) {
    throw StoreError(path + ": " + what + ": " + std::strerror(err));
}

bool isReadOnly(const std::string& path);

} // namespace

std::string temporaryPathBeside(const std::string& path) {
    std::string pattern = path + ".XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        fail(path, "cannot create a temporary file beside it", errno);
    close(fd);
    return pattern;
}

void replaceFile(const std::string& temporary, const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        chmod(temporary.c_str(), st.st_mode & 07777);
    else
        chmod(temporary.c_str(), 0644);
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        int err = errno;
        unlink(temporary.c_str());
        fail(path, "cannot replace the file", err);
    }
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    std::string temporary = temporaryPathBeside(path);
    int fd = open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    auto abandon = [&](const char* what) {
        int err = errno;
        if (fd >= 0)
            close(fd);
        unlink(temporary.c_str());
        fail(path, what, err);
    };
    if (fd < 0)
        abandon("cannot open the temporary file");
    for (std::size_t done = 0; done < bytes.size();) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            abandon("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0)
        abandon("cannot flush to disk");
    if (close(fd) != 0) {
        fd = -1;
        abandon("cannot close");
    }
    replaceFile(temporary, path);
}

namespace {

// The mode bits are looked at as well as access(): for root, access() allows writing a file
// that its owner marked read-only, and such a mark is the user's wish that it stays unchanged.
bool isReadOnly(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 &&
           ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0);
}

} // namespace

std::string whyNotWritable(const std::string& path) {
    std::string folder = folderOf(path);
    struct statvfs fs {};
    if (statvfs(folder.c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY) != 0)
        return path + " is on a read-only file system";
    if (isReadOnly(path))
        return path + " is read-only";
    if (isReadOnly(folder))
        return "the folder " + folder + " is read-only";
    return {};
}

} // namespace moxalo::registry
