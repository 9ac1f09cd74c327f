// Every caption shows whole in the sans-serif fonts a Linux desktop puts in place of the one
// the windows were designed with, and no label runs under the control beside it.

#include "app/MDIForm1.h"
#include "app/frmAbout.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/ClassesFixture.h"
#include "tests/windows/RecordingDesktop.h"
#include "views/frmKeyVals.h"
#include "views/frmMain.h"
#include "views/frmValues.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTreeView>

using namespace moxalo;
using namespace moxalo::testing;

namespace {

void checkLabels(QWidget* window, const QString& family) {
    for (QLabel* label : window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text().isEmpty())
            continue;
        const QString what = family + ": " + window->objectName() + " " + label->objectName();
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <=
                     label->contentsRect().width(),
                 qPrintable(what + " is cut"));
        QVERIFY2(window->rect().contains(label->geometry()), qPrintable(what + " runs out"));
        for (QWidget* other : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != label && other->x() > label->x())
                QVERIFY2(!other->geometry().intersects(label->geometry()),
                         qPrintable(what + " runs under " + other->objectName()));
        }
    }
}

} // namespace

class CaptionsTest : public QObject {
    Q_OBJECT

private slots:
    void captionsShowWholeInTheDesktopsFonts_data() {
        QTest::addColumn<QString>("family");
        for (const char* family : {"DejaVu Sans", "Liberation Sans", "Noto Sans"})
            QTest::newRow(family) << QString(family);
    }

    void captionsShowWholeInTheDesktopsFonts() {
        QFETCH(QString, family);
        QVERIFY2(QFontDatabase::hasFamily(family), qPrintable(family + " is not installed"));
        const QFont before = QApplication::font();
        QFont font(family);
        font.setPointSizeF(8.25);
        QApplication::setFont(font);

        TempDir folder;
        RecordingDesktop desktop;
        mountClassesFixture();
        app::MDIForm1 window(folder.path());
        window.Startup();
        window.show();
        QTRY_VERIFY(!window.list->Rows().empty());
        checkLabels(window.keyVals, family);
        views::frmValues details;
        checkLabels(&details, family);
        app::frmAbout about({{"/a/registry"}, folder.path()});
        checkLabels(&about, family);

        // Each header's caption, with the sort arrow beside it, at the narrowest list.
        window.showNormal();
        window.resize(40, 40);
        QHeaderView* header = window.list->lvwFile->header();
        for (int column = 0; column < header->count(); ++column) {
            emit header->sectionClicked(column);
            QCOMPARE(header->sortIndicatorSection(), column);
            QVERIFY2(header->sectionSize(column) >= header->sectionSizeHint(column),
                     qPrintable(family + ": column " + QString::number(column)));
        }
        QApplication::setFont(before);
    }
};

QTEST_MAIN(CaptionsTest)
#include "CaptionsTest.moc"
