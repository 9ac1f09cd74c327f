#pragma once
// The commands of moxalo-cli. Each writes its answer to `out`, its complaints to `err`, and
// returns the process's exit status.

#include "platform/registry/ChosenRegistry.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace moxalo::cli {

struct Invocation {
    registry::ChosenRegistry chosen;
    std::vector<std::string> args; // after the command's name
};

int runSources(const Invocation& inv, std::ostream& out, std::ostream& err);
int runQuery(const Invocation& inv, std::ostream& out, std::ostream& err);
int runList(const Invocation& inv, std::ostream& out, std::ostream& err);
int runDetails(const Invocation& inv, std::ostream& out, std::ostream& err);
int runSaveList(const Invocation& inv, std::ostream& out, std::ostream& err);

} // namespace moxalo::cli
