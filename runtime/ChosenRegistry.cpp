#include "runtime/ChosenRegistry.h"

namespace moxalo::runtime {

using namespace registry;

Result<ChosenRegistry> openChosenRegistry(const SourceOptions& options, const Environment& env,
                                          const std::string& programFolder, Purpose purpose) {
    ChosenRegistry chosen;
    chosen.choice = chooseSources(options, env, programFolder);
    // --sid was checked as it was read; the variable is only now.
    if (!chosen.choice.sid.empty() && !isSidText(chosen.choice.sid))
        return fail(std::string(kSidVariable) + ": \"" + chosen.choice.sid +
                    "\" is not a SID, as S-1-5-21-1004336348-1177238915-682003330-1001");
    if (purpose == Purpose::Write && !chosen.choice.bundledSample) {
        Result<std::unique_ptr<SourceLock>> lock = SourceLock::take(chosen.choice.paths);
        if (!lock)
            return fail(lock.error(), true);
        chosen.writeLock = std::move(*lock);
    }
    Result<OpenedRegistry> opened = openRegistry(chosen.choice);
    if (!opened)
        return fail(opened.error(), opened.accessDenied());
    for (const auto& source : opened->sources)
        chosen.warnings.insert(chosen.warnings.end(), source.warnings.begin(),
                               source.warnings.end());
    chosen.sources = std::move(opened->sources);
    chosen.registry = std::move(opened->registry);
    return chosen;
}

std::vector<std::string> describeSources(const ChosenRegistry& chosen) {
    std::vector<std::string> described;
    for (const auto& source : chosen.sources) {
        std::string line =
            chosen.choice.bundledSample ? "the bundled sample, " + source.path : source.path;
        if (!source.state.empty())
            line += " (" + source.state + ")";
        described.push_back(std::move(line));
    }
    return described;
}

std::optional<UserQuestion> needsUser(const SourceOptions& options, const Environment& env,
                                      const std::string& programFolder) {
    return userToChoose(chooseSources(options, env, programFolder));
}

} // namespace moxalo::runtime
