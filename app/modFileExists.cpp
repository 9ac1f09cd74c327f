#include "app/modFileExists.h"

#include <dirent.h>

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

} // namespace moxalo::app
