// The effective association window, filled from a hand-made export and from a real user's
// hives: its summary, its steps and Open With tables, the mark on a choice Windows would not
// honour, and what can be copied out of it.

#include "catalogue/RowColour.h"
#include "catalogue/effective/SessionUserView.h"
#include "tests/support/SharedHives.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/EffectiveFixture.h"
#include "views/frmEffective.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace moxalo;
using namespace moxalo::testing;
using moxalo::views::frmEffective;

namespace {

const QColor kSuspect(255, 208, 208);

// The column of every row of a table.
QStringList column(const QTreeWidget* table, int column) {
    QStringList texts;
    for (int row = 0; row < table->topLevelItemCount(); ++row)
        texts << table->topLevelItem(row)->text(column);
    return texts;
}

QColor baseOf(const QLineEdit* box) {
    return box->palette().color(QPalette::Base);
}

} // namespace

class EffectiveWindowTest : public QObject {
    Q_OBJECT

    catalogue::effective::SessionUserView view;

    // A window filled for `extension` from the registry mounted now.
    frmEffective* filled(const std::string& extension) {
        view.forget();
        auto* window = new frmEffective;
        auto users = view.get();
        if (!users)
            qFatal("no user view: %s", users.error().c_str());
        window->Fill(**users, extension);
        window->show();
        return window;
    }

private slots:
    void theExportShowsTheChoiceItsStepsAndTheOpenWithList() {
        TempDir folder;
        mountEffectiveFixture(folder.path());
        std::unique_ptr<frmEffective> window(filled(".moxa"));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->windowTitle(), "Effective Association: .moxa");
        QCOMPARE(window->fact("Extension"), ".moxa");
        QCOMPARE(window->fact("Class"), "moxafile");
        QCOMPARE(window->fact("Command"), "\"C:\\Program Files\\Moxa\\moxa.exe\" \"%1\"");
        QCOMPARE(window->fact("User's choice"), "moxafile");
        // A .reg file keeps no key times: the hash is not judged.
        QVERIFY2(window->fact("Verdict").startsWith("cannot be checked"),
                 qPrintable(window->fact("Verdict")));
        QVERIFY(baseOf(window->factBox("Verdict")) != kSuspect);
        QVERIFY(window->lblProblem->isHidden());

        // Each step names the key it read, from its root.
        QVERIFY(window->lvwSteps->topLevelItemCount() > 0);
        QVERIFY(column(window->lvwSteps, 2)
                    .filter("\\FileExts\\.moxa\\UserChoice", Qt::CaseInsensitive)
                    .size() > 0);
        QVERIFY(column(window->lvwSteps, 1).contains("moxafile"));
        QVERIFY(column(window->lvwOpenWith, 0).contains("moxaview.exe"));

        // The text boxes are read-only and selectable; the tables copy their selected rows.
        QVERIFY(window->factBox("Class")->isReadOnly());
        window->lvwOpenWith->selectAll();
        window->lvwOpenWith->setFocus();
        QApplication::clipboard()->clear();
        QTest::keyClick(window->lvwOpenWith, Qt::Key_C, Qt::ControlModifier);
        QString copied = QApplication::clipboard()->text();
        QVERIFY2(copied.contains("moxaview.exe\t"), qPrintable(copied));
        window->cmdCopy->click();
        copied = QApplication::clipboard()->text();
        QVERIFY(copied.startsWith("Effective association of .moxa\n"));
        QVERIFY(copied.contains("\nClass: moxafile\n"));
        QVERIFY(copied.contains("\nOpen With\nHandler\tSource\tKey\n"));
        QCOMPARE(copied, window->report());
    }

    void aChoiceOfAClassThatExistsNowhereIsMarkedDangling() {
        TempDir folder;
        mountEffectiveFixture(folder.path());
        std::unique_ptr<frmEffective> window(filled(".gone"));
        QCOMPARE(window->fact("User's choice"), "NoSuchClass");
        QVERIFY2(window->fact("Verdict").contains("dangling: NoSuchClass exists in no classes"),
                 qPrintable(window->fact("Verdict")));
        QCOMPARE(baseOf(window->factBox("Verdict")), kSuspect);
        QVERIFY(window->factBox("Verdict")->toolTip().contains("exists in no classes"));

        // A type without a choice is no fault.
        std::unique_ptr<frmEffective> plain(filled(".plain"));
        QCOMPARE(plain->fact("Class"), "plainfile");
        QCOMPARE(plain->fact("Command"), "notepad.exe %1");
        QCOMPARE(plain->fact("Verdict"), "none");
        QVERIFY(baseOf(plain->factBox("Verdict")) != kSuspect);
    }

    void theWindowIsResizableAndItsColumnsFitTheirTexts() {
        TempDir folder;
        mountEffectiveFixture(folder.path());
        std::unique_ptr<frmEffective> window(filled(".moxa"));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(window->minimumWidth() < window->maximumWidth());
        QSize before = window->size();
        window->resize(before + QSize(200, 150));
        QTRY_COMPARE(window->size(), before + QSize(200, 150));
        const int charWidth = window->lvwSteps->fontMetrics().averageCharWidth();
        QHeaderView* header = window->lvwSteps->header();
        for (int c = 0; c + 1 < header->count(); ++c) {
            // Wide enough for its caption, never wider than 50 characters, so that the note keeps
            // room.
            QVERIFY(header->sectionSize(c) >= header->sectionSizeHint(c) - 4);
            QVERIFY(header->sectionSize(c) <= 50 * charWidth);
        }
        // The key column holds the whole path of the choice's key, or its tooltip does.
        QTreeWidgetItem* first = window->lvwSteps->topLevelItem(0);
        QCOMPARE(first->toolTip(2), first->text(2));
    }

    void aRealUsersChoicesAreVerifiedAndAPackagedAppShowsItsClass() {
        if (!mountWin10User())
            QSKIP("no shared hives");
        std::unique_ptr<frmEffective> txt(filled(".txt"));
        QCOMPARE(txt->fact("Class"), "txtfile");
        QCOMPARE(txt->fact("Via"), "UserChoice");
        // Verified; yet without the machine's SOFTWARE no classes hold txtfile.
        QCOMPARE(txt->fact("Verdict"), "hash verified; dangling: txtfile exists in no classes");
        QVERIFY(txt->fact("User").startsWith("S-1-5-21-2290304894-658537038-505560459-1001"));
        QVERIFY(column(txt->lvwOpenWith, 0).contains("NOTEPAD.EXE", Qt::CaseInsensitive));

        std::unique_ptr<frmEffective> jpg(filled(".jpg"));
        QCOMPARE(jpg->fact("Class"), "AppX43hnxtbyyps62jhe9sqpdzxn1790zetc");
        QCOMPARE(jpg->fact("AppUserModelId"), "Microsoft.Windows.Photos_8wekyb3d8bbwe!App");
        QVERIFY(!jpg->fact("DelegateExecute").isEmpty());
        QVERIFY(jpg->fact("Command").isNull());

        // Edge's ProgIDs are the machine's: without SOFTWARE nothing holds them.
        std::unique_ptr<frmEffective> pdf(filled(".pdf"));
        QCOMPARE(pdf->fact("User's choice"), "MSEdgePDF");
        QVERIFY(pdf->fact("Verdict").contains("dangling"));
        QCOMPARE(baseOf(pdf->factBox("Verdict")), kSuspect);
    }
};

QTEST_MAIN(EffectiveWindowTest)
#include "EffectiveWindowTest.moc"
