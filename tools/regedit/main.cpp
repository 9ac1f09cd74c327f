// moxalo-regedit: the registry editor the program starts to back keys up and to bring them
// back, over the registry that the program reads.

#include "runtime/ProgramFolder.h"
#include "tools/regedit/Actions.h"

#ifdef MOXALO_REGEDIT_WINDOWS
#include "tools/regedit/MessageBoxVoice.h"

#include <QApplication>
#endif

#include <cstdlib>
#include <iostream>
#include <memory>

using namespace moxalo;

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    auto voice = std::make_unique<regedit::Voice>();
#ifdef MOXALO_REGEDIT_WINDOWS
    std::unique_ptr<QApplication> application;
    if (regedit::onDesktop()) {
        application = std::make_unique<QApplication>(argc, argv);
        voice = std::make_unique<regedit::MessageBoxVoice>();
    }
#endif
    int status =
        regedit::run(args, std::getenv, runtime::programFolder(), *voice, std::cout, std::cerr);
    // The stores hold every key of the registry; the system takes that memory back at once,
    // where freeing it key by key takes longer than a whole import. Every file is written.
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(status);
}
