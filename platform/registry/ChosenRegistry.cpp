#include "platform/registry/ChosenRegistry.h"

namespace moxalo::registry {

ChosenRegistry openChosenRegistry(const SourceOptions& options, const Environment& env,
                                  const std::string& programFolder) {
    ChosenRegistry chosen;
    chosen.choice = chooseSources(options.registries, env, programFolder, options.codePage);
    OpenedRegistry opened = openRegistry(chosen.choice);
    for (const auto& source : opened.sources)
        chosen.warnings.insert(chosen.warnings.end(), source.warnings.begin(),
                               source.warnings.end());
    chosen.sources = std::move(opened.sources);
    mountRegistry(std::move(opened.registry));
    return chosen;
}

} // namespace moxalo::registry
