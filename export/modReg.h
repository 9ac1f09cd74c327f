#pragma once
// Backing registry keys up to .reg files and bringing such files back, by starting the
// registry editor with an export or import command line; the program does neither itself.

#include <QString>
#include <functional>
#include <string>

namespace moxalo::exporting {

// "regedit /e "<path>" <key>": the key with everything below it, or with an empty key the
// whole registry (the line then ends in the blank after the quote).
QString ExportKeyCommandLine(const QString& key, const QString& path);
// "regedit /I <path>", the path not quoted.
QString ImportKeyCommandLine(const QString& path);

// Start the registry editor, hidden for an export, in a normal window for an import, and
// return at once. `ended` runs once the import has ended, with the editor's exit status.
void Export_Key(const QString& key, const QString& path);
void Import_Key(const QString& path, std::function<void(int status)> ended);

// Where the backup of one row of a program in `programFolder` goes: the file named after the
// row's extension in the Backups folder (catalogue::RowBackupName); `refusal` is empty, or says
// why nothing may be written there or why the registry editor cannot be given the row's key.
struct RowBackup {
    QString path;
    QString refusal;
};
RowBackup RowBackupFor(const std::string& programFolder, const std::string& extension);
// Backups/reg_backup.reg, where the whole registry goes.
QString RegistryBackupPath(const QString& programFolder);

} // namespace moxalo::exporting
