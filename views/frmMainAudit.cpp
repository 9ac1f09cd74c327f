// The list window's part in the audit: the audit of the registry it read, the marks on the
// rows the findings concern, and the row of a finding's type.

#include "base/NameFold.h"
#include "views/frmMain.h"

namespace moxalo::views {

namespace audit = catalogue::audit;

Result<audit::AuditReport> frmMain::Audit(const audit::AllowList& allow) {
    Result<catalogue::effective::UserView*> view = userView_.get();
    if (!view)
        return fail(view.error());
    return audit::runAudit(**view, allow);
}

void frmMain::ShowAuditMarks(bool on, const audit::AllowList& allow) {
    allow_ = allow;
    marks_.reset();
    if (on)
        model_->showAuditMarks(
            [this](const catalogue::CatalogueEntry& row) { return auditMark(row); });
    else
        model_->showAuditMarks(nullptr);
}

// An audit that fails marks nothing: the audit window tells why when it is opened.
std::optional<audit::RowMark> frmMain::auditMark(const catalogue::CatalogueEntry& row) {
    if (!marks_) {
        Result<audit::AuditReport> report = Audit(allow_);
        marks_ = report ? audit::AuditMarks(*report) : audit::AuditMarks();
    }
    if (marks_->empty())
        return std::nullopt;
    return marks_->markOf(row.Extension, progIdOf(row));
}

std::string frmMain::progIdOf(const catalogue::CatalogueEntry& row) {
    Result<catalogue::effective::UserView*> view = userView_.get();
    if (!view)
        return {};
    Result<catalogue::effective::Association> association = (*view)->resolve("." + row.Extension);
    return association ? association->progId : std::string();
}

bool frmMain::ShowType(const std::string& type) {
    const bool extension = type.starts_with('.');
    for (std::size_t row = 0; row < Rows().size(); ++row) {
        const catalogue::CatalogueEntry& entry = Rows()[row];
        if (extension ? registry::sameName("." + entry.Extension, type)
                      : registry::sameName(progIdOf(entry), type)) {
            selectRow(row);
            ShowEffective(entry.Extension);
            return true;
        }
    }
    return false;
}

} // namespace moxalo::views
