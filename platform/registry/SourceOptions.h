#pragma once
// The command-line options that name a registry, shared by every front end: --registry SOURCE
// (also -r SOURCE and --registry=SOURCE, repeatable) and --code-page CP (--code-page=CP).

#include <optional>
#include <string>
#include <vector>

namespace moxalo::registry {

struct SourceOptions {
    std::vector<std::string> registries; // in the order given
    std::string codePage;                // "" when not given
};

// Takes the option at args[i] into `options`, moving i past its value. False when args[i] is
// no such option; `error` says what is wrong with one that is.
bool takeSourceOption(const std::vector<std::string>& args, std::size_t& i, SourceOptions& options,
                      std::optional<std::string>& error);

} // namespace moxalo::registry
