#pragma once
// The command line of moxalo-cli: the global options, which may stand before or after the
// command, the command, and the arguments left for it.

#include "runtime/SourceOptions.h"
#include "tools/cli/Commands.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace moxalo::cli {

struct CommandInfo {
    std::string name;
    int (*run)(const Invocation&, std::ostream&, std::ostream&);
    std::string synopsis;    // what follows the name
    std::string description; // a few lines, each ending in "\n"
};

struct GlobalOptions {
    runtime::SourceOptions sources;
    bool help = false;
    bool version = false;
    const CommandInfo* command = nullptr;
    std::vector<std::string> commandArgs;
};

Result<GlobalOptions> ParseGlobalOptions(const std::vector<std::string>& args);
void PrintUsage(std::ostream& out);
void PrintVersion(std::ostream& out);
void PrintCommandHelp(const CommandInfo& command, std::ostream& out);

} // namespace moxalo::cli
