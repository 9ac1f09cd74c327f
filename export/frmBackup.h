#pragma once
// The Backups window: the files of the Backups folder beside the program, with labels below
// the list that act as buttons to view a backup in the text editor, import it into the
// registry, delete it, or close the window. It is not modal, and is kept for showing again:
// each showing after it was closed reads the folder afresh.

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace moxalo::exporting {

class frmBackup : public QDialog {
    Q_OBJECT

public:
    // `importKey` imports a .reg file into the registry, given its path.
    frmBackup(std::string programFolder, std::function<void(const std::string& path)> importKey,
              QWidget* parent = nullptr);

    // Adds a row for each entry of the Backups folder, in the folder's order, to the rows the
    // list has; the first row becomes the current one when none is.
    void LoadBackups();
    // Shows the window, or brings it to the front when it is open already.
    void showAndRaise();
    // The file a row names in the Backups folder.
    std::string BackupPath(const QTreeWidgetItem* row) const;

    QTreeWidget* ListView1; // one column, "Filename"
    QLabel* Label1;         // "View"
    QLabel* lblImport;
    QLabel* lblDelete;
    QLabel* lblClose;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    // The selected row, else the current one, else the first; nullptr when there are no rows.
    QTreeWidgetItem* chosenRow() const;
    void Label1_Click();
    void lblImport_Click();
    void lblDelete_Click();

    std::string programFolder_;
    std::function<void(const std::string& path)> importKey_;
};

} // namespace moxalo::exporting
