// The File menu's and the toolbar's commands as a user gives them: the list saves, the
// backups and imports through the registry editor's command lines, and deleting a file type.

#include "app/MDIForm1.h"
#include "app/frmTB.h"
#include "export/frmBackup.h"
#include "export/modExport.h"
#include "platform/advapi/RegistryApi.h"
#include "platform/process/CommandLine.h"
#include "registry/SourceLock.h"
#include "registry/Sources.h"
#include "registry/regedit/RegFileExport.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/ClassesFixture.h"
#include "tests/windows/RecordingDesktop.h"
#include "views/frmKeyVals.h"
#include "views/frmMain.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <set>

using namespace moxalo;
using namespace moxalo::testing;

namespace {

const QString kCount = "Moxalo [ 3 Registered file extensions found ]";

ui::FileDialogAnswer chosen(const std::string& path, int filterIndex) {
    return {false, QString::fromStdString(path), filterIndex};
}

bool keyExists(const char* path) {
    registry::HKEY key = 0;
    if (registry::RegOpenKeyExA(registry::HKEY_CLASSES_ROOT, path, 0, registry::KEY_READ, &key) !=
        registry::ERROR_SUCCESS)
        return false;
    registry::RegCloseKey(key);
    return true;
}

// The file a "regedit /e" command line writes.
std::string exportedFile(const QString& commandLine) {
    std::vector<std::string> args = process::splitCommandLine(commandLine.toStdString());
    return args.size() > 2 && args[1] == "/e" ? args[2] : "";
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> dir;
    std::string folder; // the program folder, with a blank in its name
    std::unique_ptr<RecordingDesktop> desktop;
    std::unique_ptr<app::MDIForm1> window;

    QString inFolder(const QString& name) const { return QString::fromStdString(folder) + name; }
    void select(const QString& extension) {
        QTreeView* view = window->list->lvwFile;
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            QModelIndex index = view->model()->index(row, 0);
            if (index.data().toString() == extension)
                view->setCurrentIndex(index);
        }
    }

private slots:
    void init() {
        dir = std::make_unique<TempDir>();
        folder = dir->file("my tools");
        std::filesystem::create_directory(folder);
        desktop = std::make_unique<RecordingDesktop>();
        mountClassesFixture();
        window = std::make_unique<app::MDIForm1>(folder);
        window->Startup();
        window->show();
        QTRY_COMPARE(window->windowTitle(), kCount);
    }
    void cleanup() {
        window.reset();
        desktop.reset();
        dir.reset();
    }

    void thePlainAndTheExtendedListAreSavedWhereTheUserSays() {
        std::string plain = dir->file("list.mxo");
        desktop->dialogAnswers = {chosen(plain, 1)};
        window->mnuExport->trigger();
        QCOMPARE(desktop->dialogs.size(), std::size_t{1});
        QCOMPARE(desktop->dialogs[0].filters[2], "Plain Text (*.txt)");
        QCOMPARE(desktop->dialogs[0].filterIndex, 1);
        std::string header =
            "File Extension \\ File Type \\ In 'Open With List' \\ Key path\r\n\r\n";
        // The file's form is the list files' own test; here, the rows in the order shown.
        QVERIFY(readFile(plain).ends_with("txt\tText Document\tYes\tHKEY_CLASSES_ROOT\\.txt\r\n" +
                                          header +
                                          "zip\tZIP File\tNo\tHKEY_CLASSES_ROOT\\.zip\r\n"));
        QVERIFY(desktop->messages.back().text.endsWith(QString::fromStdString(plain)));

        // Sorted descending, the list is saved in the order it shows.
        emit window->list->lvwFile->header()->sectionClicked(0);
        std::string extended = dir->file("details.txt");
        desktop->dialogAnswers = {chosen(extended, 3)};
        desktop->pointers.clear();
        window->mnuSaveExt->trigger();
        QCOMPARE(desktop->dialogs[1].filterIndex, 3);
        std::string text = readFile(extended);
        QVERIFY(text.starts_with(header + "zip\tZIP File\tNo\tHKEY_CLASSES_ROOT\\.zip\r\n****"));
        QVERIFY(
            text.find("Extension: .txt\r\nKey Value: txtfile\r\nContent Type: text/plain\r\n") !=
            std::string::npos);
        QCOMPARE(desktop->pointers, (std::vector<int>{13, 0}));

        // The plain save finds the filter the extended one left; a cancel writes nothing.
        desktop->messages.clear();
        window->tb->imgSave->click();
        QCOMPARE(desktop->dialogs[2].filterIndex, 3);
        QVERIFY(desktop->messages.empty());
    }

