#pragma once
// The audit window: every finding of the association audit in one sortable table, coloured by
// severity, allowed findings greyed with the reason that excuses them. A double click on a
// finding asks for its type in the list and its effective association. Not modal; one is kept
// and filled again each time it is shown.

#include "catalogue/audit/Audit.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace moxalo::views {

class frmAudit : public QDialog {
    Q_OBJECT
public:
    explicit frmAudit(QWidget* parent = nullptr);

    void Fill(const catalogue::audit::AuditReport& report);
    // Says in the window why the audit could not be made.
    void FillFailure(const QString& message);
    // The table as text, the heading first, as Copy All puts it on the clipboard.
    QString report() const;

    QTreeWidget* lvwFindings;
    QLabel* lblSummary;
    QCheckBox* chkAllowed; // shows the allowed findings too
    QPushButton* cmdCopy;
    QPushButton* cmdClose;

signals:
    // A finding's type (".txt", "exefile") was double-clicked.
    void typeChosen(const QString& type);

private:
    void refill();

    catalogue::audit::AuditReport shown_;
};

} // namespace moxalo::views
