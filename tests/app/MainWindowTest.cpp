// The main window as a user meets it: start-up with and without settings, the menus, the
// list's scan, sorting and colours, and the details of a clicked row.

#include "app/MDIForm1.h"
#include "app/frmTB.h"
#include "catalogue/AppTexts.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Twips.h"
#include "registry/Registry.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/ClassesFixture.h"
#include "tests/windows/RecordingDesktop.h"
#include "views/frmKeyVals.h"
#include "views/frmMain.h"
#include "views/frmValues.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>

using namespace moxalo;
using namespace moxalo::testing;
using registry::MemoryStore;

namespace {

const QString kCount = "Moxalo [ 3 Registered file extensions found ]";

// The texts of the list as shown, row by row, in the columns given.
QStringList shown(QTreeView* view, int column) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        texts << view->model()->index(row, column).data().toString();
    return texts;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> folder;
    std::unique_ptr<RecordingDesktop> desktop;
    std::unique_ptr<app::MDIForm1> window;

    std::string ini() const { return folder->file("Moxalo.ini"); }
    void start() {
        window = std::make_unique<app::MDIForm1>(folder->path());
        window->Startup();
        window->show();
    }

private slots:
    void init() {
        folder = std::make_unique<TempDir>();
        desktop = std::make_unique<RecordingDesktop>();
        mountClassesFixture();
    }
    void cleanup() {
        window.reset();
        desktop.reset();
        folder.reset();
    }

    void firstStartMaximisesFillsTheListAndWritesTheDefaults() {
        start();
        QVERIFY(window->windowState() & Qt::WindowMaximized);
        QTRY_COMPARE(window->windowTitle(), kCount);
        QVERIFY(window->mnuAutoload->isChecked());
        QVERIFY(!window->mnuOpenWith->isChecked());
        QVERIFY(!window->mnuRefresh->isEnabled());
        QVERIFY(window->list->lvwFile->isEnabled());
        QVERIFY(!window->tb->pBar1->isVisible());
        QCOMPARE(shown(window->list->lvwFile, 0), (QStringList{"abc", "txt", "zip"}));
        QCOMPARE(shown(window->list->lvwFile, 2), (QStringList{"No", "Yes", "No"}));
        QCOMPARE(shown(window->list->lvwFile, 3).first(), "HKEY_CLASSES_ROOT\\.abc");
        QVERIFY(std::filesystem::is_directory(folder->file("Backups")));
        std::string text = readFile(ini());
        QVERIFY(text.find("[Settings]\r\nAutoload=1\r\nOpenWith=0\r\n") != std::string::npos);
        QCOMPARE(desktop->pointers, (std::vector<int>{13, 0}));

        window->close();
        QVERIFY(readFile(ini()).find("[Max]\r\nState=Maximized") != std::string::npos);
        QVERIFY(readFile(ini()).find("[Position]") == std::string::npos);
    }

