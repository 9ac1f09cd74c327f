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

} // namespace moxalo::cli
