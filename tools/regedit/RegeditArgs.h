#pragma once
// The command lines the program starts the registry editor with, after Windows has split them
// into arguments (never a shell):
//   regedit /e "FILE" KEY    export KEY with its subtree; an empty KEY exports everything
//   regedit /I FILE          merge FILE into the registry (also /s FILE, or FILE alone)
// The program passes an import's FILE unquoted, and a KEY is never quoted. It starts the
// stand-in with --command-line and the line after "regedit" as it is, read here as regedit reads
// its own: FILE of /e split by Windows' rules, and the rest of the line as KEY, or after /I as
// FILE, whatever blanks or quotes it holds. Started with the arguments already split (by a user's
// shell), the arguments after the switch (after FILE for /e) are joined again with single blanks.
// Before the switch, --registry SOURCE and --code-page CP may name the registry as moxalo-cli's
// do; without them MOXALO_REGISTRY and MOXALO_CODEPAGE tell.

#include "runtime/SourceOptions.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::regedit {

enum class Action { Export, Import };

struct Request {
    Action action = Action::Import;
    std::string file;
    std::string key;     // for an export; "" for everything
    bool silent = false; // /s: no question is asked either way, as there is no window to ask in
    runtime::SourceOptions sources;
};

struct ParsedArgs {
    std::optional<Request> request; // none when help is asked for
    bool help = false;
};

// Both fail with the usage error.
Result<ParsedArgs> parseRegeditArgs(const std::vector<std::string>& args);
// The rest of a Windows command line after the program's name.
Result<ParsedArgs> parseRegeditCommandLine(std::string_view tail);
void printUsage(std::ostream& out);

} // namespace moxalo::regedit
