#pragma once
// The file list window: the catalogue in a four-column list, sorted by a click on a column,
// and the public operations that read the registry for the other windows: LoadList (the
// scan), Key_Details (the panel below) and Options (the details window).

#include "catalogue/CatalogueScan.h"
#include "catalogue/audit/AuditMarks.h"
#include "catalogue/effective/SessionUserView.h"
#include "views/CatalogueModel.h"

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QMenu;
class QProgressBar;
class QSortFilterProxyModel;
class QTimer;
class QTreeView;

namespace moxalo::views {

class frmKeyVals;

// What the list window uses of the windows around it.
struct ListSurroundings {
    QWidget* mainWindow = nullptr; // its caption is the program's status line
    QProgressBar* pBar1 = nullptr;
    frmKeyVals* keyVals = nullptr;
    QMenu* mnuEdit = nullptr;                     // the list's context menu
    std::function<std::string()> openWithSetting; // the stored "OpenWith" text
};

class frmMain : public QWidget, private catalogue::ScanListener {
    Q_OBJECT
public:
    frmMain(ListSurroundings surroundings, QWidget* parent = nullptr);
    ~frmMain() override;

    // Fills the list from the registry; does nothing while a scan already runs.
    void LoadList();
    // Fills the list again after the registry was changed, the selected type staying selected
    // (and the panel showing it as it is now) while it is still there.
    void LoadListAgain();
    bool scanning() const { return scanning_; }
    // "showit": the details window of strExt, shown modally over the main window.
    void Options(const std::string& strCheck);
    // "voila": the panel below the list, filled for strExt.
    void Key_Details(const std::string& strCheck);

    // Every row found so far, in the order found.
    const std::vector<catalogue::CatalogueEntry>& Rows() const { return model_->rows(); }
    // Every row in the order the list shows them (sorted, once a column was clicked).
    std::vector<catalogue::CatalogueEntry> ShownRows() const;
    // The row selected in the list, if any.
    std::optional<catalogue::CatalogueEntry> SelectedRow() const;
    // Takes the selected row out of the list.
    void RemoveSelectedRow();

    // The effective association window of `extension` (without its dot), over the main window.
    void ShowEffective(const std::string& extension);
    // Adds the effective columns to the list, or takes them away; the list's own four columns
    // are as they were without them.
    void ShowEffectiveColumns(bool on);
    bool showsEffectiveColumns() const { return model_->showsEffective(); }

    // The audit of the registry read, the findings `allow` explains marked allowed.
    Result<catalogue::audit::AuditReport> Audit(const catalogue::audit::AllowList& allow);
    // Marks the rows the audit's findings concern (made when first drawn after each load), or
    // takes the marks away.
    void ShowAuditMarks(bool on, const catalogue::audit::AllowList& allow);
    bool showsAuditMarks() const { return model_->showsAuditMarks(); }
    // Selects the row of `type`, an extension (".txt") or a class (the first row it opens), and
    // shows its effective association; false when no row is of that type.
    bool ShowType(const std::string& type);

    QTreeView* lvwFile = nullptr;
    QTimer* Timer1 = nullptr;
    std::string strExt;
    std::string strFileType;
    int SortColumn = 0;
    bool bResizing = false;

signals:
    // The scan has ended and its caption is shown.
    void listLoaded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ColumnClick(int column);
    void ItemClick(const QModelIndex& index);
    void SetColumnWidths();
    void SetEffectiveColumnWidths();
    catalogue::effective::EffectiveCells effectiveCells(const catalogue::CatalogueEntry& row);
    std::optional<std::string> selectedFileType() const;
    std::optional<catalogue::audit::RowMark> auditMark(const catalogue::CatalogueEntry& row);
    std::string progIdOf(const catalogue::CatalogueEntry& row);
    void selectRow(std::size_t row);
    void reportRegistryProblems(const std::vector<std::string>& problems);
    void enableList();

    void ScanStarted() override;
    void Progress(int value) override;
    void RowFound(const catalogue::CatalogueEntry& row) override;
    void DoEvents() override;
    void ScanFinished(long long rows) override;
    void ScanFailed(const std::string& message) override;

    ListSurroundings around_;
    CatalogueModel* model_;
    QSortFilterProxyModel* sorted_;
    int sortKey_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool scanning_ = false;
    bool keepPanel_ = false;
    QElapsedTimer sinceCatchUp_;
    catalogue::effective::SessionUserView userView_;    // built again after each load
    catalogue::audit::AllowList allow_;                 // the marks' allow-list
    std::optional<catalogue::audit::AuditMarks> marks_; // made again after each load
};

} // namespace moxalo::views
