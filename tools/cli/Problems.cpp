#include "base/Utf16.h"
#include "tools/cli/Commands.h"

#include <ostream>

namespace moxalo::cli {

int ReportProblems(const std::vector<std::string>& problems, int status, std::ostream& err) {
    for (const auto& problem : problems)
        err << "moxalo-cli: " << text::displayText(problem) << "\n";
    return problems.empty() || status != 0 ? status : 1;
}

} // namespace moxalo::cli
