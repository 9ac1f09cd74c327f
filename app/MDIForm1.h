#pragma once
// The main window: a multiple-document frame holding the toolbar, the file list and the key
// details panel, with the program's menus. Its caption is the program's status line.

#include "app/modSettings.h"
#include "catalogue/CatalogueEntry.h"
#include "catalogue/audit/Audit.h"
#include "export/modExport.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace moxalo::views {
class frmMain;
class frmKeyVals;
class frmAudit;
} // namespace moxalo::views

namespace moxalo::exporting {
class frmBackup;
} // namespace moxalo::exporting

namespace moxalo::app {

class frmAbout;
class frmTB;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `dataFolder` holds the settings file and the Backups folder; `programFolder` the
    // programs and the help file (the same folder unless that one is read-only).
    explicit MDIForm1(std::string dataFolder, std::string programFolder = {});
    ~MDIForm1() override;

    // The start-up of the designed program, before the window is first shown.
    void Startup();
    // The layout of the child windows, after every resize.
    void LayOut();

    const std::string& dataFolder() const { return dataFolder_; }
    const std::string& programFolder() const { return programFolder_; }
    // What the About window names as the registry being read.
    void setRegistryDescription(std::vector<std::string> sources);
    // The Wine prefixes being read, under whose drives Windows paths (icons) are looked up.
    void setWinePrefixes(std::vector<std::string> prefixes);

    QMdiArea* workspace = nullptr;
    frmTB* tb = nullptr;
    views::frmMain* list = nullptr;
    views::frmKeyVals* keyVals = nullptr;
    bool bQuietBackup = false;

    QMenu* mnuFile = nullptr;
    QAction* mnuExport = nullptr;
    QAction* mnuSaveExt = nullptr;
    QMenu* mnuExportRegistry = nullptr;
    QAction* mnuExportReg = nullptr;
    QAction* mnuExportRegEntire = nullptr;
    QAction* mnuExportRegWhole = nullptr;
    QMenu* mnuImport = nullptr;
    QAction* mnuCustom = nullptr;
    QAction* mnuIBack = nullptr;
    QAction* mnuBackups = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuDisp = nullptr;
    QAction* mnuEffective = nullptr;
    QAction* mnuSep3 = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuModify = nullptr;
    QMenu* mnufMain = nullptr;
    QMenu* mnuSettings = nullptr;
    QAction* mnuAutoload = nullptr;
    QMenu* mnuFilter = nullptr;
    QAction* mnuOpenWith = nullptr;
    QAction* mnuEffectiveColumns = nullptr;
    QAction* mnuAudit = nullptr;
    QAction* mnuAuditMarks = nullptr;
    QAction* mnuRefresh = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuFeedback = nullptr;
    QAction* mnuRepBug = nullptr;
    QAction* mnuHome = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildFileMenu();
    void buildEditMenu();
    void buildToolsMenu();
    void buildHelpMenu();
    void buildChildren();
    void applyPlacement();
    void storePlacement();
    // Fits the client area to the stored frame once the window manager's frame is known.
    bool fitStoredFrame();
    void applyAutoload();
    void applyOpenWith();
    void applyEffectiveColumns();
    void applyAuditMarks();
    void makeBackupsFolder();

    void mnuFile_Click();
    // The File menu's and the toolbar's commands; `fromMenu` tells the menu's from the toolbar's
    // where they differ.
    void SaveList(bool extended);
    void ExportSelectedKey(bool fromMenu);
    void ExportEntireList(bool fromMenu);
    void ExportWholeRegistry();
    void ImportCustom();
    void ImportKey(const QString& path);
    void ShowBackups();
    void DeleteFileType();
    void ShowEffectiveAssociation();
    // A command that reads the list waits for the scan or save that runs.
    bool busy() const;
    std::optional<catalogue::CatalogueEntry> selectedRowOrSay();
    void countCaption();
    void mnuAutoload_Click();
    void mnuOpenWith_Click();
    void mnuEffectiveColumns_Click();
    // The audit window, and the list's marks of its findings.
    void ShowAudit();
    void mnuAuditMarks_Click();
    catalogue::audit::AllowList allowList(bool sayWhy);
    void mnuRefresh_Click();

    std::string dataFolder_;
    std::string programFolder_;
    std::vector<std::string> registrySources_;
    SettingsFile settings_;
    QMdiSubWindow* tbWindow_ = nullptr;
    QMdiSubWindow* listWindow_ = nullptr;
    QMdiSubWindow* keyValsWindow_ = nullptr;
    bool closeAfterScan_ = false;
    bool saving_ = false;
    exporting::frmBackup* backups_ = nullptr;
    views::frmAudit* audit_ = nullptr; // kept while the program runs
    QPointer<frmAbout> about_;         // gone once closed
    exporting::CommonDialog cDialog;
    QRect storedFrame_; // the frame to apply once shown, in pixels
};

} // namespace moxalo::app
