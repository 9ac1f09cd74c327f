#pragma once
// Backing registry keys up to .reg files and bringing such files back, by starting the
// registry editor with an export or import command line; the program does neither itself.

#include <functional>
#include <string>

namespace moxalo::exporting {

// "regedit /e "<path>" <key>": the key with everything below it, or with an empty key the
// whole registry (the line then ends in the blank after the quote).
std::string ExportKeyCommandLine(const std::string& key, const std::string& path);
// "regedit /I <path>", the path not quoted.
std::string ImportKeyCommandLine(const std::string& path);

// Start the registry editor, hidden for an export, in a normal window for an import, and
// return at once. `ended` runs once the import has ended, with the editor's exit status.
void Export_Key(const std::string& key, const std::string& path);
void Import_Key(const std::string& path, std::function<void(int status)> ended);

// Where the backup of one row of a program in `programFolder` goes: the file named after the
// row's extension in the Backups folder (catalogue::RowBackupName); `refusal` is empty, or says
// why nothing may be written there or why the registry editor cannot be given the row's key.
struct RowBackup {
    std::string path;
    std::string refusal;
};
RowBackup RowBackupFor(const std::string& programFolder, const std::string& extension);
// Backups/reg_backup.reg, where the whole registry goes.
std::string RegistryBackupPath(const std::string& programFolder);

} // namespace moxalo::exporting
