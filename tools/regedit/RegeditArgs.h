#pragma once
// The command lines the program starts the registry editor with, after Windows has split them
// into arguments (never a shell):
//   regedit /e "FILE" KEY    export KEY with its subtree; an empty KEY exports everything
//   regedit /I FILE          merge FILE into the registry (also /s FILE, or FILE alone)
// The program passes an import's FILE unquoted, and a KEY is never quoted, so a name with blanks
// arrives as several arguments: the arguments after the switch (after FILE for /e) are joined
// again with single blanks. Runs of blanks in such a name cannot be told apart from one.
// Before the switch, --registry SOURCE and --code-page CP may name the registry as moxalo-cli's
// do; without them MOXALO_REGISTRY and MOXALO_CODEPAGE tell.

#include "platform/registry/SourceOptions.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace moxalo::regedit {

enum class Action { Export, Import };

struct Request {
    Action action = Action::Import;
    std::string file;
    std::string key;     // for an export; "" for everything
    bool silent = false; // /s: no question is asked either way, as there is no window to ask in
    registry::SourceOptions sources;
};

struct ParsedArgs {
    std::optional<Request> request;
    std::optional<std::string> error; // a usage error
    bool help = false;
};

ParsedArgs parseRegeditArgs(const std::vector<std::string>& args);
void printUsage(std::ostream& out);

} // namespace moxalo::regedit
