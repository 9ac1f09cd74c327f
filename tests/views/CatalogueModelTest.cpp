// The list's model: the view hears only of the rows it has been shown, each row's colour
// follows its Open-With column, and the effective columns resolve a row once, when it is drawn.

#include "views/CatalogueModel.h"

#include "views/modColors.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTest>
#include <QTreeView>
#include <map>

using namespace moxalo;

class CatalogueModelTest : public QObject {
    Q_OBJECT

private slots:
    void aRowNotYetShownGoesWithoutTheViewHearingOfIt() {
        views::CatalogueModel model;
        model.append({"a", "A File", "No", "HKEY_CLASSES_ROOT\\.a"});
        model.catchUp();
        model.append({"b", "B File", "No", "HKEY_CLASSES_ROOT\\.b"});
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.removeAt(1);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(model.rowCount(), 1);
        model.removeAt(0);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(model.rowCount(), 0);
    }

    void everyRowInTheOpenWithListIsBlueTheFirstToo() {
        views::CatalogueModel model;
        for (const char* openWith : {"Yes", "No", "Yes"})
            model.append({"x", "X File", openWith, "HKEY_CLASSES_ROOT\\.x"});
        model.catchUp();
        views::SetRowColours(model);
        QCOMPARE(model.colour(0), catalogue::ColourRef{0xFF0000});
        QCOMPARE(model.colour(1), catalogue::ColourRef{0});
        QCOMPARE(model.colour(2), catalogue::ColourRef{0xFF0000});
    }

    // A big registry must not be resolved whole to show a screenful; what is resolved stays so
    // until the rows change, and a row removed takes its cells with it.
    void effectiveCellsAreResolvedOnlyForRowsShownAndOnce() {
        views::CatalogueModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        constexpr int kRows = 20000;
        for (int i = 0; i < kRows; ++i) {
            std::string name = "e" + std::to_string(i);
            model.append({name, "", "No", "HKEY_CLASSES_ROOT\\." + name});
        }
        model.catchUp();
        std::map<std::string, int> resolved;
        model.showEffective([&](const catalogue::CatalogueEntry& row) {
            ++resolved[row.Extension];
            catalogue::effective::EffectiveCells cells;
            cells.cells[1] = row.Extension + "file";
            cells.marked = row.Extension == "e3";
            cells.why = cells.marked ? "dangles" : "";
            return cells;
        });
        QCOMPARE(model.columnCount(), 8);
        QCOMPARE(model.headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(), "Default app");
        QCOMPARE(model.headerData(7, Qt::Horizontal, Qt::DisplayRole).toString(), "Choice");

        QTreeView view;
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(!resolved.empty());
        QVERIFY2(resolved.size() < 200, "only the rows on the screen are resolved");

        QCOMPARE(model.index(3, 5).data().toString(), "e3file");
        QCOMPARE(model.index(3, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 208, 208));
        QCOMPARE(model.index(3, 2).data(Qt::ToolTipRole).toString(), "dangles");
        QVERIFY(!model.index(4, 0).data(Qt::BackgroundRole).isValid());
        QCOMPARE(model.index(0, 0).data().toString(), "e0");

        model.removeAt(3);
        QCOMPARE(model.index(3, 5).data().toString(), "e4file");
        QVERIFY(!model.index(3, 0).data(Qt::BackgroundRole).isValid());

        QSortFilterProxyModel sorted;
        sorted.setSourceModel(&model);
        sorted.sort(5, Qt::DescendingOrder);
        QCOMPARE(sorted.index(0, 5).data().toString(), "e9file");
        for (const auto& [extension, times] : resolved)
            QVERIFY2(times == 1, extension.c_str());
        QCOMPARE(resolved.size(), std::size_t{kRows});

        // Taken away, the columns go and the rows are plain again.
        model.showEffective(nullptr);
        QCOMPARE(model.columnCount(), 4);
        QVERIFY(!model.index(3, 0).data(Qt::BackgroundRole).isValid());
        QVERIFY(!model.index(3, 0).data(Qt::ToolTipRole).isValid());
    }
};

QTEST_MAIN(CatalogueModelTest)
#include "CatalogueModelTest.moc"
