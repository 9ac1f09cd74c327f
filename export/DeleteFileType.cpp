#include "export/DeleteFileType.h"

#include "catalogue/AppTexts.h"
#include "export/modReg.h"
#include "export/modRegExp.h"
#include "gui/Texts.h"
#include "platform/ui/Desktop.h"

#include <QString>

namespace moxalo::exporting {

namespace {

void say(QWidget* owner, const QString& message) {
    ui::desktop().MsgBox(owner, message, ui::vbExclamation, AppTitle());
}

} // namespace

bool DeleteFileType(QWidget* owner, const std::string& programFolder,
                    const catalogue::CatalogueEntry& row, bool& quietBackup) {
    RowBackup backup = RowBackupFor(programFolder, row.Extension);
    if (!backup.refusal.empty()) {
        say(owner, "Nothing was deleted: " + qtext(backup.refusal));
        return false;
    }
    const std::string key = "HKEY_CLASSES_ROOT\\." + row.Extension;
    if (ui::desktop().MsgBox(owner,
                             "Are you sure you want to delete this item?\r\n\r\n" + qtext(key),
                             ui::vbYesNo | ui::vbQuestion, AppTitle()) != ui::vbYes)
        return false;
    quietBackup = true;
    QString errors;
    int status = ui::desktop().ShellAndWait(qtext(ExportKeyCommandLine(key, backup.path)),
                                            ui::vbHide, errors);
    quietBackup = false;
    Result<> held = status != 0 ? fail(WhyEditorFailed(status, errors.toStdString()))
                                : BackupHoldsKey(backup.path, key);
    if (!held) {
        say(owner,
            qtext(key + " was not deleted: its backup could not be made.\n\n" + held.error()));
        return false;
    }
    if (auto deleted = DeleteRegKey(registry::HKEY_CLASSES_ROOT, "." + row.Extension); !deleted) {
        say(owner, qtext(key + " was not deleted: " + deleted.error()));
        return false;
    }
    return true;
}

} // namespace moxalo::exporting
