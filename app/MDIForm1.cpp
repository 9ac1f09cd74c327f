#include "app/MDIForm1.h"

#include "app/frmAbout.h"
#include "app/frmTB.h"
#include "app/modFileExists.h"
#include "app/modHelp.h"
#include "app/modSettings.h"
#include "catalogue/Backups.h"
#include "gui/Texts.h"
#include "platform/shell/HostPath.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Twips.h"
#include "views/frmKeyVals.h"
#include "views/frmMain.h"

#include <QAbstractItemModel>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QTimer>
#include <QTreeView>
#include <charconv>
#include <filesystem>

namespace moxalo::app {

namespace {

// The child windows' places, in twips, against the client area's width and height.
constexpr int kToolbarHeight = 495;
constexpr int kListTop = 495;
constexpr int kListLess = 3525;
constexpr int kPanelHeight = 3050;
// The designed client area, until a stored frame is applied.
constexpr int kDesignWidth = 8775;
constexpr int kDesignHeight = 5445;
// How long a shown window waits for the window manager's frame: 50 looks, 20 ms apart.
constexpr int kFrameLookInterval = 20;
constexpr int kFrameLooks = 50;
// The workspace colour behind the child windows.
const QColor kWorkspaceColour(128, 128, 128);

// Settings numbers are single-precision values in decimal, read without the C locale.
std::optional<float> number(const std::string& text) {
    float value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string decimal(double twips) {
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, static_cast<float>(twips));
    return error == std::errc() ? std::string(text, end) : "0";
}

QAction* item(QMenu* menu, const char* name, const QString& caption, QKeySequence shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

QMenu* submenu(QWidget* parent, const char* name, const QString& caption) {
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(name);
    return menu;
}

QMdiSubWindow* child(QMdiArea* workspace, QWidget* window) {
    QMdiSubWindow* sub = workspace->addSubWindow(window, Qt::FramelessWindowHint);
    sub->setObjectName(window->objectName() + "Window");
    return sub;
}

} // namespace

MDIForm1::MDIForm1(std::string dataFolder, std::string programFolder)
    : dataFolder_(std::move(dataFolder)),
      programFolder_(programFolder.empty() ? dataFolder_ : std::move(programFolder)),
      settings_(SettingsFilePathIn(dataFolder_)) {
    setObjectName("MDIForm1");
    workspace = new QMdiArea(this);
    workspace->setBackground(kWorkspaceColour);
    workspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    workspace->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(workspace);
    // The child windows follow the client area, whatever changes its size.
    workspace->viewport()->installEventFilter(this);
    buildMenus();
    buildChildren();
    // Smaller than designed, the panel would run over the list and the toolbar, and its boxes
    // shrink to nothing.
    const int frame = 2 * workspace->frameWidth();
    workspace->setMinimumSize(ui::toPixels(kDesignWidth, this) + frame,
                              ui::toPixels(kDesignHeight, this) + frame);
    resize(ui::toPixels(kDesignWidth, this), ui::toPixels(kDesignHeight, this));
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::buildMenus() {
    buildFileMenu();
    buildEditMenu();
    buildToolsMenu();
    buildHelpMenu();
}

void MDIForm1::buildFileMenu() {
    mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuExport = item(mnuFile, "mnuExport", "&Save List", Qt::CTRL | Qt::Key_S);
    mnuSaveExt = item(mnuFile, "mnuSaveExt", "S&ave List (Extended)");
    mnuFile->addSeparator()->setObjectName("mnuSep");
    mnuExportRegistry = submenu(mnuFile, "mnuExportRegistry", "&Export Registry Key");
    mnuFile->addMenu(mnuExportRegistry);
    mnuExportReg =
        item(mnuExportRegistry, "mnuExportReg", "Selected &key only", Qt::CTRL | Qt::Key_K);
    mnuExportRegEntire =
        item(mnuExportRegistry, "mnuExportRegEntire", "&Entire list", Qt::CTRL | Qt::Key_E);
    mnuExportRegistry->addSeparator()->setObjectName("mnuESep");
    mnuExportRegWhole =
        item(mnuExportRegistry, "mnuExportRegWhole", "&Whole Registry", Qt::CTRL | Qt::Key_W);
    mnuImport = submenu(mnuFile, "mnuImport", "&Import Registry Key");
    mnuFile->addMenu(mnuImport);
    mnuCustom = item(mnuImport, "mnuCustom", "C&ustom selection ...", Qt::CTRL | Qt::Key_U);
    mnuIBack = item(mnuImport, "mnuIBack", "From &Backups", Qt::CTRL | Qt::Key_B);
    mnuFile->addSeparator()->setObjectName("mnuSep1");
    mnuBackups = item(mnuFile, "mnuBackups", "&Backups");
    mnuFile->addSeparator()->setObjectName("mnuSep2");
    mnuExit = item(mnuFile, "mnuExit", "E&xit", Qt::CTRL | Qt::Key_Q);

    connect(mnuFile, &QMenu::aboutToShow, this, &MDIForm1::mnuFile_Click);
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuExport, &QAction::triggered, this, [this] { SaveList(false); });
    connect(mnuSaveExt, &QAction::triggered, this, [this] { SaveList(true); });
    connect(mnuExportReg, &QAction::triggered, this, [this] { ExportSelectedKey(true); });
    connect(mnuExportRegEntire, &QAction::triggered, this, [this] { ExportEntireList(true); });
    connect(mnuExportRegWhole, &QAction::triggered, this, &MDIForm1::ExportWholeRegistry);
    connect(mnuCustom, &QAction::triggered, this, &MDIForm1::ImportCustom);
    connect(mnuIBack, &QAction::triggered, this, &MDIForm1::ShowBackups);
    connect(mnuBackups, &QAction::triggered, this, &MDIForm1::ShowBackups);
}

void MDIForm1::buildEditMenu() {
    mnuEdit = menuBar()->addMenu("&Edit");
    mnuEdit->setObjectName("mnuEdit");
    mnuDisp = item(mnuEdit, "mnuDisp", "&Additional Information");
    mnuEffective = item(mnuEdit, "mnuEffective", "&Effective Association");
    mnuSep3 = mnuEdit->addSeparator();
    mnuSep3->setObjectName("mnuSep3");
    mnuDelete = item(mnuEdit, "mnuDelete", "&Delete", Qt::Key_Delete);
    mnuModify = item(mnuEdit, "mnuModify", "&Modify", Qt::Key_F5);
    for (QAction* hidden : {mnuSep3, mnuDelete, mnuModify})
        hidden->setVisible(false);
    connect(mnuDisp, &QAction::triggered, this, [this] { list->Options("showit"); });
    connect(mnuDelete, &QAction::triggered, this, &MDIForm1::DeleteFileType);
    connect(mnuEffective, &QAction::triggered, this, &MDIForm1::ShowEffectiveAssociation);
}

void MDIForm1::buildToolsMenu() {
    mnufMain = menuBar()->addMenu("&Tools");
    mnufMain->setObjectName("mnufMain");
    mnuSettings = submenu(mnufMain, "mnuSettings", "&Settings");
    mnufMain->addMenu(mnuSettings);
    mnuAutoload = item(mnuSettings, "mnuAutoload", "&Autoload List");
    mnuAutoload->setCheckable(true);
    mnuSettings->addSeparator()->setObjectName("mnuSSep");
    mnuFilter = submenu(mnuSettings, "mnuFilter", "&Filter");
    mnuSettings->addMenu(mnuFilter);
    mnuOpenWith = item(mnuFilter, "mnuOpenWith", "'&Open With' list items only", Qt::Key_F2);
    mnuOpenWith->setCheckable(true);
    mnuEffectiveColumns = item(mnufMain, "mnuEffectiveColumns", "&Effective Columns");
    mnuEffectiveColumns->setCheckable(true);
    mnuAudit = item(mnufMain, "mnuAudit", "A&udit ...");
    mnuAuditMarks = item(mnufMain, "mnuAuditMarks", "&Mark Audit Findings");
    mnuAuditMarks->setCheckable(true);
    mnufMain->addSeparator()->setObjectName("mnuSep5");
    mnuRefresh = item(mnufMain, "mnuRefresh", "&Load list", Qt::CTRL | Qt::Key_L);
    connect(mnuAutoload, &QAction::triggered, this, &MDIForm1::mnuAutoload_Click);
    connect(mnuOpenWith, &QAction::triggered, this, &MDIForm1::mnuOpenWith_Click);
    connect(mnuRefresh, &QAction::triggered, this, &MDIForm1::mnuRefresh_Click);
    connect(mnuEffectiveColumns, &QAction::triggered, this, &MDIForm1::mnuEffectiveColumns_Click);
    connect(mnuAudit, &QAction::triggered, this, &MDIForm1::ShowAudit);
    connect(mnuAuditMarks, &QAction::triggered, this, &MDIForm1::mnuAuditMarks_Click);
}

void MDIForm1::buildHelpMenu() {
    mnuHelp = menuBar()->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    mnuContents = item(mnuHelp, "mnuContents", "Contents ...", Qt::Key_F1);
    mnuHelp->addSeparator()->setObjectName("mnuSep6");
    mnuAbout = item(mnuHelp, "mnuAbout", "About");
    mnuFeedback = item(mnuHelp, "mnuFeedback", "Feedback");
    mnuHelp->addSeparator()->setObjectName("mnuSep7");
    mnuRepBug = item(mnuHelp, "mnuRepBug", "Report Bug");
    mnuHome = item(mnuHelp, "mnuHome", "Visit Homepage");
    connect(mnuContents, &QAction::triggered, this,
            [this] { ShowHelpContents(this, QString::fromStdString(programFolder_)); });
    // One About window: shown again, it comes to the front.
    connect(mnuAbout, &QAction::triggered, this, [this] {
        if (about_ == nullptr)
            about_ = new frmAbout({registrySources_, dataFolder_}, this);
        if (about_->isMinimized())
            about_->showNormal();
        else
            about_->show();
        about_->raise();
        about_->activateWindow();
    });
    connect(mnuFeedback, &QAction::triggered, this, [] { ui::desktop().OpenUrl(ContactPage()); });
    connect(mnuRepBug, &QAction::triggered, this, [] { ui::desktop().OpenUrl(BugReportPage()); });
    connect(mnuHome, &QAction::triggered, this, [] { ui::desktop().OpenUrl(SupportPage()); });
}

void MDIForm1::buildChildren() {
    tb = new frmTB;
    keyVals = new views::frmKeyVals;
    views::ListSurroundings around;
    around.mainWindow = this;
    around.pBar1 = tb->pBar1;
    around.keyVals = keyVals;
    around.mnuEdit = mnuEdit;
    around.openWithSetting = [this] { return settings_.read("Settings", "OpenWith", "0"); };
    list = new views::frmMain(std::move(around));
    list->setObjectName("frmMain");
    tbWindow_ = child(workspace, tb);
    keyValsWindow_ = child(workspace, keyVals);
    listWindow_ = child(workspace, list);
    connect(tb, &frmTB::clicked, this, [this](frmTB::Button button) {
        switch (button) {
        case frmTB::Button::View:
            list->Options("showit");
            break;
        case frmTB::Button::Save:
            SaveList(false);
            break;
        case frmTB::Button::Export:
            ExportSelectedKey(false);
            break;
        case frmTB::Button::ExportEntire:
            ExportEntireList(false);
            break;
        case frmTB::Button::ExportWhole:
            mnuExportRegWhole->trigger();
            break;
        case frmTB::Button::Import:
            mnuCustom->trigger();
            break;
        case frmTB::Button::Backups:
            mnuBackups->trigger();
            break;
        }
    });
    // The Export submenu's rule holds whenever the list changes, so its shortcuts with it.
    QAbstractItemModel* rows = list->lvwFile->model();
    for (auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(rows, changed, this, &MDIForm1::mnuFile_Click);
    connect(rows, &QAbstractItemModel::modelReset, this, &MDIForm1::mnuFile_Click);
    mnuFile_Click();
    connect(list, &views::frmMain::listLoaded, this, [this] {
        if (closeAfterScan_)
            QTimer::singleShot(0, this, &QWidget::close);
    });
}

void MDIForm1::setRegistryDescription(std::vector<std::string> sources) {
    registrySources_ = std::move(sources);
}

void MDIForm1::setWinePrefixes(std::vector<std::string> prefixes) {
    keyVals->setPathResolver([prefixes = std::move(prefixes)](const std::string& path) {
        return shell::hostPathOf(path, prefixes);
    });
}

void MDIForm1::Startup() {
    applyPlacement();
    applyAutoload();
    applyOpenWith();
    applyEffectiveColumns();
    applyAuditMarks();
    makeBackupsFolder();
    tbWindow_->show();
    ui::desktop().DoEvents();
    keyValsWindow_->show();
    listWindow_->show();
    workspace->setActiveSubWindow(listWindow_);
    list->lvwFile->setFocus();
    LayOut();
    bQuietBackup = false;
}

void MDIForm1::applyPlacement() {
    std::string state = settings_.read("Max", "State", "Custom");
    auto read = [this](const char* section, const char* key) {
        return number(settings_.read(section, key, ""));
    };
    if (state == "Maximized" || settings_.read("Position", "T", "").empty()) {
        setWindowState(Qt::WindowMaximized);
        return;
    }
    auto top = read("Position", "T");
    auto left = read("Position", "L");
    auto width = read("Size", "W");
    auto height = read("Size", "H");
    // A frame that is not four numbers (an edited file) is no frame: start maximized.
    if (!top || !left || !width || !height) {
        setWindowState(Qt::WindowMaximized);
        return;
    }
    storedFrame_ = ui::toPixels(*left, *top, *width, *height, this);
    // move() places the frame's corner, wherever the window manager's decorations go.
    move(storedFrame_.topLeft());
    resize(storedFrame_.size());
}

// The stored numbers are the outer frame. How much the window manager adds around the client
// area is known only once it has framed the shown window, which may take some events; the
// client is then made smaller by as much. Without a window manager frame and client are one.
void MDIForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (storedFrame_.isNull())
        return;
    auto* look = new QTimer(this);
    look->setInterval(kFrameLookInterval);
    connect(look, &QTimer::timeout, this, [this, look, tries = 0]() mutable {
        if (fitStoredFrame() || ++tries == kFrameLooks) {
            storedFrame_ = {};
            look->deleteLater();
        }
    });
    look->start();
}

bool MDIForm1::fitStoredFrame() {
    if (isMaximized() || isMinimized())
        return true;
    QRect frame = frameGeometry(), client = geometry();
    if (frame == client)
        return false;
    QSize decorations = frame.size() - client.size();
    resize(storedFrame_.size() - decorations);
    move(storedFrame_.topLeft());
    return true;
}

void MDIForm1::applyAutoload() {
    std::string autoload = settings_.read("Settings", "Autoload", "");
    if (autoload.empty()) {
        autoload = "1";
        settings_.write("Settings", "Autoload", "1");
    }
    bool on = autoload == "1";
    mnuAutoload->setChecked(on);
    if (on) {
        list->Timer1->start();
        setWindowTitle(AppTitle());
    } else {
        setWindowTitle(AppTitle() + " [ Autoload list disabled, select Tools > Load list to view "
                                    "file types ]");
        list->Timer1->stop();
    }
    mnuRefresh->setEnabled(!on);
}

void MDIForm1::applyOpenWith() {
    std::string openWith = settings_.read("Settings", "OpenWith", "");
    if (openWith.empty()) {
        openWith = "0";
        settings_.write("Settings", "OpenWith", "0");
    }
    mnuOpenWith->setChecked(openWith == "1");
}

// Off unless stored on; nothing is stored until the user turns them on or off.
void MDIForm1::applyEffectiveColumns() {
    bool on = settings_.read("Settings", "EffectiveColumns", "0") == "1";
    mnuEffectiveColumns->setChecked(on);
    list->ShowEffectiveColumns(on);
}

// A folder that cannot be made (a read-only program folder) is left to the commands that
// write backups, which say so when they are used.
void MDIForm1::makeBackupsFolder() {
    std::string backups = catalogue::BackupsFolder(dataFolder_);
    if (!FolderExists(backups)) {
        std::error_code error;
        std::filesystem::create_directory(backups, error);
    }
}

void MDIForm1::LayOut() {
    if (isMinimized())
        return;
    QSize client = workspace->viewport()->size();
    double sw = ui::toTwips(client.width(), this);
    double sh = ui::toTwips(client.height(), this);
    tbWindow_->setGeometry(ui::toPixels(0, 0, sw, kToolbarHeight, this));
    listWindow_->setGeometry(ui::toPixels(0, kListTop, sw, sh - kListLess, this));
    keyValsWindow_->setGeometry(ui::toPixels(0, sh - kPanelHeight, sw, kPanelHeight, this));
}

bool MDIForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == workspace->viewport() && event->type() == QEvent::Resize)
        LayOut();
    return QMainWindow::eventFilter(watched, event);
}

void MDIForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        LayOut();
}

void MDIForm1::storePlacement() {
    if (isMinimized() || isMaximized()) {
        settings_.write("Max", "State", "Maximized");
        return;
    }
    QRect frame = frameGeometry();
    settings_.write("Max", "State", "Custom");
    settings_.write("Size", "W", decimal(ui::toTwips(frame.width(), this)));
    settings_.write("Size", "H", decimal(ui::toTwips(frame.height(), this)));
    settings_.write("Position", "T", decimal(ui::toTwips(frame.top(), this)));
    settings_.write("Position", "L", decimal(ui::toTwips(frame.left(), this)));
}

// A close during the scan, which lets events run, waits until the scan has ended: the list
// window must not go while its scan is still on the stack.
void MDIForm1::closeEvent(QCloseEvent* event) {
    if (list->scanning()) {
        closeAfterScan_ = true;
        event->ignore();
        return;
    }
    storePlacement();
    workspace->closeAllSubWindows();
    event->accept();
}

void MDIForm1::mnuFile_Click() {
    mnuExportRegistry->menuAction()->setEnabled(!list->Rows().empty());
}

void MDIForm1::mnuAutoload_Click() {
    // The action has toggled its mark already; the stored value follows it.
    settings_.write("Settings", "Autoload", mnuAutoload->isChecked() ? "1" : "0");
}

void MDIForm1::mnuOpenWith_Click() {
    settings_.write("Settings", "OpenWith", mnuOpenWith->isChecked() ? "1" : "0");
    ui::desktop().MsgBox(this,
                         "You will need to re-start this program before your changes take effect",
                         ui::vbInformation, AppTitle());
}

// Shown at once, for the rows loaded already.
void MDIForm1::mnuEffectiveColumns_Click() {
    bool on = mnuEffectiveColumns->isChecked();
    settings_.write("Settings", "EffectiveColumns", on ? "1" : "0");
    list->ShowEffectiveColumns(on);
}

void MDIForm1::mnuRefresh_Click() {
    if (list->scanning())
        return;
    setWindowTitle(AppTitle() + " [ Searching, please stand by ... ]");
    list->LoadList();
    mnuRefresh->setEnabled(false);
}

} // namespace moxalo::app