    void backupsStartTheRegistryEditorWithItsCommandLines() {
        QString txtBackup = inFolder("/Backups/txt.reg");
        window->mnuExportReg->trigger();
        QCOMPARE(desktop->messages.back().text, "Select a row of the list first.");
        QVERIFY(desktop->started.empty());

        select("txt");
        window->mnuExportReg->trigger();
        QCOMPARE(desktop->started.back().commandLine,
                 "regedit /e \"" + txtBackup + "\" HKEY_CLASSES_ROOT\\.txt");
        QCOMPARE(desktop->messages.back().text, "Backup complete");

        // The quiet flag silences the menu's command only.
        window->bQuietBackup = true;
        std::size_t shown = desktop->messages.size();
        window->mnuExportReg->trigger();
        QCOMPARE(desktop->messages.size(), shown);
        window->tb->imgExport->click();
        QCOMPARE(desktop->messages.size(), shown + 1);
        window->bQuietBackup = false;

        desktop->started.clear();
        window->mnuExportRegEntire->trigger();
        QCOMPARE(desktop->started.size(), std::size_t{3});
        QCOMPARE(desktop->started[2].commandLine,
                 "regedit /e \"" + inFolder("/Backups/zip.reg") + "\" HKEY_CLASSES_ROOT\\.zip");
        window->tb->imgExportEntire->click();
        window->mnuExportRegWhole->trigger();
        QCOMPARE(desktop->started.back().commandLine,
                 "regedit /e \"" + inFolder("/Backups/reg_backup.reg") + "\" ");
        QCOMPARE(window->windowTitle(), kCount);
    }

    // The registry editor is another process: what it imports reaches the window through the
    // source's file, which the window reads again as it loads the list once the editor has ended.
    void anImportTheWindowStartedShowsInTheListAndInTheDetails() {
        std::string source = dir->file("classes.reg");
        auto classes = [](const std::string& abcType) {
            return "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.abc]\r\n@=\"" + abcType +
                   "\"\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n"
                   "\"Content Type\"=\"text/plain\"\r\n";
        };
        writeFile(source, classes("abcfile"));
        moxalo::testing::mountRegistry(
            registry::openRegistry(registry::SourceChoice{{source}, "test", false})->registry);
        window->list->LoadList();
        QTRY_COMPARE(window->list->Rows().size(), std::size_t{2});
        select("abc");
        QCOMPARE(window->keyVals->txtKeyValue->text(), "abcfile");

        desktop->runWaited = [&](const QString&) {
            writeFile(source, classes("abc.changed") +
                                  "\r\n[HKEY_CLASSES_ROOT\\.wri]\r\n@=\"wrifile\"\r\n");
            return 0;
        };
        window->tb->imgImport->click();
        QVERIFY(desktop->started.empty()); // the dialog was cancelled
        QVERIFY(!desktop->dialogs.back().save);
        std::string file = dir->file("from a friend.reg");
        desktop->dialogAnswers = {chosen(file, 2)};
        window->mnuCustom->trigger();
        QCOMPARE(desktop->started.back().commandLine, "regedit /I " + QString::fromStdString(file));
        QTRY_COMPARE(window->list->Rows().size(), std::size_t{3});
        QCOMPARE(window->list->SelectedRow()->Extension, "abc");
        QCOMPARE(window->keyVals->txtKeyValue->text(), "abc.changed");

        moxalo::testing::mountRegistry(nullptr);
    }

