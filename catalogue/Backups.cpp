#include "catalogue/Backups.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace moxalo::catalogue {

std::string BackupsFolder(const std::string& programFolder) {
    return programFolder + "/Backups";
}

std::string BackupPath(const std::string& programFolder, const std::string& name) {
    return BackupsFolder(programFolder) + "/" + name;
}

std::vector<std::string> ListBackups(const std::string& programFolder) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entry(BackupsFolder(programFolder), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error))
        names.push_back(entry->path().filename().string());
    return names;
}

std::optional<std::string> DeleteBackup(const std::string& path) {
    std::error_code error;
    // A link is deleted itself, whatever it points to.
    fs::file_status status = fs::symlink_status(path, error);
    if (error)
        return error.message();
    if (fs::is_directory(status))
        return "it is a folder, and only files are deleted here";
    if (!fs::remove(path, error))
        return error ? error.message()
                     : std::make_error_code(std::errc::no_such_file_or_directory).message();
    return std::nullopt;
}

} // namespace moxalo::catalogue
