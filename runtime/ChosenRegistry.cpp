#include "runtime/ChosenRegistry.h"

namespace moxalo::runtime {

using namespace registry;

Result<ChosenRegistry> openChosenRegistry(const SourceOptions& options, const Environment& env,
                                          const std::string& programFolder, Purpose purpose) {
    ChosenRegistry chosen;
    chosen.choice = chooseSources(options.registries, env, programFolder, options.codePage);
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

} // namespace moxalo::runtime