    void rowsWithAnyNamesAreBackedUpEachToItsOwnFileInsideBackups() {
        // Names that lead out of the folder or hold what a file name cannot; which file each
        // name gets is the backup names' own test.
        const std::vector<std::string> names = {
            "./../../../../.wine/system", ".a/b", "...", ".line\r\nbreak", ".a:b", ".a%3Ab"};
        window.reset();
        auto store = std::make_unique<registry::MemoryStore>();
        for (const auto& name : names)
            store->createKey(store->rootNode(), name);
        mountMemory(std::move(store));
        window = std::make_unique<app::MDIForm1>(folder);
        window->Startup();
        window->show();
        QTRY_COMPARE(window->list->Rows().size(), names.size());

        const std::filesystem::path backups = folder + "/Backups";
        std::set<std::string> files;
        window->mnuExportRegEntire->trigger();
        // The line break's key cannot be written in a .reg file: the user hears it here, where
        // the registry editor's refusal would go unseen.
        QCOMPARE(desktop->started.size(), names.size() - 1);
        for (const auto& start : desktop->started) {
            std::filesystem::path file = exportedFile(start.commandLine);
            QCOMPARE(file.parent_path(), backups);
            files.insert(file.filename().string());
        }
        QCOMPARE(files.size(), names.size() - 1);
        QVERIFY(desktop->messages.back().text.startsWith(
            "HKEY_CLASSES_ROOT\\.line\\r\\nbreak was not backed up: its name holds a line break"));

        // The row's own backup, and the one made before its key is deleted, go there too.
        select("/../../../../.wine/system");
        const QString escaping = inFolder("/Backups/%2F..%2F..%2F..%2F..%2F.wine%2Fsystem.reg");
        window->mnuExportReg->trigger();
        QCOMPARE(QString::fromStdString(exportedFile(desktop->started.back().commandLine)),
                 escaping);
        desktop->runWaited = [&](const QString& commandLine) {
            writeFile(exportedFile(commandLine),
                      "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\./../../../../.wine/system]\r\n");
            return 0;
        };
        window->mnuDelete->trigger();
        QVERIFY(desktop->started.back().waited);
        QCOMPARE(QString::fromStdString(exportedFile(desktop->started.back().commandLine)),
                 escaping);
        QVERIFY(!keyExists("./../../../../.wine/system"));
        QCOMPARE(window->list->Rows().size(), names.size() - 1);
    }

