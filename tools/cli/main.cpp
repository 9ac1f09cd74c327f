// moxalo-cli: the catalogue of registered file types without a window.

#include "base/Utf16.h"
#include "platform/advapi/RegistrySession.h"
#include "runtime/ProgramFolder.h"
#include "tools/cli/Commands.h"
#include "tools/cli/GlobalOptions.h"

#include <cstdlib>
#include <iostream>

using namespace moxalo;

int main(int argc, char** argv) {
    // Lists run to thousands of lines; the streams buffer them themselves rather than pass each
    // piece to C's stdio. Nothing here writes through stdio.
    std::ios::sync_with_stdio(false);
    Result<cli::GlobalOptions> parsed =
        cli::ParseGlobalOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed) {
        std::cerr << "moxalo-cli: " << parsed.error() << "\n";
        cli::PrintUsage(std::cerr);
        return 2;
    }
    cli::GlobalOptions& options = *parsed;
    if (options.version) {
        cli::PrintVersion(std::cout);
        return 0;
    }
    if (options.help) {
        options.command ? cli::PrintCommandHelp(*options.command, std::cout)
                        : cli::PrintUsage(std::cout);
        return 0;
    }
    if (!options.command) {
        cli::PrintUsage(std::cerr);
        return 2;
    }

    cli::Invocation inv;
    inv.args = std::move(options.commandArgs);
    inv.sources = options.sources;
    registry::RegistrySession session;
    registry::MountedSession mounted(session);
    auto chosen =
        runtime::openChosenRegistry(options.sources, std::getenv, runtime::programFolder());
    if (!chosen) {
        std::cerr << "moxalo-cli: " << chosen.error() << "\n";
        return 1;
    }
    inv.chosen = std::move(*chosen);
    session.open(inv.chosen.registry);
    for (const auto& warning : inv.chosen.warnings)
        std::cerr << "moxalo-cli: warning: " << text::displayText(warning) << "\n";
    int status = cli::ReportProblems(session.takeProblems(),
                                     options.command->run(inv, std::cout, std::cerr), std::cerr);
    // The stores hold every key of the registry; the system takes that memory back at once,
    // where freeing it key by key takes a good part of a list. Every file is written by now.
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(status);
}
