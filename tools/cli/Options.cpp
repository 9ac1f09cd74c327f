#include "tools/cli/Options.h"

namespace moxalo::cli {

ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::set<std::string>& flags,
                           const std::set<std::string>& valued) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name = arg.substr(0, arg.find('='));
        if (arg == "--") {
            parsed.positional.insert(parsed.positional.end(), args.begin() + i + 1, args.end());
            break;
        } else if (flags.count(arg)) {
            parsed.flags.insert(arg);
        } else if (valued.count(name) && name != arg) {
            parsed.values[name] = arg.substr(name.size() + 1);
        } else if (valued.count(arg)) {
            if (i + 1 >= args.size()) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            parsed.values[arg] = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
            return parsed;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

} // namespace moxalo::cli
