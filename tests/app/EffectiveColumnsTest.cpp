// The main window's effective association: the Tools toggle that adds the list's effective
// columns and is remembered, the header exactly as it was while the toggle is off, the marked
// rows, and the Edit menu's (and the pop-up's) window for the selected type.

#include "app/MDIForm1.h"
#include "platform/ui/Twips.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/EffectiveFixture.h"
#include "tests/windows/RecordingDesktop.h"
#include "views/frmEffective.h"
#include "views/frmMain.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTreeView>

using namespace moxalo;
using namespace moxalo::testing;

namespace {

const QString kCount = "Moxalo [ 3 Registered file extensions found ]";

// The header's captions in the order shown, each with its width.
QStringList headerShown(QHeaderView* header) {
    QStringList shown;
    for (int visual = 0; visual < header->count(); ++visual) {
        int logical = header->logicalIndex(visual);
        shown << header->model()->headerData(logical, Qt::Horizontal).toString() + " " +
                     QString::number(header->sectionSize(logical));
    }
    return shown;
}

QStringList captions(QHeaderView* header) {
    QStringList shown;
    for (int visual = 0; visual < header->count(); ++visual)
        shown
            << header->model()->headerData(header->logicalIndex(visual), Qt::Horizontal).toString();
    return shown;
}

// The row of the list that shows `extension`.
QModelIndex rowOf(QTreeView* view, const QString& extension, int column = 0) {
    for (int row = 0; row < view->model()->rowCount(); ++row)
        if (view->model()->index(row, 0).data().toString() == extension)
            return view->model()->index(row, column);
    return {};
}

} // namespace

class EffectiveColumnsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> folder;
    std::unique_ptr<RecordingDesktop> desktop;
    std::unique_ptr<app::MDIForm1> window;

    std::string ini() const { return folder->file("Moxalo.ini"); }
    void start() {
        window = std::make_unique<app::MDIForm1>(folder->path());
        window->Startup();
        window->show();
        QTRY_COMPARE(window->windowTitle(), kCount);
    }

