#include "views/frmMain.h"

#include "catalogue/AppTexts.h"
#include "catalogue/KeyDetails.h"
#include "gui/Texts.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Twips.h"
#include "views/frmEffective.h"
#include "views/frmKeyVals.h"
#include "views/frmValues.h"
#include "views/modColors.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QTreeView>

namespace moxalo::views {

namespace {

// Rows found are handed to the view at most this often while the scan runs.
constexpr qint64 kCatchUpMilliseconds = 50;

// Column widths in twips; the two that grow take the list's width less these.
constexpr int kFileExtWidth = 1440;
constexpr int kFileTypeLess = 7000;
constexpr int kOpenWithWidth = 1540;
constexpr int kLocationLess = 6000;
// With the effective columns: theirs, placed before Location, and the type's, which gives them
// their room.
constexpr int kEffectiveWidths[] = {2400, 2400, 1500, 2200};
constexpr int kFileTypeLessEffective = kFileTypeLess + 2400 + 2400 + 1500 + 2200;

} // namespace

frmMain::frmMain(ListSurroundings surroundings, QWidget* parent)
    : QWidget(parent), around_(std::move(surroundings)), model_(new CatalogueModel(this)),
      sorted_(new QSortFilterProxyModel(this)) {
    setWindowFlag(Qt::FramelessWindowHint);
    sorted_->setSourceModel(model_);
    sorted_->setSortCaseSensitivity(Qt::CaseInsensitive);
    lvwFile = new QTreeView(this);
    lvwFile->setObjectName("lvwFile");
    lvwFile->setModel(sorted_);
    lvwFile->setRootIsDecorated(false);
    lvwFile->setUniformRowHeights(true);
    lvwFile->setAllColumnsShowFocus(true);
    lvwFile->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwFile->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwFile->header()->setStretchLastSection(false);
    lvwFile->header()->setSectionsClickable(true);
    lvwFile->header()->setSectionsMovable(false);
    // Shown on no column until a click sorts; shown, every caption is measured with its room.
    lvwFile->header()->setSortIndicatorShown(true);
    lvwFile->header()->setSortIndicator(-1, Qt::AscendingOrder);
    lvwFile->viewport()->installEventFilter(this);
    lvwFile->installEventFilter(this);
    connect(lvwFile->header(), &QHeaderView::sectionClicked, this, &frmMain::ColumnClick);
    // A row made current by the mouse or by the keyboard shows its details alike.
    connect(lvwFile->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        QModelIndex current = lvwFile->selectionModel()->currentIndex();
        if (!keepPanel_ && lvwFile->selectionModel()->isSelected(current))
            ItemClick(current);
    });
    connect(lvwFile, &QTreeView::doubleClicked, this, [this] { Options("showit"); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        LoadList();
    });
}

frmMain::~frmMain() = default;

std::optional<catalogue::CatalogueEntry> frmMain::SelectedRow() const {
    QModelIndex current = lvwFile->selectionModel()->currentIndex();
    if (!current.isValid() || !lvwFile->selectionModel()->isSelected(current))
        return std::nullopt;
    auto row = static_cast<std::size_t>(sorted_->mapToSource(current).row());
    return row < Rows().size() ? std::optional(Rows()[row]) : std::nullopt;
}

std::vector<catalogue::CatalogueEntry> frmMain::ShownRows() const {
    std::vector<catalogue::CatalogueEntry> shown;
    shown.reserve(Rows().size());
    for (int row = 0; row < sorted_->rowCount(); ++row)
        shown.push_back(Rows().at(
            static_cast<std::size_t>(sorted_->mapToSource(sorted_->index(row, 0)).row())));
    return shown;
}

