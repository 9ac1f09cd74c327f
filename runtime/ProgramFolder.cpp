#include "runtime/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace moxalo::runtime {

namespace {

// /usr holds what the package manager installed and is read-only by convention, even to root
// (who could write it): a program there never keeps its own data beside itself.
bool underUsr(const std::string& folder) {
    return folder == "/usr" || folder.rfind("/usr/", 0) == 0;
}

std::string homeFolder(const Environment& env) {
    const char* home = env("HOME");
    if (home != nullptr && *home == '/')
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/tmp";
}

} // namespace

std::string programFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

std::string dataFolderFor(const std::string& programFolder, bool programFolderWritable,
                          const Environment& env) {
    if (programFolderWritable && !underUsr(programFolder))
        return programFolder;
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    const char* dataHome = env("XDG_DATA_HOME");
    std::string base = dataHome != nullptr && *dataHome == '/' ? std::string(dataHome)
                                                               : homeFolder(env) + "/.local/share";
    return base + "/moxalo";
}

std::string dataFolder() {
    std::string program = programFolder();
    bool writable = access(program.c_str(), W_OK) == 0;
    std::string folder = dataFolderFor(program, writable, std::getenv);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

} // namespace moxalo::runtime
