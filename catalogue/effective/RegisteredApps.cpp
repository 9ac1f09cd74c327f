#include "catalogue/effective/UserViewImpl.h"
#include "registry/Attempt.h"

namespace moxalo::catalogue::effective {

namespace {

constexpr std::string_view kSoftware = "Software\\";
constexpr std::string_view kClasses = "Classes\\";

bool startsWithName(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           registry::sameName(text.substr(0, prefix.size()), prefix);
}

struct Scope {
    std::string_view name;
    const Place& software;
    const std::vector<Place>& classes;
};

// The Capabilities key a RegisteredApplications value names from the hive's root. Below
// Software\Classes it lies in the classes (a UsrClass.dat for the user).
Place capabilitiesOf(const Scope& scope, std::string_view path) {
    if (startsWithName(path, kSoftware))
        path.remove_prefix(kSoftware.size());
    if (startsWithName(path, kClasses)) {
        for (const auto& classes : scope.classes)
            if (Place found = classes.below(path.substr(kClasses.size())))
                return found;
        return {};
    }
    return scope.software.below(path);
}

std::vector<RegisteredApp::Claim> claims(const Place& capabilities, std::string_view kind) {
    std::vector<RegisteredApp::Claim> list;
    Place key = capabilities.below(kind);
    for (auto& name : key.valueNames())
        list.push_back({name, key.text(name).value_or("")});
    return list;
}

RegisteredApp appOf(const Scope& scope, std::string name, std::string path) {
    RegisteredApp app;
    app.name = std::move(name);
    app.capabilitiesKey = std::move(path);
    app.scope = scope.name;
    Place capabilities = capabilitiesOf(scope, app.capabilitiesKey);
    app.applicationName = capabilities.text("ApplicationName").value_or("");
    app.description = capabilities.text("ApplicationDescription").value_or("");
    app.hidden = capabilities.number("Hidden").value_or(0) != 0;
    app.files = claims(capabilities, "FileAssociations");
    app.urls = claims(capabilities, "URLAssociations");
    app.mimeTypes = claims(capabilities, "MIMEAssociations");
    return app;
}

} // namespace

const std::vector<RegisteredApp>& UserView::Impl::registeredApps() {
    if (apps)
        return *apps;
    std::vector<RegisteredApp> found;
    for (const Scope& scope : {Scope{"HKLM", machineSoftware, machineClasses},
                               Scope{"HKCU", userSoftware, userClasses}}) {
        Place registered = scope.software.below(kRegisteredApplications);
        for (auto& name : registered.valueNames())
            if (auto path = registered.text(name); path && !path->empty())
                found.push_back(appOf(scope, name, *path));
    }
    return apps.emplace(std::move(found));
}

Result<std::vector<RegisteredApp>> UserView::registeredApps() {
    return registry::attempt([&] { return impl_->registeredApps(); });
}

} // namespace moxalo::catalogue::effective
