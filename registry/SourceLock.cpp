#include "registry/SourceLock.h"

#include "registry/RegistryStore.h"
#include "registry/SourceStamp.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace moxalo::registry {

namespace {

struct Folder {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
};

// The folder in which a new file is renamed over `file`: that of the file its links lead to.
std::string folderOf(const std::string& file) {
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(file, error);
    if (error)
        target = std::filesystem::absolute(file, error);
    std::string folder = target.parent_path().string();
    return folder.empty() ? "/" : folder;
}

// Each folder once, in the order of their device and inode numbers: the same for every process.
Result<std::vector<Folder>> foldersToLock(const std::vector<std::string>& sourcePaths) {
    std::vector<Folder> folders;
    for (const auto& source : sourcePaths) {
        for (const auto& file : filesOfSource(source)) {
            Folder folder{folderOf(file)};
            struct stat st {};
            if (stat(folder.path.c_str(), &st) != 0)
                return fail(folder.path + ": cannot be locked for writing: " + std::strerror(errno),
                            true);
            folder.device = st.st_dev;
            folder.inode = st.st_ino;
            folders.push_back(std::move(folder));
        }
    }
    auto key = [](const Folder& f) { return std::pair(f.device, f.inode); };
    std::sort(folders.begin(), folders.end(),
              [&](const Folder& a, const Folder& b) { return key(a) < key(b); });
    folders.erase(std::unique(folders.begin(), folders.end(),
                              [&](const Folder& a, const Folder& b) { return key(a) == key(b); }),
                  folders.end());
    return folders;
}

std::string spoken(std::chrono::milliseconds wait) {
    if (wait.count() % 1000 == 0)
        return std::to_string(wait.count() / 1000) + " seconds";
    return std::to_string(wait.count()) + " ms";
}

Result<int> lockFolder(const Folder& folder, std::chrono::steady_clock::time_point deadline,
                       std::chrono::milliseconds wait) {
    int fd = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fail(folder.path + ": cannot be locked for writing: " + std::strerror(errno), true);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) {
            close(fd);
            return fail(folder.path + ": cannot be locked for writing: " + std::strerror(error),
                        true);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            close(fd);
            return fail(
                folder.path + ": not written: another program is changing the registry there " +
                    "and has not finished within " + spoken(wait) + "; try again when it has",
                true);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return fd;
}

} // namespace

Result<std::unique_ptr<SourceLock>> SourceLock::take(const std::vector<std::string>& sourcePaths,
                                                     std::chrono::milliseconds wait) {
    auto deadline = std::chrono::steady_clock::now() + wait;
    Result<std::vector<Folder>> folders = foldersToLock(sourcePaths);
    if (!folders)
        return fail(folders.error(), true);
    // Held from the first folder locked, so that a failure at a later one lets them all go.
    std::unique_ptr<SourceLock> lock(new SourceLock);
    for (const auto& folder : *folders) {
        Result<int> fd = lockFolder(folder, deadline, wait);
        if (!fd)
            return fail(fd.error(), true);
        lock->folders_.push_back(*fd);
    }
    return lock;
}

SourceLock::~SourceLock() {
    // Closing the folder lets the lock go.
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
        close(*it);
}

} // namespace moxalo::registry
