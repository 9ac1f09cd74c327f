// The Tools menu's audit: its window lists the findings of a registry forged as an attacker
// leaves it, most severe first, sortable, the allowed ones only when asked for; a double click
// selects the type in the list and opens its effective association; the list's marks follow
// their toggle, which is remembered and off at first.

#include "app/MDIForm1.h"
#include "registry/Sources.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/RecordingDesktop.h"
#include "views/frmAudit.h"
#include "views/frmEffective.h"
#include "views/frmMain.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

using namespace moxalo;
using namespace moxalo::testing;

namespace {

// .txt is opened as a VBScript, a user class runs exefile from %APPDATA%, and a program's own
// type is opened from Program Files, as it should be.
const char* const kForged =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt]\r\n"
    "@=\"VBSFile\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\VBSFile\\shell\\open\\command]\r\n"
    "@=\"\\\"C:\\\\Windows\\\\System32\\\\WScript.exe\\\" \\\"%1\\\" %*\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.exe]\r\n"
    "@=\"exefile\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\exefile\\shell\\open\\command]\r\n"
    "@=\"\\\"%1\\\" %*\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.moxa]\r\n"
    "@=\"moxafile\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\moxafile\\shell\\open\\command]\r\n"
    "@=\"\\\"C:\\\\Program Files\\\\Moxa\\\\moxa.exe\\\" \\\"%1\\\"\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Classes\\exefile\\shell\\open\\command]\r\n"
    "@=\"\\\"%APPDATA%\\\\x.exe\\\" \\\"%1\\\" %*\"\r\n"
    "\r\n";

QTreeWidgetItem* findingOf(QTreeWidget* table, const QString& type) {
    for (int row = 0; row < table->topLevelItemCount(); ++row)
        if (table->topLevelItem(row)->text(2) == type)
            return table->topLevelItem(row);
    return nullptr;
}

QModelIndex rowOf(QTreeView* view, const QString& extension) {
    for (int row = 0; row < view->model()->rowCount(); ++row)
        if (view->model()->index(row, 0).data().toString() == extension)
            return view->model()->index(row, 0);
    return {};
}

} // namespace

class AuditWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> folder;
    std::unique_ptr<RecordingDesktop> desktop;
    std::unique_ptr<app::MDIForm1> window;

    void start() {
        window = std::make_unique<app::MDIForm1>(folder->path());
        window->Startup();
        window->show();
        QTRY_VERIFY(window->windowTitle().contains("Registered file extensions found"));
    }
    views::frmAudit* auditWindow() const { return window->findChild<views::frmAudit*>(); }

