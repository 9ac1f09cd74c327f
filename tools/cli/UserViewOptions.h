#pragma once
// What the commands that resolve associations share: the user's view of the chosen registry,
// the extension as the user typed it, and the --format option.

#include "base/Result.h"
#include "catalogue/effective/Effective.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Options.h"

#include <initializer_list>
#include <memory>
#include <string>

namespace moxalo::cli {

// The view of the user the sources belong to, with the SID --sid gave when the hives tell none.
std::unique_ptr<catalogue::effective::UserView> OpenUserView(const Invocation& inv);

// ".txt" from "txt" or ".txt".
std::string DottedExtension(std::string extension);

// The --format given, "text" when none; a usage error when it is none of `accepted`.
Result<std::string> ChosenFormat(const ParsedOptions& options,
                                 std::initializer_list<const char*> accepted);

// The arguments of a command that answers as text or JSON.
struct ViewArguments {
    ParsedOptions options; // --format and the other options with values it takes
    std::string format;    // "text" or "json"
    std::string extension; // with its dot, when the command takes one
};
// Fails with a usage message naming `command` when an option is wrong, or the arguments are
// not one extension (`takesExtension`) or none.
Result<ViewArguments> ParseViewArguments(const std::vector<std::string>& args,
                                         const std::string& command, bool takesExtension,
                                         std::set<std::string> valued = {});

// The arguments of a report (list, audit, timeline): none but options, --format one of
// `formats`, --label, and the command's own `flags` and `valued`.
struct ReportArguments {
    ParsedOptions options;
    std::string format;
};
Result<ReportArguments> ParseReportArguments(const std::vector<std::string>& args,
                                             const std::string& command,
                                             std::initializer_list<const char*> formats,
                                             const std::set<std::string>& flags = {},
                                             std::set<std::string> valued = {});

} // namespace moxalo::cli
