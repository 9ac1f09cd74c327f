#include "runtime/SourceOptions.h"

namespace moxalo::runtime {

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

Result<> readSourceArguments(const std::vector<std::string>& args, SourceOptions& options) {
    std::optional<std::string> error;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        if (args[i].empty()) {
            error = "an empty argument names no registry source";
        } else if (!optionsEnded && args[i] == "--") {
            optionsEnded = true;
        } else if (optionsEnded || args[i][0] != '-') {
            options.registries.push_back(args[i]);
        } else if (!takeSourceOption(args, i, options, error)) {
            error = "unknown argument \"" + args[i] + "\"";
        }
    }
    if (error)
        return fail(*error);
    return {};
}

} // namespace moxalo::runtime
