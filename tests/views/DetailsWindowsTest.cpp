// The key details panel and the details window, filled from a registry as the file list
// window fills them.

#include "catalogue/KeyDetails.h"
#include "platform/shell/HostPath.h"
#include "tests/support/TestRegistry.h"
#include "views/frmKeyVals.h"
#include "views/frmValues.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

using namespace moxalo;
using namespace moxalo::testing;
using moxalo::views::frmKeyVals;
using moxalo::views::frmValues;

namespace {

const QColor kBackColour(224, 224, 224);

// ".moxa" of type "moxafile": "print" has a name but no command, "open" a command but no name;
// added in the opposite order to the one the registry lists them in.
void mountMoxaType() {
    auto store = std::make_unique<registry::MemoryStore>();
    put(*store, ".moxa", "", sz("moxafile"));
    put(*store, ".moxa", "Content Type", sz("application/x-moxa"));
    put(*store, "moxafile", "", sz("Moxa Document"));
    put(*store, "moxafile\\DefaultIcon", "", expandSz("%SystemRoot%\\moxa.dll,3"));
    put(*store, "moxafile\\shell", "", sz("open"));
    put(*store, "moxafile\\shell\\print", "", sz("&Print"));
    put(*store, "moxafile\\shell\\open\\command", "", sz("moxa.exe \"%1\""));
    // A type with neither icon nor verbs.
    put(*store, ".bare", "", sz("barefile"));
    mountMemory(std::move(store));
}

QStringList rowsOf(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0) + " | " + list->topLevelItem(i)->text(1);
    return rows;
}

// The boxes' texts in the order given. Every box is locked: it can be selected and copied,
// never typed into.
QStringList textsOf(std::initializer_list<const QLineEdit*> boxes) {
    QStringList texts;
    for (const QLineEdit* box : boxes)
        texts << (box->isReadOnly() ? "" : "(not locked) ") + box->text();
    return texts;
}

// A one-colour picture in a file the windows can load.
void writeIcon(const std::string& path, Qt::GlobalColor colour) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    QVERIFY(image.save(QString::fromStdString(path), "ICO"));
}

// Qt reads GIF but does not write it: a 1 x 1 green GIF, byte for byte.
void writeGreenGif(const std::string& path) {
    static const unsigned char gif[] = {'G',  'I',  'F',  '8',  '9',  'a',  0x01, 0x00, 0x01,
                                        0x00, 0x80, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00,
                                        0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
                                        0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    writeFile(path, std::string(reinterpret_cast<const char*>(gif), sizeof gif));
}

QColor shown(const QLabel* image) {
    QImage picture = image->pixmap().toImage();
    return picture.isNull() ? QColor() : picture.pixelColor(0, 0);
}

catalogue::KeyDetails withIcon(const std::string& icon) {
    catalogue::KeyDetails d;
    d.ExtensionKey = ".moxa";
    d.DefaultIcon = icon;
    return d;
}

} // namespace

class DetailsWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { mountMoxaType(); }

    void panelShowsEverythingReadInOrder() {
        QWidget mainWindow;
        auto* panel = new frmKeyVals(&mainWindow);
        mainWindow.show();
        QCOMPARE(panel->palette().color(QPalette::Window), kBackColour);
        auto boxes = [panel] {
            return textsOf({panel->txtExt, panel->txtKeyValue, panel->txtContentType,
                            panel->txtDefaultAction, panel->txtDefIcon, panel->txtFileType});
        };

        panel->ClearActions();
        catalogue::KeyDetails d = catalogue::ReadKeyDetails("moxa", panel);
        panel->DetailsRead(d, std::string("Moxa Document"));
        QCOMPARE(boxes(), (QStringList{".moxa", "moxafile", "application/x-moxa", "open",
                                       "%SystemRoot%\\moxa.dll,3", "Moxa Document"}));
        QCOMPARE(panel->windowTitle(), QStringLiteral("Values for: Moxa Document"));
        QCOMPARE(rowsOf(panel->lvwFile), QStringList({"open | moxa.exe \"%1\"", "&Print | "}));

        // The next click: the rows go, the type and caption stay when no row is selected.
        panel->ClearActions();
        panel->DetailsRead(catalogue::ReadKeyDetails("bare", panel), std::nullopt);
        QCOMPARE(boxes(), (QStringList{".bare", "barefile", "", "", "", "Moxa Document"}));
        QCOMPARE(panel->windowTitle(), QStringLiteral("Values for: Moxa Document"));
        QCOMPARE(panel->lvwFile->topLevelItemCount(), 0);
    }

    void panelLoadsOnlyIcoAndGifPicturesThatLoad() {
        TempDir dir;
        writeIcon(dir.file("red.ico"), Qt::red);
        writeIcon(dir.file("blue.ICO"), Qt::blue);
        writeIcon(dir.file("blue.ico"), Qt::blue);
        writeGreenGif(dir.file("green.gif"));
        writeFile(dir.file("broken.ico"), "not a picture");

        frmKeyVals panel;
        QVERIFY(panel.imgIco->pixmap().isNull());
        panel.DetailsRead(withIcon(dir.file("red.ico")), std::nullopt);
        QCOMPARE(shown(panel.imgIco), QColor(Qt::red));

        for (const std::string& icon :
             {dir.file("blue.ICO"), dir.file("blue.ico") + ",0", dir.file("missing.ico"),
              dir.file("broken.ico"), dir.file("blue.ico") + " ", std::string()}) {
            panel.DetailsRead(withIcon(icon), std::nullopt);
            QCOMPARE(panel.txtDefIcon->text().toStdString(), icon);
            QCOMPARE(shown(panel.imgIco), QColor(Qt::red));
        }

        panel.DetailsRead(withIcon(dir.file("green.gif")), std::nullopt);
        QCOMPARE(shown(panel.imgIco), QColor(Qt::green));
        QVERIFY(panel.imgIco->hasScaledContents());
    }

    void panelLooksWindowsPathsUpThroughItsResolver() {
        TempDir dir;
        const std::string prefix = dir.file("wine");
        std::filesystem::create_directories(prefix + "/drive_c/windows");
        writeIcon(prefix + "/drive_c/windows/blue.ico", Qt::blue);

        frmKeyVals panel;
        panel.DetailsRead(withIcon("C:\\Windows\\Blue.ico"), std::nullopt);
        QVERIFY2(panel.imgIco->pixmap().isNull(), "without a resolver the path is taken as it is");

        panel.setPathResolver(
            [&](const std::string& path) { return shell::hostPathOf(path, {prefix}); });
        panel.DetailsRead(withIcon("C:\\Windows\\Blue.ico"), std::nullopt);
        QCOMPARE(shown(panel.imgIco), QColor(Qt::blue));
        QCOMPARE(panel.txtDefIcon->text(), QStringLiteral("C:\\Windows\\Blue.ico"));
    }

    void detailsWindowIsFilledAsItIsRead() {
        auto* w = new frmValues;
        QCOMPARE(w->windowTitle(), QString());
        w->Begin(".moxa");
        QCOMPARE(w->Text1->text(), QStringLiteral(".moxa"));
        catalogue::ReadKeyDetails("moxa", w);
        w->Finish("Moxa Document", std::string("Moxa Document (selected)"));

        QCOMPARE(textsOf({w->Text1, w->Text2, w->Text3, w->Text4, w->Text5, w->Text6}),
                 (QStringList{".moxa", "moxafile", "application/x-moxa", "%SystemRoot%\\moxa.dll,3",
                              "open", "Moxa Document"}));
        QCOMPARE(w->windowTitle(), QStringLiteral("Values for: Moxa Document (selected)"));
        QCOMPARE(rowsOf(w->lvwFile), QStringList({"open | moxa.exe \"%1\"", "&Print | "}));
        delete w;

        frmValues bare; // nothing selected: no caption
        bare.Begin(".bare");
        catalogue::ReadKeyDetails("bare", &bare);
        bare.Finish("BARE File", std::nullopt);
        QCOMPARE(bare.windowTitle(), QString());
    }
};

QTEST_MAIN(DetailsWindowsTest)
#include "DetailsWindowsTest.moc"