void frmMain::RemoveSelectedRow() {
    QModelIndex current = lvwFile->selectionModel()->currentIndex();
    if (!current.isValid() || !lvwFile->selectionModel()->isSelected(current))
        return;
    // The row that becomes current in its place is not shown in the panel: the panel keeps
    // the deleted row's details.
    // The row that takes the deleted row's place (the one before it, for the last) is selected.
    keepPanel_ = true;
    const int place = current.row();
    model_->removeAt(static_cast<std::size_t>(sorted_->mapToSource(current).row()));
    if (sorted_->rowCount() > 0)
        lvwFile->selectionModel()->setCurrentIndex(
            sorted_->index(std::min(place, sorted_->rowCount() - 1), 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    keepPanel_ = false;
}

std::optional<std::string> frmMain::selectedFileType() const {
    if (auto row = SelectedRow())
        return row->TypeName;
    return std::nullopt;
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (bResizing || (around_.mainWindow && around_.mainWindow->isMinimized()))
        return;
    bResizing = true;
    lvwFile->setGeometry(0, 0, width(), height());
    SetColumnWidths();
    bResizing = false;
}

// A width below zero is refused, as the list view of the designed program refuses it: the
// column keeps the width it has. No column is made narrower than its caption needs with the
// sort arrow beside it, whatever the font.
void frmMain::SetColumnWidths() {
    if (model_->showsEffective()) {
        SetEffectiveColumnWidths();
        return;
    }
    int list = static_cast<int>(std::lround(ui::toTwips(lvwFile->width(), this)));
    const int widths[] = {kFileExtWidth, list - kFileTypeLess, kOpenWithWidth,
                          list - kLocationLess};
    QHeaderView* header = lvwFile->header();
    for (int column = 0; column < 4; ++column) {
        if (widths[column] >= 0)
            header->resizeSection(column, std::max(ui::toPixels(widths[column], this),
                                                   header->sectionSizeHint(column)));
    }
}

// The list's own columns keep their widths but for the type's, which never shrinks below its
// caption; Location stays the last and the widest, to be scrolled to as without them.
void frmMain::SetEffectiveColumnWidths() {
    QHeaderView* header = lvwFile->header();
    int list = static_cast<int>(std::lround(ui::toTwips(lvwFile->width(), this)));
    const int widths[] = {kFileExtWidth, list - kFileTypeLessEffective, kOpenWithWidth,
                          list - kLocationLess};
    for (int column = 0; column < 4; ++column)
        header->resizeSection(column, std::max(ui::toPixels(std::max(widths[column], 0), this),
                                               header->sectionSizeHint(column)));
    for (int column = 0; column < 4; ++column)
        header->resizeSection(4 + column, std::max(ui::toPixels(kEffectiveWidths[column], this),
                                                   header->sectionSizeHint(4 + column)));
}

void frmMain::ShowEffectiveColumns(bool on) {
    if (on == model_->showsEffective())
        return;
    QHeaderView* header = lvwFile->header();
    // A sort by a column that goes is undone, as before any click.
    if (!on && sortKey_ >= static_cast<int>(catalogue::kColumnCount)) {
        sortKey_ = 0;
        sortOrder_ = Qt::AscendingOrder;
        sorted_->sort(-1);
        header->setSortIndicator(-1, Qt::AscendingOrder);
    }
    if (on) {
        model_->showEffective(
            [this](const catalogue::CatalogueEntry& row) { return effectiveCells(row); });
        // Shown after "In 'Open With' List", Location staying the last column.
        header->moveSection(header->visualIndex(static_cast<int>(catalogue::Column::Location)),
                            header->count() - 1);
    } else {
        model_->showEffective(nullptr);
        for (int column = 0; column < header->count(); ++column)
            header->moveSection(header->visualIndex(column), column);
    }
    SetColumnWidths();
    // The selected row is selected across the new columns too, the panel left as it is.
    QModelIndex current = lvwFile->selectionModel()->currentIndex();
    if (current.isValid() && lvwFile->selectionModel()->isSelected(current)) {
        keepPanel_ = true;
        lvwFile->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
        keepPanel_ = false;
    }
}

catalogue::effective::EffectiveCells frmMain::effectiveCells(const catalogue::CatalogueEntry& row) {
    namespace effective = catalogue::effective;
    Result<effective::UserView*> view = userView_.get();
    if (!view)
        return effective::cellsOfFailure(view.error());
    Result<effective::Association> association = (*view)->resolve("." + row.Extension);
    if (!association)
        return effective::cellsOfFailure(association.error());
    return effective::cellsOf(*association);
}

void frmMain::ShowEffective(const std::string& extension) {
    auto* window = new frmEffective(around_.mainWindow);
    Result<catalogue::effective::UserView*> view = userView_.get();
    if (view)
        window->Fill(**view, "." + extension);
    else
        window->FillFailure("." + extension, view.error());
    window->show();
}

void frmMain::ColumnClick(int column) {
    SortColumn = column;
    if (sortKey_ == SortColumn) {
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        sortKey_ = SortColumn;
        sortOrder_ = Qt::AscendingOrder;
    }
    sorted_->setDynamicSortFilter(true);
    sorted_->sort(sortKey_, sortOrder_);
    lvwFile->header()->setSortIndicatorShown(true);
    lvwFile->header()->setSortIndicator(sortKey_, sortOrder_);
}

void frmMain::ItemClick(const QModelIndex& index) {
    if (!index.isValid())
        return;
    auto row = static_cast<std::size_t>(sorted_->mapToSource(index).row());
    strExt = Rows().at(row).Extension;
    strFileType = selectedFileType().value_or(std::string());
    around_.keyVals->ClearActions();
    Key_Details("voila");
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    // Enter on a row opens its details, as a double click does.
    if (watched == lvwFile && event->type() == QEvent::KeyPress && SelectedRow()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Options("showit");
            return true;
        }
    }
    if (watched == lvwFile->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton && around_.mnuEdit) {
        lvwFile->setFocus();
        around_.mnuEdit->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::Key_Details(const std::string& strCheck) {
    if (strCheck != "voila")
        return;
    catalogue::KeyDetails details = catalogue::ReadKeyDetails(strExt, around_.keyVals);
    around_.keyVals->DetailsRead(details, selectedFileType());
    lvwFile->setFocus();
}

void frmMain::Options(const std::string& strCheck) {
    if (strCheck != "showit")
        return;
    auto* window = new frmValues(around_.mainWindow);
    window->Begin("." + strExt);
    catalogue::ReadKeyDetails(strExt, window);
    window->Finish(strFileType, selectedFileType());
    window->exec(); // the window deletes itself when closed
    lvwFile->setFocus();
}

void frmMain::LoadList() {
    if (scanning_)
        return;
    scanning_ = true;
    auto outcome =
        catalogue::LoadList(around_.openWithSetting ? around_.openWithSetting() : "0", *this);
    scanning_ = false;
    // A failed scan has told this window already, through ScanFailed.
    if (outcome)
        reportRegistryProblems(outcome->problems);
    emit listLoaded();
}

void frmMain::LoadListAgain() {
    if (scanning_)
        return;
    std::optional<catalogue::CatalogueEntry> selected = SelectedRow();
    LoadList();
    if (!selected)
        return;
    for (std::size_t row = 0; row < Rows().size(); ++row) {
        if (Rows()[row].Extension != selected->Extension)
            continue;
        selectRow(row);
        return;
    }
}

void frmMain::selectRow(std::size_t row) {
    QModelIndex shown = sorted_->mapFromSource(model_->index(static_cast<int>(row), 0));
    lvwFile->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    lvwFile->scrollTo(shown);
}

void frmMain::ScanStarted() {
    model_->clear();
    userView_.forget();
    marks_.reset();
    lvwFile->setEnabled(false);
    ui::desktop().SetMousePointer(ui::vbArrowHourglass);
    around_.pBar1->setValue(0);
    around_.pBar1->show();
    sinceCatchUp_.start();
}

// The list is disabled while the scan fills it, which takes the keyboard focus from it; it
// gets the focus back, so that the arrow keys move in it.
void frmMain::enableList() {
    lvwFile->setEnabled(true);
    lvwFile->setFocus();
}

void frmMain::Progress(int value) {
    around_.pBar1->setValue(value);
}

void frmMain::RowFound(const catalogue::CatalogueEntry& row) {
    model_->append(row);
}

void frmMain::DoEvents() {
    if (sinceCatchUp_.elapsed() >= kCatchUpMilliseconds) {
        model_->catchUp();
        sinceCatchUp_.restart();
    }
    ui::desktop().DoEvents();
}

void frmMain::ScanFinished(long long) {
    model_->catchUp();
    SetRowColours(*model_);
    around_.pBar1->setValue(0);
    around_.pBar1->hide();
    enableList();
    around_.mainWindow->setWindowTitle(
        QString::fromStdString(catalogue::CountCaption(static_cast<long long>(Rows().size()))));
    ui::desktop().SetMousePointer(ui::vbDefault);
}

// The scan stops here; the list, the pointer and the bar are put back as after a scan, so
// that the program can be used with the rows found so far.
void frmMain::ScanFailed(const std::string& message) {
    ui::desktop().MsgBox(around_.mainWindow, QString::fromStdString(message), ui::vbOKOnly,
                         AppTitle());
    model_->catchUp();
    around_.pBar1->setValue(0);
    around_.pBar1->hide();
    enableList();
    ui::desktop().SetMousePointer(ui::vbDefault);
}

// Damage the scan met in the registry's files: the list keeps what was read before it.
void frmMain::reportRegistryProblems(const std::vector<std::string>& problems) {
    if (problems.empty())
        return;
    QString text = "Part of the registry could not be read; the list shows what could be.\n";
    for (const auto& problem : problems)
        text += "\n" + QString::fromStdString(problem);
    ui::desktop().MsgBox(around_.mainWindow, text, ui::vbExclamation, AppTitle());
}

} // namespace moxalo::views
