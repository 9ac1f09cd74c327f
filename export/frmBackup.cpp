#include "export/frmBackup.h"

#include "catalogue/AppTexts.h"
#include "catalogue/Backups.h"
#include "gui/Texts.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTreeWidget>
#include <array>

namespace moxalo::exporting {

using ui::controlOf;

using ui::ControlKind;
using ui::DesignedControl;

namespace {

constexpr int kDesignedWidth = 4935;
constexpr int kDesignedHeight = 3255;
// The column leaves this much of the list's width free.
constexpr int kColumnMargin = 100;

// The list spans the window; the four labels share the row below it, one size each.
constexpr std::array<DesignedControl, 5> kControls = {{
    {"ListView1", ControlKind::ListView, "", 0, 0, 4935, 2775},
    {"Label1", ControlKind::Label, "View", 120, 2880, 1095, 255},
    {"lblImport", ControlKind::Label, "Import", 1320, 2880, 1095, 255},
    {"lblDelete", ControlKind::Label, "Delete", 2520, 2880, 1095, 255},
    {"lblClose", ControlKind::Label, "Close", 3720, 2880, 1095, 255},
}};

const QString kDeleteQuestion =
    QStringLiteral("This action cannot be undone, are you sure you want to continue?");

} // namespace

frmBackup::frmBackup(std::string programFolder,
                     std::function<void(const std::string& path)> importKey, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      programFolder_(std::move(programFolder)), importKey_(std::move(importKey)) {
    setWindowTitle(QStringLiteral("Backups"));
    ui::placeControls(this, kControls);
    ListView1 = controlOf<QTreeWidget>(this, "ListView1");
    Label1 = controlOf<QLabel>(this, "Label1");
    lblImport = controlOf<QLabel>(this, "lblImport");
    lblDelete = controlOf<QLabel>(this, "lblDelete");
    lblClose = controlOf<QLabel>(this, "lblClose");

    ListView1->setHeaderLabels({QStringLiteral("Filename")});
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1->setToolTip(QStringLiteral("View selected backup"));
    lblImport->setToolTip(QStringLiteral("Import selected registry key"));
    lblDelete->setToolTip(
        QStringLiteral("Delete selected backup [ Note: deleting file is done at your OWN risk ]"));
    lblClose->setToolTip(QStringLiteral("Close dialog"));
    for (QLabel* label : {Label1, lblImport, lblDelete, lblClose}) {
        label->setFrameShape(QFrame::Box);
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }
    setFixedSize(ui::toPixels(kDesignedWidth, this), ui::toPixels(kDesignedHeight, this));
}

void frmBackup::LoadBackups() {
    for (const std::string& name : catalogue::ListBackups(programFolder_))
        new QTreeWidgetItem(ListView1, {QString::fromStdString(name)});
    if (ListView1->currentItem() == nullptr && ListView1->topLevelItemCount() > 0)
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
}

void frmBackup::showAndRaise() {
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

std::string frmBackup::BackupPath(const QTreeWidgetItem* row) const {
    return catalogue::BackupPath(programFolder_, row->text(0).toStdString());
}

void frmBackup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is open already; only a showing opens it.
    if (!event->spontaneous())
        Form_Load();
}

void frmBackup::Form_Load() {
    ListView1->clear();
    LoadBackups();
    ListView1->resize(width(), ListView1->height());
    const double listWidth = ui::toTwips(ListView1->width(), this);
    ListView1->setColumnWidth(0, ui::toPixels(listWidth - kColumnMargin, this));
}

QTreeWidgetItem* frmBackup::chosenRow() const {
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (!selected.isEmpty())
        return selected.first();
    if (ListView1->currentItem() != nullptr)
        return ListView1->currentItem();
    return ListView1->topLevelItem(0);
}

bool frmBackup::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label == nullptr || event->type() != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, event);
    // A click: the label has the pointer from the press on, so only where it is let go counts.
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !label->rect().contains(mouse->position().toPoint()))
        return QDialog::eventFilter(watched, event);
    if (label == Label1)
        Label1_Click();
    else if (label == lblImport)
        lblImport_Click();
    else if (label == lblDelete)
        lblDelete_Click();
    else if (label == lblClose)
        close();
    return true;
}

// The path goes unquoted, as the designed program passes it: the text editor joins again
// the pieces a path with blanks is split into.
void frmBackup::Label1_Click() {
    const QTreeWidgetItem* row = chosenRow();
    if (row == nullptr)
        return;
    const QString command = "notepad " + QString::fromStdString(BackupPath(row));
    if (!ui::desktop().Shell(command, ui::vbNormalFocus))
        ui::desktop().MsgBox(this, "Could not start \"" + command + "\".", ui::vbExclamation,
                             AppTitle());
}

void frmBackup::lblImport_Click() {
    const QTreeWidgetItem* row = chosenRow();
    if (row != nullptr && importKey_)
        importKey_(BackupPath(row));
}

void frmBackup::lblDelete_Click() {
    const QTreeWidgetItem* row = chosenRow();
    if (row == nullptr)
        return;
    const QString name = row->text(0);
    const std::string path = BackupPath(row);
    if (ui::desktop().MsgBox(this, kDeleteQuestion, ui::vbYesNo + ui::vbExclamation, AppTitle()) !=
        ui::vbYes)
        return;
    if (auto deleted = catalogue::DeleteBackup(path); !deleted) {
        ui::desktop().MsgBox(this,
                             "Could not delete \"" + name +
                                 "\": " + QString::fromStdString(deleted.error()) + ".",
                             ui::vbExclamation, AppTitle());
    }
    ListView1->clear();
    LoadBackups();
}

} // namespace moxalo::exporting
