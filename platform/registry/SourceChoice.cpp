#include "platform/registry/SourceChoice.h"

#include <filesystem>

namespace moxalo::registry {

namespace {

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = std::min(text.find(':', start), text.size());
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool holdsWineRegistry(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(folder) / "system.reg", ec);
}

SourceChoice choosePaths(const std::vector<std::string>& registryOptions, const Environment& env,
                         const std::string& programFolder) {
    if (!registryOptions.empty())
        return {registryOptions, "--registry", false};
    const char* listed = env("MOXALO_REGISTRY");
    if (listed != nullptr && *listed != '\0') {
        if (auto paths = splitList(listed); !paths.empty())
            return {paths, "MOXALO_REGISTRY", false};
    }
    const char* prefix = env("WINEPREFIX");
    if (prefix != nullptr && *prefix != '\0')
        return {{prefix}, "WINEPREFIX", false};
    const char* home = env("HOME");
    if (home != nullptr && *home != '\0' && holdsWineRegistry(std::string(home) + "/.wine"))
        return {{std::string(home) + "/.wine"}, "~/.wine", false};
    return {{bundledSamplePath(programFolder)}, "bundled sample", true};
}

} // namespace

std::string bundledSamplePath(const std::string& programFolder) {
    return programFolder + "/data/sample.reg";
}

SourceChoice chooseSources(const std::vector<std::string>& registryOptions, const Environment& env,
                           const std::string& programFolder, const std::string& codePageOption) {
    SourceChoice choice = choosePaths(registryOptions, env, programFolder);
    const char* variable = env("MOXALO_CODEPAGE");
    if (!codePageOption.empty()) {
        choice.codePage = codePageOption;
        choice.codePageChosenBy = "--code-page";
    } else if (variable != nullptr && *variable != '\0') {
        choice.codePage = variable;
        choice.codePageChosenBy = "MOXALO_CODEPAGE";
    }
    return choice;
}

} // namespace moxalo::registry
