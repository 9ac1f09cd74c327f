#pragma once
// Environments the tests hand the program in place of the process's own.

#include <functional>
#include <map>
#include <string>

namespace moxalo::testing {

// No variable is set.
inline const char* noVariables(const char*) {
    return nullptr;
}

// The variables as `vars` holds them when asked, changes made after included.
inline std::function<const char*(const char*)>
lookupIn(const std::map<std::string, std::string>& vars) {
    return [&vars](const char* name) -> const char* {
        auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    };
}

} // namespace moxalo::testing
