#include "export/modReg.h"

#include "catalogue/Backups.h"
#include "gui/Texts.h"
#include "platform/process/CommandLine.h"
#include "platform/ui/Desktop.h"

namespace moxalo::exporting {

std::string ExportKeyCommandLine(const std::string& key, const std::string& path) {
    // A Linux file name may hold a quote, which Windows' splitting would take for the end of it.
    return "regedit /e \"" + process::escapeQuoted(path) + "\" " + key;
}

std::string ImportKeyCommandLine(const std::string& path) {
    return "regedit /I " + path;
}

void Export_Key(const std::string& key, const std::string& path) {
    ui::desktop().Shell(qtext(ExportKeyCommandLine(key, path)), ui::vbHide);
}

void Import_Key(const std::string& path, std::function<void(int status)> ended) {
    ui::desktop().ShellThen(qtext(ImportKeyCommandLine(path)), ui::vbNormalFocus, std::move(ended));
}

RowBackup RowBackupFor(const std::string& programFolder, const std::string& extension) {
    // The registry editor is given the key by its name in a command line, which passes through
    // Qt's text: a name holding half of a surrogate pair alone (see Utf16.h) would reach it as
    // another name, maybe another key's.
    const std::string asQtHasIt = QString::fromStdString(extension).toStdString();
    if (asQtHasIt != extension)
        return {{},
                "HKEY_CLASSES_ROOT\\." + asQtHasIt +
                    ": its name holds a character that cannot be given to the registry editor; "
                    "the backup of the entire registry holds the key."};
    catalogue::RowBackup backup = catalogue::RowBackupFor(programFolder, extension);
    return {backup.path, backup.refusal.value_or("")};
}

std::string RegistryBackupPath(const std::string& programFolder) {
    return catalogue::BackupPath(programFolder, "reg_backup.reg");
}

} // namespace moxalo::exporting
