#include "runtime/SourceOptions.h"

namespace moxalo::runtime {

Result<bool> takeSourceOption(const std::vector<std::string>& args, std::size_t& i,
                              SourceOptions& options) {
    const std::string& arg = args[i];
    if (arg == "--registry" || arg == "-r") {
        if (i + 1 >= args.size())
            return fail(arg + " needs a SOURCE");
        options.registries.push_back(args[++i]);
    } else if (arg.starts_with("--registry=")) {
        options.registries.push_back(arg.substr(11));
    } else if (arg == "--code-page" || arg.starts_with("--code-page=")) {
        bool joined = arg.size() > 11;
        options.codePage = joined ? arg.substr(12) : i + 1 < args.size() ? args[++i] : "";
        if (options.codePage.empty())
            return fail("--code-page needs a code page, as 1252");
    } else {
        return false;
    }
    return true;
}

Result<> readSourceArguments(const std::vector<std::string>& args, SourceOptions& options) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].empty())
            return fail("an empty argument names no registry source");
        if (!optionsEnded && args[i] == "--") {
            optionsEnded = true;
        } else if (optionsEnded || args[i][0] != '-') {
            options.registries.push_back(args[i]);
        } else if (Result<bool> taken = takeSourceOption(args, i, options); !taken) {
            return fail(taken.error());
        } else if (!*taken) {
            return fail("unknown argument \"" + args[i] + "\"");
        }
    }
    return {};
}

} // namespace moxalo::runtime
