// moxalo-notepad FILE: shows a text file read-only, as the program's stand-in for Notepad.

#include "tools/notepad/NotepadWindow.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

using namespace moxalo;

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << "Usage: moxalo-notepad FILE\n";
        return 2;
    }
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0') &&
        (platform == nullptr || *platform == '\0')) {
        std::cerr << "moxalo-notepad: there is no display to open the window on\n";
        return 1;
    }
    // Qt is shown only the program's name, so that a piece of the path such as "-style" is
    // not taken for one of its options.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(notepad::kTitle);
    auto window =
        notepad::openFile(notepad::pathFromArguments(args), notepad::codePageFromEnvironment());
    if (!window)
        return 1;
    window->show();
    return app.exec();
}