    void aFileTypeIsDeletedOnlyOnceItsBackupHoldsIt() {
        select("abc");
        desktop->answers = {ui::vbNo};
        window->mnuDelete->trigger();
        QVERIFY(desktop->messages.back().text.endsWith("HKEY_CLASSES_ROOT\\.abc"));
        QVERIFY(desktop->started.empty());
        QVERIFY(keyExists(".abc"));

        // A registry editor that fails: nothing goes, and the user is told why, in its words.
        desktop->runWaited = [](const QString&) { return 1; };
        desktop->waitedErrors = "moxalo-regedit: /b/abc.reg: not written: No space left\n";
        window->mnuDelete->trigger();
        QCOMPARE(desktop->messages.back().style, 48);
        QCOMPARE(desktop->messages.back().text,
                 "HKEY_CLASSES_ROOT\\.abc was not deleted: its backup could not be made.\n\n"
                 "/b/abc.reg: not written: No space left");
        desktop->waitedErrors.clear();
        QVERIFY(keyExists(".abc"));
        QCOMPARE(window->list->Rows().size(), std::size_t{3});

        // One that writes the backup: the key and the row go, the caption stays.
        std::string backup = folder + "/Backups/abc.reg";
        desktop->runWaited = [&](const QString&) {
            writeFile(backup, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.abc]\r\n@=\"abcfile\"\r\n");
            return 0;
        };
        std::size_t messages = desktop->messages.size();
        window->mnuDelete->trigger();
        QCOMPARE(desktop->started.back().commandLine,
                 "regedit /e \"" + inFolder("/Backups/abc.reg") + "\" HKEY_CLASSES_ROOT\\.abc");
        QVERIFY(desktop->started.back().waited);
        QCOMPARE(desktop->messages.size(), messages + 1); // the question only
        QVERIFY(!keyExists(".abc"));
        QCOMPARE(window->list->Rows().size(), std::size_t{2});
        QCOMPARE(window->windowTitle(), kCount);
        QCOMPARE(window->keyVals->txtExt->text(), ".abc"); // the panel keeps what it showed
        QVERIFY(!window->bQuietBackup);
    }

    void theRowThatTookTheDeletedRowsPlaceIsSelected() {
        emit window->list->lvwFile->header()->sectionClicked(1);
        emit window->list->lvwFile->header()->sectionClicked(1); // zip, txt, abc
        select("txt");
        desktop->runWaited = [&](const QString& commandLine) {
            auto args = process::splitCommandLine(commandLine.toStdString()); // regedit /e F K
            writeFile(args[2], "REGEDIT4\r\n\r\n[" + args[3] + "]\r\n");
            return 0;
        };
        window->mnuDelete->trigger();
        QCOMPARE(window->list->Rows().size(), std::size_t{2});
        QCOMPARE(window->list->SelectedRow().value().Extension, std::string("abc"));
        QCOMPARE(window->keyVals->txtExt->text(), ".txt"); // the panel keeps what it showed

        // The last row gone, the one before it takes its place.
        window->mnuDelete->trigger();
        QCOMPARE(window->list->Rows().size(), std::size_t{1});
        QCOMPARE(window->list->SelectedRow().value().Extension, std::string("zip"));
    }

    // Nothing says "Backup complete" or takes a row away when nothing was written.
    void backupsAndDeletesThatCannotBeWrittenAreToldNotClaimed() {
        std::filesystem::remove_all(folder + "/Backups");
        std::filesystem::create_directory_symlink(dir->file("gone"), folder + "/Backups");
        select("txt");
        window->mnuExportReg->trigger();
        QVERIFY(desktop->messages.back().text.startsWith(".txt was not backed up: "));
        window->mnuExportRegWhole->trigger();
        QVERIFY(
            desktop->messages.back().text.startsWith("The entire registry was not backed up: "));
        QVERIFY(desktop->started.empty());
        std::filesystem::remove(folder + "/Backups");
        std::filesystem::create_directory(folder + "/Backups");

        // The registry's files are being changed by another writer, which does not finish.
        std::string source = dir->file("classes.reg");
        writeFile(source, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.abc]\r\n@=\"abcfile\"\r\n");
        moxalo::testing::mountRegistry(
            registry::openRegistry(registry::SourceChoice{{source}, "test", false})->registry);
        window->list->LoadList();
        QTRY_COMPARE(window->list->Rows().size(), std::size_t{1});
        select("abc");
        desktop->runWaited = [&](const QString& commandLine) {
            writeFile(exportedFile(commandLine), readFile(source));
            return 0;
        };
        auto writer = registry::SourceLock::take({source});
        QVERIFY(writer);
        window->mnuDelete->trigger();
        QVERIFY2(
            desktop->messages.back().text.startsWith("HKEY_CLASSES_ROOT\\.abc was not deleted: "),
            qPrintable(desktop->messages.back().text));
        QVERIFY(desktop->messages.back().text.contains("another program"));
        QCOMPARE(window->list->Rows().size(), std::size_t{1});
        moxalo::testing::mountRegistry(nullptr);
    }
};

QTEST_MAIN(CommandsTest)
#include "CommandsTest.moc"
