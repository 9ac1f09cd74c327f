#include "registry/wine/WineServerLock.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace moxalo::registry {

namespace {

// A folder name as mkdtemp makes it ("wine-XXXXXX"); anything longer is not one.
constexpr std::size_t kMaxServerFolderName = 255;

// The name in the prefix's "wineserver" file, or "" when there is none or it is not a plain
// folder name (the file is the prefix's, so it is not trusted to name a path).
std::string debianServerFolder(const std::string& prefixFolder) {
    std::ifstream file(prefixFolder + "/wineserver", std::ios::binary);
    std::string name;
    if (!file || !std::getline(file, name) || name.size() > kMaxServerFolderName)
        return {};
    bool plain = !name.empty() && name != "." && name != ".." &&
                 name.find_first_of("/\0", 0, 2) == std::string::npos;
    return plain ? name : std::string();
}

bool lockHeld(const std::string& lockPath) {
    int fd = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    // An open-file-description query sees a lock held by any process, this one too.
    bool held = fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    close(fd);
    return held;
}

} // namespace

std::vector<std::string> wineserverLockPaths(const std::string& prefixFolder) {
    struct stat st {};
    if (stat(prefixFolder.c_str(), &st) != 0)
        return {};
    char server[64];
    std::snprintf(server, sizeof server, "/server-%llx-%llx/lock",
                  static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    // wineserver only serves a prefix owned by its user, so the owner names the folder.
    std::vector<std::string> paths{"/tmp/.wine-" + std::to_string(st.st_uid) + server};
    if (std::string name = debianServerFolder(prefixFolder); !name.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        if (tmp != nullptr && *tmp != '\0')
            paths.push_back(std::string(tmp) + "/" + name + server);
        paths.push_back("/tmp/" + name + server);
    }
    return paths;
}

bool wineserverRunning(const std::string& prefixFolder) {
    for (const auto& path : wineserverLockPaths(prefixFolder)) {
        if (lockHeld(path))
            return true;
    }
    return false;
}

} // namespace moxalo::registry
