#include "tools/cli/Options.h"

#include <ostream>

namespace moxalo::cli {

Result<ParsedOptions> ParseOptions(const std::vector<std::string>& args,
                                   const std::set<std::string>& flags,
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
            if (i + 1 >= args.size())
                return fail(arg + " needs a value");
            parsed.values[arg] = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg);
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

int UsageError(std::ostream& err, const std::string& message) {
    err << "moxalo-cli: " << message << "\n";
    return 2;
}

} // namespace moxalo::cli
