#pragma once
// What a UserView keeps between questions: the places every resolution starts from, found
// once, and the answers many extensions share (App Paths, the applications' declared types).

#include "base/NameFold.h"
#include "catalogue/effective/Effective.h"
#include "catalogue/effective/KeyPaths.h"

#include <map>
#include <optional>
#include <unordered_map>

namespace moxalo::catalogue::effective {

template <typename T>
using NameMap = std::unordered_map<std::string, T, registry::NameHash, registry::SameName>;

// A value found in one of the classes, with the place that holds it.
struct ClassValue {
    std::string text;
    Place place;
};

// An exe's entry under App Paths: the path it gives and the key giving it.
struct AppPath {
    std::string path;
    std::string key;
};

struct UserView::Impl {
    registry::Registry& registry;
    std::string sid, sidFrom;
    std::vector<Place> userClasses, machineClasses; // in order of precedence
    Place currentUser, userSoftware, machineSoftware, fileExts;
    NameMap<std::optional<AppPath>> appPaths; // by exe name, each looked up once
    std::optional<std::vector<RegisteredApp>> apps;
    std::optional<NameMap<std::vector<Candidate>>> supportedTypes; // by extension
    // The file of default associations a policy applies at sign-in, and the key naming it.
    std::optional<std::string> policyFile;
    std::string policyKey;

    Impl(registry::Registry& registry, const std::string& sidGiven);

    // The class key at `path` in the first classes that hold it: the user's, then the machine's.
    Place userClass(std::string_view path) const;
    Place machineClass(std::string_view path) const;
    Place anyClass(std::string_view path) const;
    // The value from the first classes whose key at `path` has it, as HKEY_CLASSES_ROOT merges
    // the user's keys with the machine's value by value.
    std::optional<ClassValue> classValue(std::string_view path, std::string_view name) const;
    bool classExists(std::string_view progId) const { return static_cast<bool>(anyClass(progId)); }
    // The path App Paths gives an exe name (HKCU before HKLM), or nothing.
    const std::optional<AppPath>& appPath(const std::string& exe);
    const std::vector<RegisteredApp>& registeredApps();
    // The applications (HKCR\Applications\<exe>) whose SupportedTypes name each extension.
    const NameMap<std::vector<Candidate>>& applicationsByType();

private:
    void findSid(const std::string& sidGiven);
};

} // namespace moxalo::catalogue::effective
