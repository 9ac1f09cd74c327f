// Times the desktop program's scan, from showing the main window to the count caption, for the
// registry named by --registry; with --save-extended FILE, then the window's extended save of
// the list, with its bar and caption. Prints "ROWS SCAN_SECONDS [SAVE_SECONDS]". Offscreen
// unless QT_QPA_PLATFORM names a platform (xcb, under a window manager, which redraws the
// caption the save changes).

#include "app/MDIForm1.h"
#include "app/frmTB.h"
#include "export/modExport.h"
#include "platform/advapi/RegistrySession.h"
#include "runtime/ChosenRegistry.h"
#include "views/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

using namespace moxalo;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<std::string> args(argv + 1, argv + argc);
    runtime::SourceOptions options;
    bool understood = true;
    QString saveTo;
    for (std::size_t i = 0; i < args.size() && understood; ++i) {
        if (args[i] == "--save-extended" && i + 1 < args.size()) {
            saveTo = QString::fromStdString(args[++i]);
        } else {
            Result<bool> taken = runtime::takeSourceOption(args, i, options);
            understood = taken && *taken;
        }
    }
    if (!understood || options.registries.empty()) {
        std::fprintf(stderr,
                     "usage: moxalo-bench-window --registry SOURCE [--save-extended FILE]\n");
        return 2;
    }
    QApplication app(argc, argv);
    registry::RegistrySession session;
    registry::MountedSession mounted(session);
    auto chosen = runtime::openChosenRegistry(options, std::getenv, ".");
    if (!chosen) {
        std::fprintf(stderr, "moxalo-bench-window: %s\n", chosen.error().c_str());
        return 1;
    }
    session.open(chosen->registry);
    // A first start: no settings, so the list is filled at once, as a new user sees it.
    QTemporaryDir folder;
    app::MDIForm1 window(folder.path().toStdString());
    QElapsedTimer clock;
    double seconds = 0;
    // A loop of its own: the application's quit would close the window with its list.
    QEventLoop scanned;
    QObject::connect(window.list, &views::frmMain::listLoaded, [&] {
        seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        QTimer::singleShot(0, &scanned, &QEventLoop::quit);
    });
    clock.start();
    window.Startup();
    window.show();
    scanned.exec();
    std::printf("%zu %.3f", window.list->Rows().size(), seconds);
    if (!saveTo.isEmpty()) {
        // What File > Save List (Extended) runs once its file is chosen; its closing message
        // is answered at once.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        answer.start(5);
        clock.restart();
        exporting::Export_List_Extended(&window, window.tb->pBar1, window.list->ShownRows(),
                                        saveTo);
        std::printf(" %.3f", static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    std::printf("\n");
    return 0;
}
