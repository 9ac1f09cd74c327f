#include "tools/cli/GlobalOptions.h"

#include <array>
#include <ostream>

namespace moxalo::cli {

namespace {

const std::array<CommandInfo, 5> kCommands{{
    {"sources", runSources, "", "  Which registry sources were chosen, why, and their kinds.\n"},
    {"query", runQuery, "KEYPATH",
     "  A key of HKEY_CLASSES_ROOT with its values and subkeys, as `reg query` shows them.\n"
     "  KEYPATH is relative to HKEY_CLASSES_ROOT: .txt, txtfile\\shell\\open.\n"},
    {"list", runList, "[--format text|csv|json] [--open-with-only]",
     "  Every registered extension: extension, type name, whether it has an Open-With list\n"
     "  (Yes/No) and key path. The text format separates them by TABs and writes a TAB,\n"
     "  CR or LF inside a name as \\t, \\r or \\n; csv and json carry every name exactly.\n"},
    {"details", runDetails, "EXT [--format text|json]",
     "  The registry details of one extension's type (EXT: txt or .txt), as the extended\n"
     "  list file carries them.\n"},
    {"save-list", runSaveList, "[--extended] [--open-with-only] FILE",
     "  Writes the list file, with every extension's details when --extended is given.\n"
     "  An existing FILE is replaced whole, never left half-written; a read-only one is kept.\n"},
}};

constexpr const char* kSourcesHelp =
    "Global options (before or after the command):\n"
    "  -r, --registry SOURCE   read SOURCE; may be given more than once\n"
    "      --code-page CP      the Windows code page of 8-bit (REGEDIT4) .reg files, as 1251\n"
    "                          or windows-1251; without it MOXALO_CODEPAGE, else 1252\n"
    "  -h, --help              this text, or with a command that command's help\n"
    "      --version           the program's version\n"
    "\n"
    "A SOURCE is a Wine prefix folder, a hive file (SOFTWARE, UsrClass.dat, NTUSER.DAT)\n"
    "or a regedit export (.reg). Without --registry: MOXALO_REGISTRY (sources separated\n"
    "by ':'), else $WINEPREFIX, else ~/.wine, else the bundled sample registry.\n";

const CommandInfo* findCommand(const std::string& name) {
    for (const auto& command : kCommands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

// Takes a global option at args[i], moving i past its value; false when it is none.
bool takeGlobal(const std::vector<std::string>& args, std::size_t& i, GlobalOptions& options) {
    const std::string& arg = args[i];
    if (registry::takeSourceOption(args, i, options.sources, options.error))
        return true;
    if (arg == "--help" || arg == "-h") {
        options.help = true;
    } else if (arg == "--version") {
        options.version = true;
    } else {
        return false;
    }
    return true;
}

} // namespace

GlobalOptions ParseGlobalOptions(const std::vector<std::string>& args) {
    GlobalOptions options;
    for (std::size_t i = 0; i < args.size() && !options.error; ++i) {
        if (args[i] == "--") {
            options.commandArgs.insert(options.commandArgs.end(), args.begin() + i, args.end());
            break;
        }
        if (takeGlobal(args, i, options))
            continue;
        if (options.command) {
            options.commandArgs.push_back(args[i]);
        } else if (args[i].starts_with("-") && args[i].size() > 1) {
            options.error = "unknown option " + args[i];
        } else if (!(options.command = findCommand(args[i]))) {
            options.error = "unknown command \"" + args[i] + "\"";
        }
    }
    return options;
}

void PrintUsage(std::ostream& out) {
    out << "Usage: moxalo-cli [--registry SOURCE]... COMMAND [ARGS]\n\nCommands:\n";
    for (const auto& command : kCommands) {
        out << "  " << command.name << (command.synopsis.empty() ? "" : " ") << command.synopsis
            << "\n"
            << command.description;
    }
    out << "\n" << kSourcesHelp;
}

void PrintCommandHelp(const CommandInfo& command, std::ostream& out) {
    out << "Usage: moxalo-cli [--registry SOURCE]... " << command.name
        << (command.synopsis.empty() ? "" : " ") << command.synopsis << "\n\n"
        << command.description << "\n"
        << kSourcesHelp;
}

} // namespace moxalo::cli