    void autoloadOffLeavesTheListEmptyUntilLoadList() {
        writeFile(ini(), "[Settings]\r\nAutoload=0\r\nOpenWith=1\r\n");
        start();
        QTest::qWait(20);
        QCOMPARE(window->windowTitle(),
                 "Moxalo [ Autoload list disabled, select Tools > Load list to view file types ]");
        QCOMPARE(window->list->lvwFile->model()->rowCount(), 0);
        QVERIFY(window->mnuRefresh->isEnabled());
        QVERIFY(!window->mnuAutoload->isChecked());
        QVERIFY(window->mnuOpenWith->isChecked());

        QAbstractItemModelTester tester(window->list->lvwFile->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        window->mnuRefresh->trigger();
        QCOMPARE(window->windowTitle(), "Moxalo [ 1 Registered file extensions found ]");
        // The Open-With filter is on.
        QCOMPARE(shown(window->list->lvwFile, 0), QStringList{"txt"});
        QVERIFY(!window->mnuRefresh->isEnabled());
        QCOMPARE(readFile(ini()), "[Settings]\r\nAutoload=0\r\nOpenWith=1\r\n");
    }

    void aSecondLoadListDuringTheScanStartsNothing() {
        writeFile(ini(), "[Settings]\r\nAutoload=0\r\n");
        start();
        int scans = 0;
        connect(window->list, &views::frmMain::listLoaded, this, [&] { ++scans; });
        // The scan lets events run after every subkey; the command arrives in the middle.
        QTimer::singleShot(0, this, [&] { window->mnuRefresh->trigger(); });
        window->mnuRefresh->trigger();
        QTest::qWait(20);
        QCOMPARE(scans, 1);
        QCOMPARE(window->list->Rows().size(), std::size_t{3});
    }

    // Run under a window manager too, where the frame is more than the client area.
    void aNormalFrameComesBackToThePixelAMaximisedOneIsKept() {
        writeFile(ini(), "[Max]\r\nState=Custom\r\n[Position]\r\nT=1500\r\nL=3000\r\n"
                         "[Size]\r\nW=9000\r\nH=7500\r\n[Settings]\r\nAutoload=0\r\n");
        start();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        if (QGuiApplication::platformName() == "xcb")
            QVERIFY2(window->frameGeometry().size() != window->size(), "no frame around");

        // The user moves and sizes the window; its outer frame is what is stored.
        QRect frame = ui::toPixels(1440, 720, 10080, 7200, window.get());
        QTRY_COMPARE(window->frameGeometry(), ui::toPixels(3000, 1500, 9000, 7500, window.get()));
        QSize decorations = window->frameGeometry().size() - window->size();
        window->move(frame.topLeft());
        window->resize(frame.size() - decorations);
        QTRY_COMPARE(window->frameGeometry(), frame);
        window->close();
        std::string text = readFile(ini());
        QVERIFY(text.find("State=Custom") != std::string::npos);
        QVERIFY(text.find("T=720\r\nL=1440") != std::string::npos);
        QVERIFY(text.find("W=10080\r\nH=7200") != std::string::npos);

        start();
        QTRY_COMPARE(window->frameGeometry(), ui::toPixels(1440, 720, 10080, 7200, window.get()));
        window->showMaximized();
        window->close();
        text = readFile(ini());
        QVERIFY(text.find("State=Maximized") != std::string::npos);
        QVERIFY2(text.find("T=720\r\nL=1440") != std::string::npos, "the frame is kept");
    }

    // The rule holds as the list changes, the menu never opened: the shortcuts follow it.
    void exportIsEnabledOnlyWithRows() {
        writeFile(ini(), "[Settings]\r\nAutoload=0\r\n");
        start();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(!window->mnuExportRegistry->menuAction()->isEnabled());
        QVERIFY(window->mnuExport->isEnabled());
        QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
        QVERIFY2(desktop->messages.empty(), "an empty list is not exported");
        QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(window->mnuExportRegistry->menuAction()->isEnabled());
        QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY(!desktop->messages.empty());
        QCOMPARE(desktop->messages.back().text, "Backup complete");
    }

    void theTogglesStoreTheirValueAndTheFilterAsksForARestart() {
        start();
        QTRY_COMPARE(window->windowTitle(), kCount);
        window->mnuAutoload->trigger();
        QVERIFY(!window->mnuAutoload->isChecked());
        QVERIFY(readFile(ini()).find("Autoload=0") != std::string::npos);
        window->mnuAutoload->trigger();
        QVERIFY(readFile(ini()).find("Autoload=1") != std::string::npos);
        QVERIFY(desktop->messages.empty());

        window->mnuOpenWith->trigger();
        QVERIFY(readFile(ini()).find("OpenWith=1") != std::string::npos);
        window->mnuOpenWith->trigger();
        QVERIFY(readFile(ini()).find("OpenWith=0") != std::string::npos);
        QCOMPARE(desktop->messages.size(), std::size_t{2}); // a restart is asked for each time
        QCOMPARE(window->list->Rows().size(), std::size_t{3});
    }

    void columnClicksSortAndColoursStayWithTheirRows() {
        start();
        QTRY_COMPARE(window->windowTitle(), kCount);
        QTreeView* view = window->list->lvwFile;
        QAbstractItemModelTester tester(view->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QHeaderView* header = view->header();
        auto click = [&](int column) { emit header->sectionClicked(column); };
        click(0);
        // The first click on the first column gives descending order.
        QCOMPARE(shown(view, 0), (QStringList{"zip", "txt", "abc"}));
        click(0);
        QCOMPARE(shown(view, 0), (QStringList{"abc", "txt", "zip"}));
        click(1);
        QCOMPARE(shown(view, 1), (QStringList{"ABC File", "Text Document", "ZIP File"}));
        click(1);
        QCOMPARE(shown(view, 1), (QStringList{"ZIP File", "Text Document", "ABC File"}));
        click(3);
        QCOMPARE(shown(view, 0), (QStringList{"abc", "txt", "zip"}));
        QCOMPARE(window->list->SortColumn, 3);
        for (int row = 0; row < 3; ++row) {
            QModelIndex index = view->model()->index(row, 1);
            QColor expected = index.siblingAtColumn(2).data().toString() == "Yes"
                                  ? QColor(0, 0, 255)
                                  : QColor(0, 0, 0);
            QCOMPARE(index.data(Qt::ForegroundRole).value<QColor>(), expected);
        }
    }

    // A column whose width comes out at zero is set, to its caption's width; only a width below
    // zero leaves a column as it was.
    void aColumnWidthOfZeroIsSetToItsCaptionsWidth() {
        start();
        QTRY_COMPARE(window->windowTitle(), kCount);
        views::frmMain* list = window->list;
        QHeaderView* header = list->lvwFile->header();
        list->resize(ui::toPixels(15000, list), list->height());
        QVERIFY(header->sectionSize(3) > header->sectionSizeHint(3));
        const int zero = ui::toPixels(6000, list); // the Location column's width
        QCOMPARE(std::lround(ui::toTwips(zero, list)), 6000L);
        list->resize(zero, list->height());
        QCOMPARE(header->sectionSize(3), header->sectionSizeHint(3));
    }

    void aClickFillsThePanelADoubleClickTheDetailsWindow() {
        start();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_COMPARE(window->windowTitle(), kCount);
        QTreeView* view = window->list->lvwFile;
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTRY_VERIFY2(view->hasFocus(), "the list has the focus after the scan");
        QModelIndex txt = view->model()->index(1, 0); // "txt", between "abc" and "zip"
        QRect cell = view->visualRect(txt);
        QVERIFY(cell.isValid() && view->viewport()->rect().contains(cell.center()));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(window->list->strFileType, std::string("Text Document"));
        // What the panel shows of a key is the details windows' own test.
        views::frmKeyVals* panel = window->keyVals;
        QCOMPARE(panel->txtExt->text(), ".txt");
        QCOMPARE(panel->lvwFile->topLevelItemCount(), 2);
        // The keyboard moves the selection, and the panel follows it.
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(panel->txtExt->text(), ".zip");
        QTest::keyClick(view, Qt::Key_Up);
        QCOMPARE(panel->txtExt->text(), ".txt");

        QStringList seen;
        QTimer::singleShot(50, this, [&] {
            auto* details = qobject_cast<views::frmValues*>(QApplication::activeModalWidget());
            if (details == nullptr)
                return;
            seen << details->windowTitle() << details->Text1->text();
            details->close();
        });
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(seen, (QStringList{"Values for: Text Document", ".txt"}));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(window->focusWidget(), view); // once the main window is active again

        // Enter opens the details window as the double click does.
        seen.clear();
        QTimer::singleShot(50, this, [&] {
            if (auto* details =
                    qobject_cast<views::frmValues*>(QApplication::activeModalWidget())) {
                seen << details->windowTitle();
                details->close();
            }
        });
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(seen, QStringList{"Values for: Text Document"});
    }

    void aDamagedKeyIsToldAndTheRowsBeforeItStay() {
        // A store that cannot read the name of its fourth root key, as a damaged hive.
        class Damaged : public MemoryStore {
        public:
            std::string_view childName(registry::NodeId key, std::size_t index) override {
                if (key == rootNode() && index == 2)
                    throw registry::StoreError("/cases/UsrClass.dat: cannot read the name of "
                                               "the key at offset 0x8e2d0");
                return MemoryStore::childName(key, index);
            }
        };
        auto store = std::make_unique<Damaged>();
        for (const char* ext : {".a", ".b", ".c", ".d"})
            store->createPath(ext);
        mountMemory(std::move(store));
        start();
        QTRY_COMPARE(window->windowTitle(), "Moxalo [ 2 Registered file extensions found ]");
        QCOMPARE(desktop->messages.size(), std::size_t{1});
        QCOMPARE(desktop->messages[0].style, 48);
        QVERIFY(desktop->messages[0].text.contains("/cases/UsrClass.dat: cannot read the name"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
