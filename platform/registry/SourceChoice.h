#pragma once
// Which registry the program reads, when the user names none: the option, the environment,
// the Wine prefix, the user's ~/.wine, and last the sample registry shipped with the program.

#include <functional>
#include <string>
#include <vector>

namespace moxalo::registry {

struct SourceChoice {
    std::vector<std::string> paths;
    std::string
        chosenBy; // "--registry", "MOXALO_REGISTRY", "WINEPREFIX", "~/.wine", "bundled sample"
    bool bundledSample = false;
};

using Environment = std::function<const char*(const char*)>;

SourceChoice chooseSources(const std::vector<std::string>& registryOptions, const Environment& env,
                           const std::string& programFolder);
// Where the bundled sample registry sits for a program in `programFolder`.
std::string bundledSamplePath(const std::string& programFolder);

} // namespace moxalo::registry