private slots:
    void init() {
        folder = std::make_unique<TempDir>();
        desktop = std::make_unique<RecordingDesktop>();
        mountEffectiveFixture(folder->path());
    }
    void cleanup() {
        window.reset();
        desktop.reset();
        folder.reset();
    }

    void theToggleAddsTheColumnsAndOffLeavesTheHeaderAsItWas() {
        start();
        QVERIFY(!window->mnuEffectiveColumns->isChecked());
        QVERIFY(window->mnufMain->actions().contains(window->mnuEffectiveColumns));
        QHeaderView* header = window->list->lvwFile->header();
        views::frmMain* list = window->list;
        // The header the list has always had: four columns, designed widths, or the caption's
        // where that is wider.
        auto plainHeader = [&] {
            const int width =
                static_cast<int>(std::lround(ui::toTwips(list->lvwFile->width(), list)));
            const int designed[] = {1440, width - 7000, 1540, width - 6000};
            const char* names[] = {"File Extension", "File Type", "In 'Open With' List",
                                   "Location"};
            QStringList expected;
            for (int column = 0; column < 4; ++column)
                expected << QString(names[column]) + " " +
                                QString::number(std::max(ui::toPixels(designed[column], list),
                                                         header->sectionSizeHint(column)));
            return expected;
        };
        QCOMPARE(headerShown(header), plainHeader());
        const QStringList before = headerShown(header);
        QVERIFY2(readFile(ini()).find("EffectiveColumns") == std::string::npos,
                 "nothing is stored until the toggle is used");

        QModelIndex moxa = rowOf(list->lvwFile, "moxa");
        list->lvwFile->selectionModel()->setCurrentIndex(moxa, QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
        QAbstractItemModelTester tester(list->lvwFile->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        window->mnuEffectiveColumns->trigger();
        QVERIFY(readFile(ini()).find("EffectiveColumns=1") != std::string::npos);
        QCOMPARE(captions(header),
                 (QStringList{"File Extension", "File Type", "In 'Open With' List", "Default app",
                              "ProgID", "Via", "Choice", "Location"}));
        for (int column = 4; column < 8; ++column)
            QVERIFY(header->sectionSize(column) >= header->sectionSizeHint(column));
        QCOMPARE(rowOf(list->lvwFile, "moxa", 5).data().toString(), "moxafile");
        QVERIFY2(list->lvwFile->selectionModel()->isRowSelected(moxa.row()),
                 "the selected row is selected across the new columns");
        QCOMPARE(rowOf(list->lvwFile, "plain", 5).data().toString(), "plainfile");

        // Sorted by a new column, then the columns go: the sort goes with them.
        emit header->sectionClicked(5);
        window->mnuEffectiveColumns->trigger();
        QVERIFY(readFile(ini()).find("EffectiveColumns=0") != std::string::npos);
        QCOMPARE(headerShown(header), before);
        QCOMPARE(headerShown(header), plainHeader());
        QCOMPARE(header->sortIndicatorSection(), -1);
        for (int column = 0; column < 4; ++column)
            QCOMPARE(header->visualIndex(column), column);
        QVERIFY(!rowOf(list->lvwFile, "gone").data(Qt::BackgroundRole).isValid());

        // A new load with the columns off leaves them as they were too.
        list->LoadList();
        QCOMPARE(headerShown(header), plainHeader());
    }

    void storedOnTheColumnsComeBackAndMarkAChoiceThatDangles() {
        writeFile(ini(), "[Settings]\r\nEffectiveColumns=1\r\n");
        start();
        QVERIFY(window->mnuEffectiveColumns->isChecked());
        QTreeView* view = window->list->lvwFile;
        QCOMPARE(view->header()->count(), 8);
        QModelIndex gone = rowOf(view, "gone");
        QVERIFY(gone.isValid());
        QVERIFY2(gone.siblingAtColumn(7).data().toString().contains("dangling"),
                 qPrintable(gone.siblingAtColumn(7).data().toString()));
        for (int column : {0, 3, 7}) {
            QCOMPARE(gone.siblingAtColumn(column).data(Qt::BackgroundRole).value<QColor>(),
                     QColor(255, 208, 208));
            QVERIFY(gone.siblingAtColumn(column)
                        .data(Qt::ToolTipRole)
                        .toString()
                        .contains("NoSuchClass exists in no classes"));
        }
        QModelIndex moxa = rowOf(view, "moxa");
        QVERIFY(!moxa.data(Qt::BackgroundRole).isValid());
        QVERIFY(!moxa.data(Qt::ToolTipRole).isValid());
        QCOMPARE(moxa.siblingAtColumn(5).data(Qt::ToolTipRole).toString(), "moxafile");

        // The list loaded again resolves against the registry as it is then, the columns kept.
        window->list->LoadListAgain();
        QCOMPARE(view->header()->count(), 8);
        QCOMPARE(view->header()->visualIndex(3), 7);
        QVERIFY(rowOf(view, "gone").data(Qt::BackgroundRole).isValid());
    }

    void theEditMenuOpensTheWindowOfTheSelectedType() {
        start();
        QVERIFY(window->mnuEdit->actions().contains(window->mnuEffective));
        window->mnuEffective->trigger();
        QCOMPARE(desktop->messages.size(), std::size_t{1});
        QCOMPARE(desktop->messages[0].text, "Select a row of the list first.");
        QVERIFY(window->findChild<views::frmEffective*>() == nullptr);

        QTreeView* view = window->list->lvwFile;
        view->setCurrentIndex(rowOf(view, "moxa"));
        window->mnuEffective->trigger();
        auto* shown = window->findChild<views::frmEffective*>();
        QVERIFY(shown != nullptr);
        QVERIFY(shown->isVisible());
        QCOMPARE(shown->windowTitle(), "Effective Association: .moxa");
        QCOMPARE(shown->fact("Class"), "moxafile");
        // It is no modal window: the list stays usable beside it.
        QVERIFY(!shown->isModal());
        shown->close();
        QTRY_VERIFY(window->findChild<views::frmEffective*>() == nullptr);
    }
};

QTEST_MAIN(EffectiveColumnsTest)
#include "EffectiveColumnsTest.moc"
