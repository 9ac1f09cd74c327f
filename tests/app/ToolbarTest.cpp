#include "app/frmTB.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using moxalo::app::frmTB;

namespace {

// The buttons from left to right, with what each one reports and the picture it should show.
struct Expected {
    const char* name;
    const char* tooltip;
    frmTB::Button button;
    const char* icon;
};
constexpr Expected kButtons[] = {
    {"imgSave", "Save List", frmTB::Button::Save, "document-save"},
    {"imgExport", "Export selected key", frmTB::Button::Export, "edit-select-all"},
    {"imgExportEntire", "Export entire list", frmTB::Button::ExportEntire, "x-office-spreadsheet"},
    {"imgExportWhole", "Export whole registry", frmTB::Button::ExportWhole, "computer"},
    {"imgImport", "Import from backup", frmTB::Button::Import, "edit-undo"},
    {"imgView", "View additional information", frmTB::Button::View, "dialog-information"},
    {"imgBackups", "View backups", frmTB::Button::Backups, "folder"},
};

std::vector<QToolButton*> publicButtons(const frmTB& tb) {
    return {tb.imgSave,   tb.imgExport, tb.imgExportEntire, tb.imgExportWhole,
            tb.imgImport, tb.imgView,   tb.imgBackups};
}

// Pictures are compared with premultiplied alpha, the form a pixmap keeps them in, so that the
// half-transparent edges of a file and of the pixmap made from it compare equal. The pixmap is
// asked for at one device pixel a pixel, whatever scale the screen has.
QImage picture(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size), 1.0)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage bundled(const char* icon, int size) {
    return QImage(QStringLiteral(":/moxalo/icons/%1/%2.png").arg(size).arg(QLatin1String(icon)))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

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
        const std::vector<QToolButton*> members = publicButtons(tb);
        std::vector<QImage> seen;
        for (std::size_t i = 0; i < members.size(); ++i) {
            QCOMPARE(members[i]->toolTip(), QLatin1String(kButtons[i].tooltip));
            for (int size : {16, 32}) {
                const QImage expected = bundled(kButtons[i].icon, size);
                QCOMPARE(expected.size(), QSize(size, size));
                QVERIFY2(picture(members[i]->icon(), size) == expected, kButtons[i].name);
            }
            const QImage image = picture(members[i]->icon(), 16);
            for (const QImage& other : seen)
                QVERIFY2(image != other, kButtons[i].name);
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
        layout->addWidget(new QLineEdit);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        list->setFocus();
        QCOMPARE(QApplication::focusWidget(), list);
        QSignalSpy spy(tb, &frmTB::clicked);
        const std::vector<QToolButton*> members = publicButtons(*tb);
        for (std::size_t i = 0; i < members.size(); ++i) {
            QTest::mouseClick(members[i], Qt::LeftButton);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.takeFirst().at(0).value<frmTB::Button>(), kButtons[i].button);
            QCOMPARE(QApplication::focusWidget(), list);
        }
        // Nor does the Tab key stop on them on its way round the window.
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(!tb->isAncestorOf(QApplication::focusWidget()));
        }
    }
};

QTEST_MAIN(ToolbarTest)
#include "ToolbarTest.moc"
