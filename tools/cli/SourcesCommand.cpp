#include "tools/cli/Commands.h"

#include <ostream>

namespace moxalo::cli {

int runSources(const Invocation& inv, std::ostream& out, std::ostream& err) {
    if (!inv.args.empty()) {
        err << "moxalo-cli: sources takes no arguments\n";
        return 2;
    }
    out << "Chosen by: " << inv.chosen.choice.chosenBy << "\n";
    for (const auto& source : inv.chosen.sources) {
        out << registry::describeKind(source.kind) << "\t" << source.path;
        if (inv.chosen.choice.bundledSample)
            out << "\t(read-only)";
        if (!source.state.empty())
            out << "\t(" << source.state << ")";
        out << "\n";
    }
    return 0;
}

} // namespace moxalo::cli
