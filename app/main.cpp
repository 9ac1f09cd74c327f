// moxalo: the file types registered in a Windows registry, in a desktop window.

#include "app/MDIForm1.h"
#include "app/PickUser.h"
#include "app/ProgramIcon.h"
#include "gui/Texts.h"
#include "platform/advapi/RegistrySession.h"
#include "platform/ui/Desktop.h"
#include "runtime/ChosenRegistry.h"
#include "runtime/ProgramFolder.h"
#include "runtime/StandIns.h"

#include <QApplication>
#include <QFont>
#include <QTimer>
#include <cstdlib>
#include <iostream>

using namespace moxalo;

namespace {

bool haveDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

// The registry editor and the text editor the program starts read the same registry: it is
// named to them in their environment.
void passOn(const registry::SourceChoice& choice) {
    for (const auto& variable : runtime::passedOn(choice))
        qputenv(variable.name.c_str(), QByteArray::fromStdString(variable.value));
}

// What the window knows of the registry it reads: the Wine prefixes among the sources, under
// whose drives icons are found, and the sources as the About window names them.
struct OpenedRegistry {
    std::vector<std::string> winePrefixes;
    std::vector<std::string> description;
    QString problems; // what could not be read, told once the window is shown
};

// The registry the command line names, or the one the program finds; what cannot be read is
// told over the window, which shows what could be read.
OpenedRegistry openRegistry(const runtime::SourceOptions& options,
                            registry::RegistrySession& session) {
    OpenedRegistry opened;
    auto chosen = runtime::openChosenRegistry(options, std::getenv, runtime::programFolder());
    if (!chosen) {
        opened.problems = QString::fromStdString(chosen.error());
        return opened;
    }
    session.open(chosen->registry);
    for (const auto& source : chosen->sources) {
        if (source.kind == registry::SourceKind::WinePrefix)
            opened.winePrefixes.push_back(source.path);
    }
    opened.description = runtime::describeSources(*chosen);
    passOn(chosen->choice);
    if (chosen->warnings.empty())
        return opened;
    opened.problems = "Part of the registry could not be read:\n";
    for (const auto& warning : chosen->warnings)
        opened.problems += "\n" + QString::fromStdString(warning);
    return opened;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    runtime::SourceOptions options;
    if (auto read = runtime::readSourceArguments(args, options); !read) {
        std::cerr << "moxalo: " << read.error()
                  << "\nUsage: moxalo [--registry SOURCE]... [--code-page CP] [--user NAME] "
                     "[--sid SID] [SOURCE]...\n";
        return 2;
    }
    if (!haveDisplay()) {
        std::cerr << "moxalo: there is no display to open the window on (neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set).\n"
                     "Run it on a desktop or under xvfb-run, or use moxalo-cli, for example\n"
                     "  moxalo-cli list\n"
                     "  moxalo-cli details txt\n";
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle());
    // The windows were designed in MS Sans Serif 8.25 pt; where it is missing, the desktop's
    // sans-serif font stands in at that size.
    QFont font(QStringList{"MS Sans Serif", "Microsoft Sans Serif", "Sans Serif"});
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
    QApplication::setWindowIcon(app::ProgramIcon());
    ui::setStandIns(runtime::standIns(runtime::programFolder()));
    // Cancelled, the registry is opened all the same, and tells why it cannot be read.
    app::PickPartitionUser(options, std::getenv, runtime::programFolder());
    registry::RegistrySession session;
    registry::MountedSession mounted(session);
    auto opened = openRegistry(options, session);
    app::MDIForm1 window(runtime::dataFolder(), runtime::programFolder());
    window.setWinePrefixes(std::move(opened.winePrefixes));
    window.setRegistryDescription(std::move(opened.description));
    window.Startup();
    window.show();
    if (!opened.problems.isEmpty())
        QTimer::singleShot(0, &window, [&window, problems = opened.problems] {
            ui::desktop().MsgBox(&window, problems, ui::vbExclamation, AppTitle());
        });
    return app.exec();
}
