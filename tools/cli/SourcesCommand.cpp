#include "tools/cli/Commands.h"

#include <ostream>

namespace moxalo::cli {

namespace {

std::string listed(const std::vector<std::string>& names) {
    if (names.empty())
        return "(none)";
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

} // namespace

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
        if (source.kind == registry::SourceKind::WindowsPartition)
            out << "\tuser: " << (source.user.empty() ? "(none)" : source.user)
                << "\tusers: " << listed(source.users);
        if (!source.state.empty())
            out << "\t(" << source.state << ")";
        out << "\n";
    }
    return 0;
}

} // namespace moxalo::cli
