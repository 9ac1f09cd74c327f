#pragma once
// The command-line options that name a registry, shared by every front end: --registry SOURCE
// (also -r SOURCE and --registry=SOURCE, repeatable), --code-page CP, and for a Windows
// partition --user NAME and --sid SID (each also as --option=VALUE).

#include "base/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace moxalo::runtime {

struct SourceOptions {
    std::vector<std::string> registries; // in the order given
    std::string codePage = {};           // "" when not given
    std::string user = {};               // whose hives a Windows partition gives, "" when not given
    std::string sid = {};                // the user's SID, "" when not given
};

// Whether `text` is a SID as Windows writes one: "S-1-", the authority, and one or more
// subauthorities, each a decimal number ("S-1-5-21-2290304894-658537038-505560459-1001").
bool isSidText(std::string_view text);

// Takes the option at args[i] into `options`, moving i past its value. False when args[i] is
// no such option; fails saying what is wrong with one that is.
Result<bool> takeSourceOption(const std::vector<std::string>& args, std::size_t& i,
                              SourceOptions& options);

// A command line of source options only, where a bare argument names a source too (as a file
// manager names the .reg file it opens the window with); after "--" every argument is one.
// Fails with what is wrong with it.
Result<> readSourceArguments(const std::vector<std::string>& args, SourceOptions& options);

} // namespace moxalo::runtime
