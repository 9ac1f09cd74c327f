#pragma once
// The effective association window: what really opens one extension for the user, step by
// step with the key each step was read from, the Open With candidates and the verdict on the
// user's choice. Resizable, not modal, every text selectable and copyable; it deletes itself
// when closed.

#include "catalogue/effective/Effective.h"

#include <QDialog>
#include <QString>
#include <string>

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace moxalo::views {

class frmEffective : public QDialog {
    Q_OBJECT
public:
    explicit frmEffective(QWidget* parent = nullptr);

    // Fills the window for `extension` (with its dot) as `view` resolves it; what cannot be read
    // is said in the window.
    void Fill(catalogue::effective::UserView& view, const std::string& extension);
    // Says in the window why nothing could be resolved.
    void FillFailure(const std::string& extension, const std::string& message);

    // The summary's text for `label` ("Class", "Verdict"), or a null string when it has none.
    QString fact(const QString& label) const;
    QLineEdit* factBox(const QString& label) const;
    // The whole window as text, as Copy All puts it on the clipboard.
    const QString& report() const { return report_; }

    QFormLayout* facts;
    QTreeWidget* lvwSteps;
    QTreeWidget* lvwOpenWith;
    QLabel* lblProblem; // what could not be read, hidden when all could
    QPushButton* cmdCopy;
    QPushButton* cmdClose;

private:
    void clear(const std::string& extension);
    void showProblem(const QString& text);

    QString report_;
};

} // namespace moxalo::views
