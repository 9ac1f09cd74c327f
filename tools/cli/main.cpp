// moxalo-cli: the catalogue of registered file types without a window.

#include "platform/ProgramFolder.h"
#include "platform/registry/RegistryApi.h"
#include "tools/cli/Commands.h"

#include <cstdlib>
#include <iostream>
#include <map>

using namespace moxalo;

namespace {

using Command = int (*)(const cli::Invocation&, std::ostream&, std::ostream&);

const std::map<std::string, Command> kCommands = {
    {"sources", cli::runSources}, {"query", cli::runQuery},        {"list", cli::runList},
    {"details", cli::runDetails}, {"save-list", cli::runSaveList},
};

void printUsage(std::ostream& out) {
    out << "Usage: moxalo-cli [--registry SOURCE]... [--code-page CP] COMMAND [ARGS]\n"
           "\n"
           "Commands:\n"
           "  sources          which registry sources were chosen, and their kinds\n"
           "  query KEYPATH    a key of HKEY_CLASSES_ROOT with its values and subkeys\n"
           "  list [--format text|csv|json] [--open-with-only]\n"
           "                   every registered extension: extension, type name, whether it\n"
           "                   has an Open-With list (Yes/No), key path\n"
           "  details EXT [--format text|json]\n"
           "                   the registry details of one extension's type\n"
           "  save-list [--extended] [--open-with-only] FILE\n"
           "                   write the list file (with every extension's details)\n"
           "\n"
           "A SOURCE is a Wine prefix folder, a hive file (SOFTWARE, UsrClass.dat, NTUSER.DAT)\n"
           "or a regedit export (.reg). Without --registry: MOXALO_REGISTRY (sources separated\n"
           "by ':'), else $WINEPREFIX, else ~/.wine, else the bundled sample registry.\n"
           "CP is the Windows code page of 8-bit (REGEDIT4) .reg files, as 1251 or windows-1251;\n"
           "without --code-page: MOXALO_CODEPAGE, else 1252.\n";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> registryOptions;
    std::string codePage;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!rest.empty()) {
            rest.push_back(arg);
        } else if (arg == "--registry" || arg == "-r") {
            if (i + 1 >= argc) {
                std::cerr << "moxalo-cli: --registry needs a SOURCE\n";
                return 2;
            }
            registryOptions.push_back(argv[++i]);
        } else if (arg.starts_with("--registry=")) {
            registryOptions.push_back(arg.substr(11));
        } else if (arg == "--code-page" || arg.starts_with("--code-page=")) {
            bool joined = arg.size() > 11;
            codePage = joined ? arg.substr(12) : i + 1 < argc ? argv[++i] : "";
            if (codePage.empty()) {
                std::cerr << "moxalo-cli: --code-page needs a code page, as 1252\n";
                return 2;
            }
        } else if (arg == "--help" || arg == "-h") {
            printUsage(std::cout);
            return 0;
        } else {
            rest.push_back(arg);
        }
    }
    if (rest.empty()) {
        printUsage(std::cerr);
        return 2;
    }
    auto command = kCommands.find(rest.front());
    if (command == kCommands.end()) {
        std::cerr << "moxalo-cli: unknown command \"" << rest.front() << "\"\n";
        printUsage(std::cerr);
        return 2;
    }

    cli::Invocation inv;
    inv.args.assign(rest.begin() + 1, rest.end());
    inv.choice =
        registry::chooseSources(registryOptions, std::getenv, platform::programFolder(), codePage);
    try {
        inv.opened = registry::openRegistry(inv.choice);
    } catch (const registry::StoreError& e) {
        std::cerr << "moxalo-cli: " << e.what() << "\n";
        return 1;
    }
    for (const auto& source : inv.opened.sources) {
        for (const auto& warning : source.warnings)
            std::cerr << "moxalo-cli: warning: " << warning << "\n";
    }
    registry::mountRegistry(inv.opened.registry);
    return command->second(inv, std::cout, std::cerr);
}
