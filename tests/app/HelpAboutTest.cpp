// The Help menu and the About window: the help file or the question for the online pages, the
// web pages each command opens, and what the About window shows.

#include "app/MDIForm1.h"
#include "app/frmAbout.h"
#include "tests/support/TestRegistry.h"
#include "tests/windows/ClassesFixture.h"
#include "tests/windows/RecordingDesktop.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <filesystem>

using namespace moxalo;
using namespace moxalo::testing;

namespace {

const QString kQuestion =
    "Help files not present, would you like\r\nto view the online support files instead?";

QUrl onlyUrl(const RecordingDesktop& desktop) {
    return desktop.urls.size() == 1 ? QUrl(desktop.urls.front()) : QUrl();
}

} // namespace

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
        QCOMPARE(desktop->messages[0].text, kQuestion);
        QCOMPARE(desktop->messages[0].style, 36);
        QCOMPARE(desktop->messages[0].title, QString("Moxalo"));
        QVERIFY(desktop->urls.empty());

        window->mnuContents->trigger();
        QCOMPARE(desktop->messages.size(), std::size_t{2});
        QUrl support = onlyUrl(*desktop);
        QCOMPARE(support.scheme(), QString("https"));
        QCOMPARE(support.path(), QString("/"));
        QCOMPARE(support.query(), QString("mode=Products&p=moxalo"));
    }

    void theHelpFileOpensWithoutAQuestionOrAsPagesWhereNoViewerIs() {
        writeFile(program->file("help.chm"), "ITSF");
        window->mnuContents->trigger();
        QVERIFY(desktop->messages.empty());
        QCOMPARE(desktop->urls,
                 (std::vector<QString>{QString::fromStdString(program->file("help.chm"))}));

        // No CHM viewer: the same pages as HTML, in the browser, when they are there.
        desktop->canOpen = false;
        desktop->urls.clear();
        window->mnuContents->trigger();
        QCOMPARE(desktop->urls,
                 (std::vector<QString>{QString::fromStdString(program->file("help.chm"))}));
        std::filesystem::create_directory(program->file("help"));
        writeFile(program->file("help/index.html"), "<html></html>");
        desktop->urls.clear();
        window->mnuContents->trigger();
        QCOMPARE(desktop->urls,
                 (std::vector<QString>{QString::fromStdString(program->file("help/index.html"))}));
        QVERIFY(desktop->messages.empty());
    }

    void aboutShowsTheVersionMakerRegistryAndDataFolderAndIsNotModal() {
        window->mnuAbout->trigger();
        QPointer<app::frmAbout> about = shownAbout();
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QString("About"));
        QVERIFY(!about->isModal());
        QCOMPARE(about->Label13->text(), QString(MOXALO_VERSION));
        QUrl home(about->Label16->text());
        QCOMPARE(home.scheme(), QString("https"));
        QVERIFY(home.path().isEmpty() || home.path() == "/");
        QCOMPARE(about->Label17->toolTip(),
                 QString("/home/ann/.wine, /mnt/c/Windows/System32/config/SOFTWARE"));
        QCOMPARE(about->Label18->toolTip(), QString::fromStdString(data->path()));

        // The notice names the licence, whole on its one line; a click on it opens the home page,
        // which is neither the support page nor its host's.
        QVERIFY(about->Label6->text().endsWith("GNU GPL version 3 or later."));
        // A label grows to its text, so a longer notice would run out of the window.
        QVERIFY(about->rect().contains(about->Label6->geometry()));
        QTest::mouseClick(about->Label6, Qt::LeftButton);
        QCOMPARE(desktop->urls, (std::vector<QString>{about->Label16->text()}));
        window->mnuHome->trigger();
        QVERIFY(QUrl(desktop->urls.back()).host() != home.host());

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
