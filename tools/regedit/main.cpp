// moxalo-regedit: the registry editor the program starts to back keys up and to bring them
// back, over the registry that the program reads.

#include "platform/ProgramFolder.h"
#include "platform/process/CommandLine.h"
#include "platform/registry/Utf16.h"
#include "tools/regedit/Actions.h"

#include <cstdlib>
#include <iostream>

using namespace moxalo;

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    regedit::ParsedArgs parsed = args.size() == 2 && args[0] == process::kCommandLineOption
                                     ? regedit::parseRegeditCommandLine(args[1])
                                     : regedit::parseRegeditArgs(args);
    if (parsed.help) {
        regedit::printUsage(std::cout);
        return 0;
    }
    if (parsed.error) {
        std::cerr << "moxalo-regedit: " << *parsed.error << "\n";
        regedit::printUsage(std::cerr);
        return 2;
    }
    const regedit::Request& request = *parsed.request;
    try {
        registry::ChosenRegistry chosen;
        try {
            chosen = registry::openChosenRegistry(
                request.sources, std::getenv, platform::programFolder(),
                request.action == regedit::Action::Export ? registry::Purpose::Read
                                                          : registry::Purpose::Write);
        } catch (const registry::AccessDenied& e) {
            if (request.action == regedit::Action::Export)
                throw regedit::Failure(e.what());
            throw regedit::Failure(request.file + ": not imported: " + e.what());
        } catch (const registry::StoreError& e) {
            throw regedit::Failure(e.what());
        }
        for (const auto& warning : chosen.warnings)
            std::cerr << "moxalo-regedit: warning: " << registry::displayText(warning) << "\n";
        registry::Registry& registry = *registry::mountedRegistry();
        if (request.action == regedit::Action::Export)
            regedit::exportKey(request, registry);
        else
            regedit::importFile(request, chosen, registry, std::cerr);
    } catch (const regedit::Failure& e) {
        std::cerr << "moxalo-regedit: " << registry::displayText(e.what()) << "\n";
        return 1;
    }
    // The stores hold every key of the registry; the system takes that memory back at once,
    // where freeing it key by key takes longer than a whole import. Every file is written.
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(0);
}
