// Times the desktop program's scan: from showing the main window to the count caption, on
// the offscreen platform, for the registry named by --registry. Prints "ROWS SECONDS".

#include "app/MDIForm1.h"
#include "platform/registry/ChosenRegistry.h"
#include "views/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

using namespace moxalo;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<std::string> args(argv + 1, argv + argc);
    registry::SourceOptions options;
    std::optional<std::string> error;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        if (!registry::takeSourceOption(args, i, options, error))
            error = "unknown argument " + args[i];
    }
    if (error || options.registries.empty()) {
        std::fprintf(stderr, "usage: moxalo-bench-window --registry SOURCE\n");
        return 2;
    }
    QApplication app(argc, argv);
    try {
        registry::openChosenRegistry(options, std::getenv, ".");
    } catch (const registry::StoreError& e) {
        std::fprintf(stderr, "moxalo-bench-window: %s\n", e.what());
        return 1;
    }
    // A first start: no settings, so the list is filled at once, as a new user sees it.
    QTemporaryDir folder;
    app::MDIForm1 window(folder.path().toStdString());
    QElapsedTimer clock;
    double seconds = 0;
    QObject::connect(window.list, &views::frmMain::listLoaded, [&] {
        seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });
    clock.start();
    window.Startup();
    window.show();
    app.exec();
    std::printf("%zu %.3f\n", window.list->Rows().size(), seconds);
    return 0;
}
