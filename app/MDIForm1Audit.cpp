// The Tools menu's audit: its window, and the marks it puts on the list's rows.

#include "app/MDIForm1.h"
#include "gui/Texts.h"
#include "platform/ui/Desktop.h"
#include "views/frmAudit.h"
#include "views/frmMain.h"

#include <QAction>
#include <filesystem>

namespace moxalo::app {

namespace {

// The user's own allow rules, beside the settings, added to those every audit starts with.
constexpr const char* kAllowFile = "audit-allow.txt";

} // namespace

// A file of the user's that cannot be read is said (when `sayWhy`), and the audit goes on with
// the rules it starts with.
catalogue::audit::AllowList MDIForm1::allowList(bool sayWhy) {
    auto allow = catalogue::audit::AllowList::defaults();
    std::string path = (std::filesystem::path(dataFolder_) / kAllowFile).string();
    if (!std::filesystem::exists(path))
        return allow;
    auto withFile = allow;
    if (Result<void> added = withFile.addFile(path); !added) {
        if (sayWhy)
            ui::desktop().MsgBox(this,
                                 qtext(added.error() + "\n\nThe audit goes on without that file's "
                                                       "rules."),
                                 ui::vbExclamation, AppTitle());
        return allow;
    }
    return withFile;
}

// Made afresh each time it is shown, as the registry may have changed meanwhile.
void MDIForm1::ShowAudit() {
    if (busy())
        return;
    if (audit_ == nullptr) {
        audit_ = new views::frmAudit(this);
        connect(audit_, &views::frmAudit::typeChosen, this, [this](const QString& type) {
            if (!list->ShowType(type.toStdString()))
                ui::desktop().MsgBox(audit_, "No registered file type of the list is " + type + ".",
                                     ui::vbInformation, AppTitle());
        });
    }
    Result<catalogue::audit::AuditReport> report = list->Audit(allowList(true));
    if (report)
        audit_->Fill(*report);
    else
        audit_->FillFailure(qtext(report.error()));
    audit_->show();
    audit_->raise();
    audit_->activateWindow();
}

// Off unless stored on.
void MDIForm1::applyAuditMarks() {
    bool on = settings_.read("Settings", "AuditMarks", "0") == "1";
    mnuAuditMarks->setChecked(on);
    list->ShowAuditMarks(on, allowList(false));
}

void MDIForm1::mnuAuditMarks_Click() {
    bool on = mnuAuditMarks->isChecked();
    settings_.write("Settings", "AuditMarks", on ? "1" : "0");
    list->ShowAuditMarks(on, allowList(on));
}

} // namespace moxalo::app
