#pragma once
// The details window: a modal window with what the registry holds about one extension's type,
// filled as it is read. It is made afresh for each showing and deletes itself when closed, so
// that after exec() returns the pointer to it must not be used.

#include "catalogue/KeyDetails.h"

#include <QDialog>
#include <optional>
#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace moxalo::views {

class frmValues : public QDialog, public catalogue::DetailsListener {
    Q_OBJECT

public:
    explicit frmValues(QWidget* parent = nullptr);

    // Before anything is read: the extension key, ".txt".
    void Begin(const std::string& extensionKey);
    void ExtensionKeyRead(const catalogue::KeyDetails& soFar) override;
    void DefaultIconRead(const catalogue::KeyDetails& soFar) override;
    void DefaultActionRead(const catalogue::KeyDetails& soFar) override;
    void ActionRead(const catalogue::ShellAction& action) override;
    // After reading: the type's name, and the caption when a row of the file list is selected.
    void Finish(const std::string& strFileType, const std::optional<std::string>& selectedFileType);

    QLabel* Label2;
    QLineEdit* Text1;
    QLabel* Label7;
    QLineEdit* Text6;
    QLabel* Label3;
    QLineEdit* Text2;
    QLabel* Label1;
    QLineEdit* Text3;
    QLabel* Label5;
    QLineEdit* Text5;
    QLabel* Label4;
    QLineEdit* Text4;
    QTreeWidget* lvwFile;
    QFrame* Shape1;
    QLabel* Label6; // "Close", drawn over Shape1

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Resize();
    void CentreOnScreen();

    bool centred_ = false;
};

} // namespace moxalo::views
