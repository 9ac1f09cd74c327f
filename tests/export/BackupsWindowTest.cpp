// The Backups window over a real Backups folder, in a program folder whose name has a blank:
// what it lists, and what its four labels start, import, delete and close.

#include "export/frmBackup.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Twips.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/RecordingDesktop.h"

#include <QLabel>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

using namespace moxalo;
using namespace moxalo::testing;
using moxalo::exporting::frmBackup;

namespace fs = std::filesystem;

namespace {

QStringList rowsOf(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows;
}

void click(QLabel* label) {
    QTest::mouseClick(label, Qt::LeftButton);
}

void choose(QTreeWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    list->setCurrentItem(found.first());
}

// A program folder "my tools" whose Backups folder holds two exports and a folder.
struct ProgramFolder {
    TempDir dir;
    std::string folder = dir.file("my tools");
    std::string backups = folder + "/Backups";
    std::vector<std::string> imported;

    ProgramFolder() {
        fs::create_directories(backups + "/old");
        writeFile(backups + "/txt.reg", "REGEDIT4\r\n");
        writeFile(backups + "/reg_backup.reg", "REGEDIT4\r\n");
    }

    std::unique_ptr<frmBackup> window() {
        return std::make_unique<frmBackup>(
            folder, [this](const std::string& path) { imported.push_back(path); });
    }
};

} // namespace

class BackupsWindowTest : public QObject {
    Q_OBJECT

private slots:

    void listsEveryEntryOfTheFolderInItsOrder() {
        ProgramFolder programFolder;
        auto window = programFolder.window();
        window->show();

        // By name without regard to case, as Windows lists a folder.
        const QStringList rows = rowsOf(window->ListView1);
        QCOMPARE(rows, QStringList({"old", "reg_backup.reg", "txt.reg"}));
        QCOMPARE(window->ListView1->currentItem(), window->ListView1->topLevelItem(0));
        QVERIFY(window->ListView1->topLevelItem(0)->isSelected());

        // Loading again adds to the rows; opening again after a close starts afresh.
        window->LoadBackups();
        QCOMPARE(rowsOf(window->ListView1), rows + rows);
        window->close();
        writeFile(programFolder.backups + "/new.reg", "");
        window->show();
        QCOMPARE(rowsOf(window->ListView1),
                 QStringList({"new.reg", "old", "reg_backup.reg", "txt.reg"}));
    }

    void withNoBackupsTheLabelsDoNothing() {
        ProgramFolder programFolder;
        fs::remove_all(programFolder.backups);
        fs::create_directory(programFolder.backups);
        for (bool folderThere : {true, false}) {
            if (!folderThere)
                fs::remove(programFolder.backups);
            RecordingDesktop desktop;
            auto window = programFolder.window();
            window->show();
            QCOMPARE(window->ListView1->topLevelItemCount(), 0);
            for (QLabel* label : {window->Label1, window->lblImport, window->lblDelete})
                click(label);
            QVERIFY(desktop.started.empty());
            QVERIFY(desktop.messages.empty());
            QVERIFY(programFolder.imported.empty());
            QVERIFY(window->isVisible());
        }
    }

    void viewAndImportTakeTheChosenFile() {
        ProgramFolder programFolder;
        RecordingDesktop desktop;
        auto window = programFolder.window();
        window->show();
        choose(window->ListView1, "txt.reg");
        click(window->Label1);
        choose(window->ListView1, "reg_backup.reg");
        click(window->Label1);

        QCOMPARE(desktop.started.size(), std::size_t(2));
        QCOMPARE(desktop.started[0].commandLine,
                 QString::fromStdString("notepad " + programFolder.backups + "/txt.reg"));
        QVERIFY(desktop.started[1].commandLine.endsWith("/reg_backup.reg"));

        // With no row selected, the current one is viewed.
        window->ListView1->clearSelection();
        click(window->Label1);
        QCOMPARE(desktop.started.back().commandLine, desktop.started[1].commandLine);

        // An import hands the chosen file's path over, and starts nothing itself.
        choose(window->ListView1, "txt.reg");
        click(window->lblImport);
        QCOMPARE(programFolder.imported,
                 std::vector<std::string>{programFolder.backups + "/txt.reg"});
        QCOMPARE(desktop.started.size(), std::size_t(3));
        QVERIFY(desktop.messages.empty());
    }

    void deleteAsksFirstAndYesRemovesTheFileAndListsTheFolderAgain() {
        ProgramFolder programFolder;
        RecordingDesktop desktop;
        desktop.answers = {ui::vbNo, ui::vbYes};
        auto window = programFolder.window();
        window->show();
        const QStringList rows = rowsOf(window->ListView1);
        choose(window->ListView1, "txt.reg");
        click(window->lblDelete);
        QCOMPARE(desktop.messages.size(), std::size_t(1));
        QCOMPARE(desktop.messages[0].style, ui::vbYesNo | ui::vbExclamation);
        QVERIFY(fs::exists(programFolder.backups + "/txt.reg"));
        QCOMPARE(rowsOf(window->ListView1), rows);
        QCOMPARE(window->ListView1->currentItem()->text(0), QStringLiteral("txt.reg"));

        click(window->lblDelete);
        QCOMPARE(desktop.messages.size(), std::size_t(2));
        QVERIFY(!fs::exists(programFolder.backups + "/txt.reg"));
        QVERIFY(fs::exists(programFolder.backups + "/reg_backup.reg"));
        QCOMPARE(rowsOf(window->ListView1), QStringList({"old", "reg_backup.reg"}));
        QCOMPARE(window->ListView1->currentItem(), window->ListView1->topLevelItem(0));
    }

    // A folder is not deleted, nor a file that has gone meanwhile; the user is told which and
    // why, and the list shows the folder as it is.
    void aDeletionThatFailsIsToldAndTheListReloaded() {
        ProgramFolder programFolder;
        writeFile(programFolder.backups + "/old/inside.reg", "");
        RecordingDesktop desktop;
        auto window = programFolder.window();
        window->show();

        choose(window->ListView1, "old");
        click(window->lblDelete);
        QCOMPARE(desktop.messages.size(), std::size_t(2));
        QVERIFY(desktop.messages[1].text.startsWith("Could not delete \"old\": it is a folder"));
        QVERIFY(fs::exists(programFolder.backups + "/old/inside.reg"));

        choose(window->ListView1, "txt.reg");
        fs::remove(programFolder.backups + "/txt.reg");
        click(window->lblDelete);
        QCOMPARE(desktop.messages.size(), std::size_t(4));
        QVERIFY(desktop.messages[3].text.startsWith("Could not delete \"txt.reg\""));
        QCOMPARE(rowsOf(window->ListView1), QStringList({"old", "reg_backup.reg"}));
    }
};

QTEST_MAIN(BackupsWindowTest)
#include "BackupsWindowTest.moc"
