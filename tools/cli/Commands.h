#pragma once
// The commands of moxalo-cli. Each writes its answer to `out`, its complaints to `err`, and
// returns the process's exit status.

#include "runtime/ChosenRegistry.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace moxalo::cli {

struct Invocation {
    runtime::SourceOptions sources; // as the command line named them
    runtime::ChosenRegistry chosen;
    std::vector<std::string> args; // after the command's name
};

// Problems met while the command ran (damaged keys the registry functions could not read): each
// is told, and the command fails, though it printed what it could read.
int ReportProblems(const std::vector<std::string>& problems, int status, std::ostream& err);

int runSources(const Invocation& inv, std::ostream& out, std::ostream& err);
int runQuery(const Invocation& inv, std::ostream& out, std::ostream& err);
int runList(const Invocation& inv, std::ostream& out, std::ostream& err);
int runDetails(const Invocation& inv, std::ostream& out, std::ostream& err);
int runSaveList(const Invocation& inv, std::ostream& out, std::ostream& err);
int runResolve(const Invocation& inv, std::ostream& out, std::ostream& err);
int runOpenWith(const Invocation& inv, std::ostream& out, std::ostream& err);
int runApps(const Invocation& inv, std::ostream& out, std::ostream& err);
int runAudit(const Invocation& inv, std::ostream& out, std::ostream& err);
int runWineExports(const Invocation& inv, std::ostream& out, std::ostream& err);
int runDiff(const Invocation& inv, std::ostream& out, std::ostream& err);
int runTimeline(const Invocation& inv, std::ostream& out, std::ostream& err);

} // namespace moxalo::cli