private slots:
    void init() {
        folder = std::make_unique<TempDir>();
        desktop = std::make_unique<RecordingDesktop>();
        std::string path = folder->file("forged.reg");
        writeFile(path, kForged);
        registry::SourceChoice choice;
        choice.paths = {path};
        choice.readOnlyBecause = "a test's fixture";
        auto opened = registry::openRegistry(choice);
        QVERIFY2(opened, opened ? "" : opened.error().c_str());
        mountRegistry(opened->registry);
    }
    void cleanup() {
        window.reset();
        desktop.reset();
        folder.reset();
    }

    void theWindowListsTheFindingsAndLeadsToTheirType() {
        start();
        window->mnuAudit->trigger();
        views::frmAudit* audit = auditWindow();
        QVERIFY(audit != nullptr && audit->isVisible());
        QTreeWidget* table = audit->lvwFindings;
        QTreeWidgetItem* txt = findingOf(table, ".txt");
        QVERIFY2(txt != nullptr, qPrintable(audit->report()));
        QCOMPARE(txt->text(0), "high");
        QVERIFY(findingOf(table, "exefile") != nullptr);
        QVERIFY2(findingOf(table, ".moxa") == nullptr, qPrintable(audit->report()));
        QCOMPARE(table->topLevelItem(0)->text(0), "high");
        QVERIFY(table->topLevelItem(0)->background(0).color() !=
                table->palette().color(QPalette::Base));
        QVERIFY(audit->lblSummary->text().startsWith("High: "));
        QVERIFY(audit->report().contains(".txt"));

        // Sorted by severity, most severe last when ascending.
        emit table->header()->sectionClicked(0);
        table->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(table->topLevelItem(table->topLevelItemCount() - 1)->text(0), "high");

        // A double click selects .txt in the list and shows what opens it.
        emit table->itemDoubleClicked(findingOf(table, ".txt"), 0);
        auto selected = window->list->SelectedRow();
        QVERIFY(selected && selected->Extension == "txt");
        auto* effective = window->findChild<views::frmEffective*>();
        QVERIFY(effective != nullptr);
        QVERIFY(effective->windowTitle().endsWith(".txt"));
        // A class leads to the type it opens.
        emit table->itemDoubleClicked(findingOf(table, "exefile"), 0);
        selected = window->list->SelectedRow();
        QVERIFY(selected && selected->Extension == "exe");

        // Each button's Alt key is its own: one shared would only move the focus between them.
        QSet<QChar> keys;
        for (QAbstractButton* button : audit->findChildren<QAbstractButton*>()) {
            const QString caption = button->text();
            const auto amp = caption.indexOf('&');
            QVERIFY2(amp >= 0, qPrintable(caption));
            QVERIFY2(!keys.contains(caption[amp + 1].toLower()), qPrintable(caption));
            keys.insert(caption[amp + 1].toLower());
        }

        // Shown again, the one window is filled afresh, not a second one.
        window->mnuAudit->trigger();
        QCOMPARE(window->findChildren<views::frmAudit*>().size(), 1);
    }

    // The user's rules beside the settings are the audit's too; a file it cannot read is said,
    // and the audit goes on with the rules it starts with.
    void theUsersAllowFileIsReadOrSaid() {
        writeFile(folder->file("audit-allow.txt"),
                  "# our own tool\nprogram\t*\\x.exe\tthe help desk's tool\n");
        start();
        window->mnuAudit->trigger();
        views::frmAudit* audit = auditWindow();
        QVERIFY2(audit->lblSummary->text().contains("allowed: 1"),
                 qPrintable(audit->lblSummary->text()));
        QVERIFY(desktop->messages.empty());

        writeFile(folder->file("audit-allow.txt"), "program\t*\\x.exe\n");
        window->mnuAudit->trigger();
        QCOMPARE(desktop->messages.size(), 1u);
        QVERIFY2(desktop->messages[0].text.contains("audit-allow.txt:1"),
                 qPrintable(desktop->messages[0].text));
        QVERIFY(audit->lblSummary->text().contains("allowed: 0"));
    }

    void theListsMarksFollowTheirToggle() {
        start();
        QTreeView* list = window->list->lvwFile;
        QVERIFY(!window->mnuAuditMarks->isChecked());
        QVERIFY(!rowOf(list, "txt").data(Qt::BackgroundRole).isValid());
        window->mnuAuditMarks->trigger();
        QVERIFY(readFile(folder->file("Moxalo.ini")).find("AuditMarks=1") != std::string::npos);
        QVERIFY(rowOf(list, "txt").data(Qt::BackgroundRole).isValid());
        QVERIFY(rowOf(list, "txt").data(Qt::ToolTipRole).toString().startsWith("high"));
        QVERIFY(rowOf(list, "exe").data(Qt::BackgroundRole).isValid());
        QVERIFY(!rowOf(list, "moxa").data(Qt::BackgroundRole).isValid());
        // Remembered: a new window starts with them on.
        window.reset();
        start();
        QVERIFY(window->mnuAuditMarks->isChecked());
        QVERIFY(rowOf(window->list->lvwFile, "txt").data(Qt::BackgroundRole).isValid());
        window->mnuAuditMarks->trigger();
        QVERIFY(!rowOf(window->list->lvwFile, "txt").data(Qt::BackgroundRole).isValid());
    }
};

QTEST_MAIN(AuditWindowTest)
#include "AuditWindowTest.moc"
