#pragma once
// The options of one command: flags, options with a value, and the remaining arguments.

#include "base/Result.h"

#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace moxalo::cli {

struct ParsedOptions {
    std::set<std::string> flags;
    std::map<std::string, std::string> values;
    std::vector<std::string> positional;
};

// `flags` take no value ("--extended"); `valued` take one ("--format csv" or "--format=csv").
Result<ParsedOptions> ParseOptions(const std::vector<std::string>& args,
                                   const std::set<std::string>& flags,
                                   const std::set<std::string>& valued);

// Tells a wrong use of a command on `err`; gives the exit status for it, 2.
int UsageError(std::ostream& err, const std::string& message);

} // namespace moxalo::cli
