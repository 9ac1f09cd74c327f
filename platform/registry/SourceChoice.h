#pragma once
// Which registry the program reads, when the user names none: the option, the environment,
// the Wine prefix, the user's ~/.wine, and last the sample registry shipped with the program.
// Also the code page of 8-bit .reg files: the option, the environment, else Windows-1252.

#include <functional>
#include <string>
#include <vector>

namespace moxalo::registry {

struct SourceChoice {
    std::vector<std::string> paths;
    std::string
        chosenBy; // "--registry", "MOXALO_REGISTRY", "WINEPREFIX", "~/.wine", "bundled sample"
    bool bundledSample = false;
    std::string codePage = "1252";
    std::string codePageChosenBy = {}; // "--code-page", "MOXALO_CODEPAGE", or "" for the default
};

using Environment = std::function<const char*(const char*)>;

SourceChoice chooseSources(const std::vector<std::string>& registryOptions, const Environment& env,
                           const std::string& programFolder,
                           const std::string& codePageOption = {});
// Where the bundled sample registry sits for a program in `programFolder`.
std::string bundledSamplePath(const std::string& programFolder);

} // namespace moxalo::registry
