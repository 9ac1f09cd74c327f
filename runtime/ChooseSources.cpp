#include "runtime/ChooseSources.h"

#include "base/PercentEncoding.h"

#include <filesystem>

namespace moxalo::runtime {

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

std::vector<std::string> decodeList(const std::string& text) {
    std::vector<std::string> paths = splitList(text);
    for (auto& path : paths)
        path = text::percentDecode(path);
    return paths;
}

// The paths a list variable names; none when it is unset or names none.
std::vector<std::string> listed(const Environment& env, const char* variable, bool encoded) {
    const char* value = env(variable);
    if (value == nullptr)
        return {};
    return encoded ? decodeList(value) : splitList(value);
}

bool holdsWineRegistry(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(folder) / "system.reg", ec);
}

SourceChoice choosePaths(const std::vector<std::string>& registryOptions, const Environment& env,
                         const std::string& programFolder) {
    if (!registryOptions.empty())
        return {registryOptions, "--registry", false};
    if (auto paths = listed(env, kPassedRegistry, true); !paths.empty())
        return {paths, kPassedRegistry, false};
    if (auto paths = listed(env, "MOXALO_REGISTRY", false); !paths.empty())
        return {paths, "MOXALO_REGISTRY", false};
    const char* prefix = env("WINEPREFIX");
    if (prefix != nullptr && *prefix != '\0')
        return {{prefix}, "WINEPREFIX", false};
    const char* home = env("HOME");
    if (home != nullptr && *home != '\0' && holdsWineRegistry(std::string(home) + "/.wine"))
        return {{std::string(home) + "/.wine"}, "~/.wine", false};
    SourceChoice sample{{bundledSamplePath(programFolder)}, "bundled sample", true};
    sample.readOnlyBecause = "the bundled sample registry is read-only";
    return sample;
}

std::string optionOr(const std::string& option, const Environment& env, const char* variable) {
    if (!option.empty())
        return option;
    const char* value = env(variable);
    return value == nullptr ? std::string() : std::string(value);
}

} // namespace

std::vector<EnvironmentVariable> passedOn(const SourceChoice& choice) {
    if (choice.bundledSample)
        return {};
    std::string paths;
    for (const auto& path : choice.paths)
        paths += (paths.empty() ? "" : ":") + text::percentEncode(path, ":");
    std::vector<EnvironmentVariable> variables{{kPassedRegistry, paths},
                                               {"MOXALO_CODEPAGE", choice.codePage}};
    if (!choice.user.empty())
        variables.push_back({kUserVariable, choice.user});
    if (!choice.sid.empty())
        variables.push_back({kSidVariable, choice.sid});
    return variables;
}

std::string bundledSamplePath(const std::string& programFolder) {
    return programFolder + "/data/sample.reg";
}

SourceChoice chooseSources(const SourceOptions& options, const Environment& env,
                           const std::string& programFolder) {
    SourceChoice choice = choosePaths(options.registries, env, programFolder);
    choice.holderKeyPrefix = kHolderKeyPrefix;
    const char* variable = env("MOXALO_CODEPAGE");
    if (!options.codePage.empty()) {
        choice.codePage = options.codePage;
        choice.codePageChosenBy = "--code-page";
    } else if (variable != nullptr && *variable != '\0') {
        choice.codePage = variable;
        choice.codePageChosenBy = "MOXALO_CODEPAGE";
    }
    choice.user = optionOr(options.user, env, kUserVariable);
    choice.sid = optionOr(options.sid, env, kSidVariable);
    return choice;
}

} // namespace moxalo::runtime
