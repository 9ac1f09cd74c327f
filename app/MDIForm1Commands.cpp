// The main window's commands that write files or change the registry: the list saves, the
// backups and imports through the registry editor, and deleting a file type.

#include "app/MDIForm1.h"
#include "app/frmTB.h"
#include "base/AtomicFile.h"
#include "catalogue/AppTexts.h"
#include "export/DeleteFileType.h"
#include "export/frmBackup.h"
#include "export/modReg.h"
#include "gui/Texts.h"
#include "platform/advapi/RegistrySession.h"
#include "platform/ui/Desktop.h"
#include "views/frmMain.h"

#include <QPointer>
#include <QProgressBar>
#include <QTreeView>

namespace moxalo::app {

bool MDIForm1::busy() const {
    return list->scanning() || saving_;
}

std::optional<catalogue::CatalogueEntry> MDIForm1::selectedRowOrSay() {
    auto row = list->SelectedRow();
    if (!row)
        ui::desktop().MsgBox(this, "Select a row of the list first.", ui::vbInformation,
                             AppTitle());
    return row;
}

void MDIForm1::countCaption() {
    setWindowTitle(qtext(catalogue::CountCaption(static_cast<long long>(list->Rows().size()))));
}

void MDIForm1::SaveList(bool extended) {
    if (busy())
        return;
    QString path = exporting::AskListFile(this, cDialog, extended);
    if (path.isEmpty())
        return;
    if (!extended) {
        exporting::Export_List(this, list->ShownRows(), path);
        return;
    }
    saving_ = true;
    list->lvwFile->setEnabled(false);
    exporting::Export_List_Extended(this, tb->pBar1, list->ShownRows(), path);
    list->lvwFile->setEnabled(true);
    saving_ = false;
}

void MDIForm1::ExportSelectedKey(bool fromMenu) {
    if (busy())
        return;
    auto row = selectedRowOrSay();
    if (!row)
        return;
    exporting::RowBackup backup = exporting::RowBackupFor(dataFolder_, row->Extension);
    if (!backup.refusal.empty()) {
        ui::desktop().MsgBox(this, qtext(backup.refusal), ui::vbExclamation, AppTitle());
        return;
    }
    exporting::Export_Key(row->KeyPath, backup.path);
    if (!(fromMenu && bQuietBackup))
        ui::desktop().MsgBox(this, "Backup complete", ui::vbInformation, AppTitle());
}

// A row whose backup is refused is named at the end; the other rows are backed up all the same.
void MDIForm1::ExportEntireList(bool fromMenu) {
    if (busy())
        return;
    QStringList refused;
    for (const auto& row : list->ShownRows()) {
        exporting::RowBackup backup = exporting::RowBackupFor(dataFolder_, row.Extension);
        if (!backup.refusal.empty()) {
            refused << qtext(backup.refusal);
            continue;
        }
        exporting::Export_Key(row.KeyPath, backup.path);
        setWindowTitle(AppTitle() + " [ Saving: " + qtext(fromMenu ? row.KeyPath : row.Extension) +
                       " ]");
    }
    if (refused.isEmpty())
        ui::desktop().MsgBox(this, "Backup complete", ui::vbInformation, AppTitle());
    else
        ui::desktop().MsgBox(this,
                             refused.join("\n") + "\n\nThe other rows of the list were backed up.",
                             ui::vbExclamation, AppTitle());
    countCaption();
}

void MDIForm1::ExportWholeRegistry() {
    if (busy())
        return;
    std::string path = exporting::RegistryBackupPath(dataFolder_);
    if (std::string why = fs::whyNotWritable(path); !why.empty()) {
        ui::desktop().MsgBox(this, "The entire registry was not backed up: " + qtext(why) + ".",
                             ui::vbExclamation, AppTitle());
        return;
    }
    setWindowTitle(AppTitle() + " [ Saving: Entire registry ]");
    exporting::Export_Key("", path);
    ui::desktop().MsgBox(this, "Backup complete", ui::vbInformation, AppTitle());
    countCaption();
}

void MDIForm1::ImportCustom() {
    QString path = exporting::AskImportFile(this, cDialog);
    if (!path.isEmpty())
        ImportKey(path);
}

// The list shows the registry as the import has left it, once the registry editor has ended.
void MDIForm1::ImportKey(const QString& path) {
    exporting::Import_Key(path.toStdString(), [list = QPointer(list)](int status) {
        if (auto* session = registry::mountedSession())
            session->lookAtSourcesNextCall();
        if (status == 0 && list)
            list->LoadListAgain();
    });
}

void MDIForm1::DeleteFileType() {
    if (busy())
        return;
    auto row = selectedRowOrSay();
    if (row && exporting::DeleteFileType(this, dataFolder_, *row, bQuietBackup))
        list->RemoveSelectedRow();
}

void MDIForm1::ShowEffectiveAssociation() {
    if (busy())
        return;
    if (auto row = selectedRowOrSay())
        list->ShowEffective(row->Extension);
}

// One Backups window, kept while the program runs; opened again, it comes to the front.
void MDIForm1::ShowBackups() {
    if (backups_ == nullptr)
        backups_ = new exporting::frmBackup(
            dataFolder_,
            [this](const std::string& path) { ImportKey(QString::fromStdString(path)); }, this);
    backups_->showAndRaise();
}

} // namespace moxalo::app
