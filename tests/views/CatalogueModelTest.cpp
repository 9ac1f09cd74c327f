// The list's model: the view hears only of the rows it has been shown, and each row's colour
// follows its Open-With column.

#include "views/CatalogueModel.h"

#include "views/modColors.h"

#include <QSignalSpy>
#include <QTest>

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
};

QTEST_MAIN(CatalogueModelTest)
#include "CatalogueModelTest.moc"
