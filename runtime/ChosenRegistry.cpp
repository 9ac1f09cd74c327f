#include "runtime/ChosenRegistry.h"

namespace moxalo::runtime {

using namespace registry;

namespace {

ChosenRegistry open(const SourceOptions& options, const Environment& env,
                    const std::string& programFolder, Purpose purpose) {
    ChosenRegistry chosen;
    chosen.choice = chooseSources(options.registries, env, programFolder, options.codePage);
    if (purpose == Purpose::Write && !chosen.choice.bundledSample)
        chosen.writeLock = std::make_shared<SourceLock>(chosen.choice.paths);
    OpenedRegistry opened = openRegistry(chosen.choice);
    for (const auto& source : opened.sources)
        chosen.warnings.insert(chosen.warnings.end(), source.warnings.begin(),
                               source.warnings.end());
    chosen.sources = std::move(opened.sources);
    chosen.registry = std::move(opened.registry);
    return chosen;
}

} // namespace

Result<ChosenRegistry> openChosenRegistry(const SourceOptions& options, const Environment& env,
                                          const std::string& programFolder, Purpose purpose) {
    try {
        return open(options, env, programFolder, purpose);
    } catch (const AccessDenied& e) {
        return fail(e.what(), true);
    } catch (const StoreError& e) {
        return fail(e.what());
    }
}

} // namespace moxalo::runtime
