// The Help menu and the About window: the help file or the question for the online pages, the
// web pages each command opens, and what the About window shows.

#include "app/MDIForm1.h"
#include "app/frmAbout.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/ClassesFixture.h"
#include "tests/windows/RecordingDesktop.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <filesystem>

using namespace moxalo;
using namespace moxalo::testing;

class HelpAboutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> data;
    std::unique_ptr<TempDir> program;
    std::unique_ptr<RecordingDesktop> desktop;
    std::unique_ptr<app::MDIForm1> window;

    app::frmAbout* shownAbout() {
        for (auto* about : window->findChildren<app::frmAbout*>()) {
            if (about->isVisible())
                return about;
        }
        return nullptr;
    }

private slots:
    void init() {
        data = std::make_unique<TempDir>();
        program = std::make_unique<TempDir>();
        desktop = std::make_unique<RecordingDesktop>();
        mountClassesFixture();
        window = std::make_unique<app::MDIForm1>(data->path(), program->path());
        window->setRegistryDescription(
            {"/home/ann/.wine", "/mnt/c/Windows/System32/config/SOFTWARE"});
        window->Startup();
        window->show();
    }
    void cleanup() {
        window.reset();
        desktop.reset();
        program.reset();
        data.reset();
    }

    void withoutTheHelpFileTheQuestionOffersTheSupportPage() {
        desktop->answers = {ui::vbNo, ui::vbYes};
        window->mnuContents->trigger();
        QCOMPARE(desktop->messages.size(), std::size_t{1});
        QCOMPARE(desktop->messages[0].style, ui::vbYesNo | ui::vbQuestion);
        QVERIFY(desktop->urls.empty());

        window->mnuContents->trigger();
        QCOMPARE(desktop->messages.size(), std::size_t{2});
        QCOMPARE(desktop->urls.size(), std::size_t{1});
        QCOMPARE(QUrl(desktop->urls[0]).query(), QString("mode=Products&p=moxalo"));
    }

    void theHelpFileOpensWithoutAQuestionOrAsPagesWhereNoViewerIs() {
        auto opened = [&] {
            desktop->urls.clear();
            window->mnuContents->trigger();
            return desktop->urls;
        };
        auto only = [&](const char* name) {
            return std::vector<QString>{QString::fromStdString(program->file(name))};
        };
        writeFile(program->file("help.chm"), "ITSF");
        QCOMPARE(opened(), only("help.chm"));
        // No CHM viewer: the same pages as HTML, in the browser, when they are there.
        desktop->canOpen = false;
        QCOMPARE(opened(), only("help.chm"));
        std::filesystem::create_directory(program->file("help"));
        writeFile(program->file("help/index.html"), "<html></html>");
        QCOMPARE(opened(), only("help/index.html"));
        QVERIFY(desktop->messages.empty());
    }

    void aboutShowsTheVersionMakerRegistryAndDataFolderAndIsNotModal() {
        window->mnuAbout->trigger();
        QPointer<app::frmAbout> about = shownAbout();
        QVERIFY(about);
        QVERIFY(!about->isModal());
        QCOMPARE(about->Label13->text(), QString(MOXALO_VERSION));
        QCOMPARE(about->Label17->toolTip(),
                 QString("/home/ann/.wine, /mnt/c/Windows/System32/config/SOFTWARE"));
        QCOMPARE(about->Label18->toolTip(), QString::fromStdString(data->path()));

        // A click on the notice opens the home page.
        QTest::mouseClick(about->Label6, Qt::LeftButton);
        QCOMPARE(desktop->urls, (std::vector<QString>{about->Label16->text()}));

        // Shown again, the one window comes back; Close destroys it, and the next showing is
        // filled afresh.
        window->mnuAbout->trigger();
        window->mnuAbout->trigger();
        QCOMPARE(window->findChildren<app::frmAbout*>().size(), qsizetype{1});
        QTest::mouseClick(about->Command1, Qt::LeftButton);
        QTRY_VERIFY(about.isNull());
        window->setRegistryDescription({});
        window->mnuAbout->trigger();
        auto shown = window->findChildren<app::frmAbout*>();
        QCOMPARE(shown.size(), qsizetype{1});
        QCOMPARE(shown.back()->Label17->toolTip(), QString("none could be read"));
    }
};

QTEST_MAIN(HelpAboutTest)
#include "HelpAboutTest.moc"
