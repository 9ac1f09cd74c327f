#pragma once
// The command-line options that name a registry, shared by every front end: --registry SOURCE
// (also -r SOURCE and --registry=SOURCE, repeatable) and --code-page CP (--code-page=CP).

#include "base/Result.h"

#include <string>
#include <vector>

namespace moxalo::runtime {

struct SourceOptions {
    std::vector<std::string> registries; // in the order given
    std::string codePage;                // "" when not given
};

// Takes the option at args[i] into `options`, moving i past its value. False when args[i] is
// no such option; fails saying what is wrong with one that is.
Result<bool> takeSourceOption(const std::vector<std::string>& args, std::size_t& i,
                              SourceOptions& options);

// A command line of source options only, where a bare argument names a source too (as a file
// manager names the .reg file it opens the window with); after "--" every argument is one.
// Fails with what is wrong with it.
Result<> readSourceArguments(const std::vector<std::string>& args, SourceOptions& options);

} // namespace moxalo::runtime
