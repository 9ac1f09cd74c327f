#include "catalogue/Backups.h"

#include "base/AtomicFile.h"
#include "base/NameFold.h"
#include "catalogue/BackupName.h"
#include "registry/ShownName.h"
#include "registry/regedit/RegFileNames.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace moxalo::catalogue {

std::string BackupsFolder(const std::string& programFolder) {
    return programFolder + "/Backups";
}

std::string BackupPath(const std::string& programFolder, const std::string& name) {
    return BackupsFolder(programFolder) + "/" + name;
}

std::optional<std::string> OutsideBackups(const std::string& programFolder,
                                          const std::string& path) {
    const std::string folder = BackupsFolder(programFolder) + "/";
    if (!path.starts_with(folder))
        return "it does not start with the folder's path";
    const std::string_view name = std::string_view(path).substr(folder.size());
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos)
        return "\"" + std::string(name) + "\" is not the name of a file in it";
    return std::nullopt;
}

RowBackup RowBackupFor(const std::string& programFolder, std::string_view extension) {
    RowBackup backup{BackupPath(programFolder, RowBackupName(extension)), std::nullopt};
    // The registry editor would refuse it too, but out of sight: the user is told here.
    std::string key = "." + std::string(extension);
    if (std::string_view why = regfile::unwritableKeyName(key); !why.empty()) {
        backup.refusal = "HKEY_CLASSES_ROOT\\" + registry::shownName(key) +
                         " was not backed up: its name " + std::string(why) + ".";
        return backup;
    }
    if (auto why = OutsideBackups(programFolder, backup.path))
        backup.refusal = "." + std::string(extension) + " was not backed up: its file would be " +
                         backup.path + ", which is not a file in the Backups folder (" + *why +
                         ").";
    else if (std::string why = moxalo::fs::whyNotWritable(backup.path); !why.empty())
        backup.refusal = "." + std::string(extension) + " was not backed up: " + why + ".";
    return backup;
}

std::vector<std::string> ListBackups(const std::string& programFolder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entry(BackupsFolder(programFolder), error);
    for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error))
        names.push_back(entry->path().filename().string());
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return registry::compareNames(a, b) < 0;
    });
    return names;
}

Result<> DeleteBackup(const std::string& path) {
    std::error_code error;
    // A link is deleted itself, whatever it points to.
    std::filesystem::file_status status = std::filesystem::symlink_status(path, error);
    if (error)
        return fail(error.message());
    if (std::filesystem::is_directory(status))
        return fail("it is a folder, and only files are deleted here");
    if (!std::filesystem::remove(path, error))
        return fail(error ? error.message()
                          : std::make_error_code(std::errc::no_such_file_or_directory).message());
    return {};
}

} // namespace moxalo::catalogue
