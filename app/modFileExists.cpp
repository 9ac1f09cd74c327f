#include "app/modFileExists.h"

#include <dirent.h>
#include <sys/stat.h>

namespace moxalo::app {

bool FolderExists(const std::string& path) noexcept {
    if (path.empty())
        return false;
    try {
        // The final "/" makes a plain file, or a link to one, fail as not a folder.
        std::string folder = path.back() == '/' ? path : path + '/';
        DIR* dir = opendir(folder.c_str());
        if (dir == nullptr)
            return false;
        closedir(dir);
        return true;
    } catch (const std::exception&) { // out of memory
        return false;
    }
}

bool IsBlank(const std::string& text) noexcept {
    return text.find_first_not_of(' ') == std::string::npos;
}

bool FileExists(const std::string& path) noexcept {
    if (IsBlank(path))
        return false;
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace moxalo::app
