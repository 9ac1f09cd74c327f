#include "platform/registry/SourceOptions.h"

namespace moxalo::registry {

bool takeSourceOption(const std::vector<std::string>& args, std::size_t& i, SourceOptions& options,
                      std::optional<std::string>& error) {
    const std::string& arg = args[i];
    if (arg == "--registry" || arg == "-r") {
        if (i + 1 >= args.size())
            error = arg + " needs a SOURCE";
        else
            options.registries.push_back(args[++i]);
    } else if (arg.starts_with("--registry=")) {
        options.registries.push_back(arg.substr(11));
    } else if (arg == "--code-page" || arg.starts_with("--code-page=")) {
        bool joined = arg.size() > 11;
        options.codePage = joined ? arg.substr(12) : i + 1 < args.size() ? args[++i] : "";
        if (options.codePage.empty())
            error = "--code-page needs a code page, as 1252";
    } else {
        return false;
    }
    return true;
}

} // namespace moxalo::registry
