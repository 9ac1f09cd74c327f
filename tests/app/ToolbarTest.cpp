#include "app/frmTB.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

using moxalo::app::frmTB;

namespace {

// The buttons from left to right, with what each one reports.
struct Expected {
    QToolButton* frmTB::*member;
    const char* tooltip;
    frmTB::Button button;
};
constexpr Expected kButtons[] = {
    {&frmTB::imgSave, "Save List", frmTB::Button::Save},
    {&frmTB::imgExport, "Export selected key", frmTB::Button::Export},
    {&frmTB::imgExportEntire, "Export entire list", frmTB::Button::ExportEntire},
    {&frmTB::imgExportWhole, "Export whole registry", frmTB::Button::ExportWhole},
    {&frmTB::imgImport, "Import from backup", frmTB::Button::Import},
    {&frmTB::imgView, "View additional information", frmTB::Button::View},
    {&frmTB::imgBackups, "View backups", frmTB::Button::Backups},
};

} // namespace

class ToolbarTest : public QObject {
    Q_OBJECT

private:
    // Holds no icon theme: the offscreen platform has none either, and the tests must not
    // depend on what the build machine has installed.
    QTemporaryDir noThemes_;

    void useNoTheme() {
        QIcon::setThemeSearchPaths({noThemes_.path()});
        QIcon::setFallbackSearchPaths({});
        QIcon::setThemeName(QStringLiteral("none"));
    }

private slots:
    void initTestCase() {
        QVERIFY(noThemes_.isValid());
        useNoTheme();
    }
    void cleanup() { useNoTheme(); }

    // With no icon theme, each button shows the compiled-in copy, at both sizes, each its own.
    void buttonsHaveTooltipsAndTheirOwnBundledPictures() {
        frmTB tb;
        std::vector<QImage> seen;
        for (const Expected& expected : kButtons) {
            const QIcon icon = (tb.*expected.member)->icon();
            QCOMPARE((tb.*expected.member)->toolTip(), QLatin1String(expected.tooltip));
            QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
            const QImage image = icon.pixmap(QSize(16, 16), 1.0).toImage();
            QVERIFY2(std::find(seen.begin(), seen.end(), image) == seen.end(), expected.tooltip);
            seen.push_back(image);
        }
    }

    // Each click reports its button once and leaves the keyboard in the list.
    void eachClickReportsItsButtonOnceAndLeavesTheKeyboardInTheList() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* tb = new frmTB;
        auto* list = new QTreeWidget;
        layout->addWidget(tb);
        layout->addWidget(list);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        list->setFocus();
        QCOMPARE(QApplication::focusWidget(), list);
        QSignalSpy spy(tb, &frmTB::clicked);
        for (const Expected& expected : kButtons) {
            QTest::mouseClick(tb->*expected.member, Qt::LeftButton);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.takeFirst().at(0).value<frmTB::Button>(), expected.button);
            QCOMPARE(QApplication::focusWidget(), list);
        }
    }
};

QTEST_MAIN(ToolbarTest)
#include "ToolbarTest.moc"
