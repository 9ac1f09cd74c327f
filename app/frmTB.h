#pragma once
// The toolbar: seven picture buttons and a progress bar, in a strip that the main window keeps
// along its top edge. It only reports which button was clicked; the main window acts on it.

#include <QSize>
#include <QWidget>

class QProgressBar;
class QToolButton;

namespace moxalo::app {

class frmTB : public QWidget {
    Q_OBJECT

public:
    enum class Button { Save, Export, ExportEntire, ExportWhole, Import, View, Backups };
    Q_ENUM(Button)

    explicit frmTB(QWidget* parent = nullptr);

    // The designed size: every control with a margin around it, in pixels at this DPI.
    QSize sizeHint() const override;

    QToolButton* imgSave = nullptr;
    QToolButton* imgExport = nullptr;
    QToolButton* imgExportEntire = nullptr;
    QToolButton* imgExportWhole = nullptr;
    QToolButton* imgImport = nullptr;
    QToolButton* imgView = nullptr;
    QToolButton* imgBackups = nullptr;
    // 0 to 100; the main window moves it while it works.
    QProgressBar* pBar1 = nullptr;

signals:
    void clicked(frmTB::Button button);
};

} // namespace moxalo::app
