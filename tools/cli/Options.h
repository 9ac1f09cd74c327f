#pragma once
// The options of one command: flags, options with a value, and the remaining arguments.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace moxalo::cli {

struct ParsedOptions {
    std::set<std::string> flags;
    std::map<std::string, std::string> values;
    std::vector<std::string> positional;
    std::optional<std::string> error;
};

// `flags` take no value ("--extended"); `valued` take one ("--format csv" or "--format=csv").
ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::set<std::string>& flags,
                           const std::set<std::string>& valued);

} // namespace moxalo::cli
