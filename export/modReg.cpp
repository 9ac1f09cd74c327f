#include "export/modReg.h"

#include "catalogue/Backups.h"
#include "platform/process/CommandLine.h"
#include "platform/ui/Desktop.h"

namespace moxalo::exporting {

QString ExportKeyCommandLine(const QString& key, const QString& path) {
    // A Linux file name may hold a quote, which Windows' splitting would take for the end of it.
    return "regedit /e \"" + QString::fromStdString(process::escapeQuoted(path.toStdString())) +
           "\" " + key;
}

QString ImportKeyCommandLine(const QString& path) {
    return "regedit /I " + path;
}

void Export_Key(const QString& key, const QString& path) {
    ui::desktop().Shell(ExportKeyCommandLine(key, path), ui::vbHide);
}

void Import_Key(const QString& path, std::function<void(int status)> ended) {
    ui::desktop().ShellThen(ImportKeyCommandLine(path), ui::vbNormalFocus, std::move(ended));
}

RowBackup RowBackupFor(const std::string& programFolder, const std::string& extension) {
    // The registry editor is given the key by its name in a command line, which passes through
    // Qt's text: a name holding half of a surrogate pair alone (see Utf16.h) would reach it as
    // another name, maybe another key's.
    if (QString::fromStdString(extension).toStdString() != extension)
        return {{},
                "HKEY_CLASSES_ROOT\\." + QString::fromStdString(extension) +
                    ": its name holds a character that cannot be given to the registry editor; "
                    "the backup of the entire registry holds the key."};
    catalogue::RowBackup backup = catalogue::RowBackupFor(programFolder, extension);
    return {QString::fromStdString(backup.path),
            QString::fromStdString(backup.refusal.value_or(""))};
}

QString RegistryBackupPath(const QString& programFolder) {
    return QString::fromStdString(
        catalogue::BackupPath(programFolder.toStdString(), "reg_backup.reg"));
}

} // namespace moxalo::exporting
