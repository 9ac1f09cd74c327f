#pragma once
// The Backups folder beside the program, where keys are exported to .reg files before they are
// changed: what it holds, and deleting one of its files.

#include "base/Result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::catalogue {

std::string BackupsFolder(const std::string& programFolder);
// The path of the entry called `name` in the Backups folder.
std::string BackupPath(const std::string& programFolder, const std::string& name);

// Why `path` is not a file right inside the Backups folder, judged by its text alone (the file
// is yet to be written): it must be the folder's path, "/" and a name that holds no "/" and is
// neither "." nor "..". Nothing when it is such a file.
std::optional<std::string> OutsideBackups(const std::string& programFolder,
                                          const std::string& path);

// Where the backup of the extension `extension` (without its dot) goes: the file RowBackupName
// names in the Backups folder. When that path is not a file right inside the folder, or no .reg
// file can name the extension's key (see RegFileNames.h), `refusal` says so, naming the key,
// and nothing may be written.
struct RowBackup {
    std::string path;
    std::optional<std::string> refusal;
};
RowBackup RowBackupFor(const std::string& programFolder, std::string_view extension);

// The names of every entry of the Backups folder, folders too, sorted by name without regard to
// case, as Windows lists a folder; none when it is missing or cannot be listed, and those listed
// so far when listing fails midway.
std::vector<std::string> ListBackups(const std::string& programFolder);

// Deletes the file at `path`; a folder is refused, as the designed program's file deletion
// refuses one, so that one question cannot take a whole tree; fails with why nothing was
// deleted.
Result<> DeleteBackup(const std::string& path);

} // namespace moxalo::catalogue
