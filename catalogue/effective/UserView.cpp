#include "catalogue/effective/UserViewImpl.h"
#include "registry/Attempt.h"
#include "registry/regedit/RegFileRoots.h"

#include <algorithm>

namespace moxalo::catalogue::effective {

namespace {

// A source that keeps owners gives the user's on the first choices; one that does not, on none
// of its thousands.
constexpr int kOwnersTried = 8;

Place rootPlace(const registry::KeyRef& ref, std::string_view name) {
    if (!ref)
        return {};
    return {ref.store, ref.key, std::string(name)};
}

// A .reg file's HKEY_CLASSES_ROOT is neither the user's nor the machine's: it keeps its name.
std::string_view classesName(const registry::ClassesLayer& layer) {
    if (layer.user)
        return kUserClasses;
    registry::RegistryStore& store = *layer.store;
    if (store.findChild(store.rootNode(), regfile::kClassesRoot) == layer.key)
        return kClassesRootShort;
    return kMachineClasses;
}

std::vector<Place> classesOf(const registry::Registry& registry, bool user) {
    std::vector<Place> places;
    for (const auto& layer : registry.layers())
        if (layer.user == user && layer.store != nullptr && layer.key != registry::kNoNode)
            places.push_back({layer.store, layer.key, std::string(classesName(layer))});
    return places;
}

// Owners such as SYSTEM or the Administrators group are no user's.
bool isUserSid(std::string_view sid) {
    return sid.starts_with("S-1-5-21-") || sid.starts_with("S-1-12-1-");
}

Place firstHolding(const std::vector<Place>& classes, std::string_view path) {
    for (const auto& classesKey : classes)
        if (Place found = classesKey.below(path))
            return found;
    return {};
}

} // namespace

UserView::Impl::Impl(registry::Registry& registry, const std::string& sidGiven)
    : registry(registry), userClasses(classesOf(registry, true)),
      machineClasses(classesOf(registry, false)),
      currentUser(rootPlace(registry.roots().currentUser, kCurrentUser)),
      userSoftware(currentUser.below("Software")),
      machineSoftware(rootPlace(registry.roots().machineSoftware, kMachineSoftware)),
      fileExts(currentUser.below(kFileExts)) {
    findSid(sidGiven);
    if (Place policy = machineSoftware.below(kPolicySystem)) {
        policyFile = policy.text(kPolicyValue);
        policyKey = policy.path;
    }
}

// The owner of a UserChoice key is the user who made the choice; a UsrClass.dat's root is
// named after its user; else the caller's word.
void UserView::Impl::findSid(const std::string& sidGiven) {
    int tried = 0;
    for (std::size_t i = 0, n = fileExts ? fileExts.store->childCount(fileExts.key) : 0;
         i < n && tried < kOwnersTried; ++i) {
        Place choice =
            fileExts.below(joinPath(fileExts.store->childName(fileExts.key, i), "UserChoice"));
        if (!choice)
            continue;
        ++tried;
        if (auto owner = choice.store->ownerSid(choice.key); owner && isUserSid(*owner)) {
            sid = *owner;
            sidFrom = "UserChoice owner";
            return;
        }
    }
    constexpr std::string_view kSuffix = "_Classes";
    for (const auto& classes : userClasses) {
        auto name = classes.store->rootName();
        if (name && name->size() > kSuffix.size() && name->ends_with(kSuffix) && isUserSid(*name)) {
            sid = name->substr(0, name->size() - kSuffix.size());
            sidFrom = "UsrClass.dat root";
            return;
        }
    }
    if (!sidGiven.empty()) {
        sid = sidGiven;
        sidFrom = "--sid";
    }
}

Place UserView::Impl::userClass(std::string_view path) const {
    return firstHolding(userClasses, path);
}

Place UserView::Impl::machineClass(std::string_view path) const {
    return firstHolding(machineClasses, path);
}

Place UserView::Impl::anyClass(std::string_view path) const {
    if (Place found = userClass(path))
        return found;
    return machineClass(path);
}

std::optional<ClassValue> UserView::Impl::classValue(std::string_view path,
                                                     std::string_view name) const {
    for (const auto* classes : {&userClasses, &machineClasses})
        for (const auto& classesKey : *classes)
            if (Place key = classesKey.below(path))
                if (auto text = key.text(name))
                    return ClassValue{*text, key};
    return std::nullopt;
}

const std::optional<AppPath>& UserView::Impl::appPath(const std::string& exe) {
    auto found = appPaths.find(exe);
    if (found != appPaths.end())
        return found->second;
    std::optional<AppPath> entry;
    for (const Place* software : {&userSoftware, &machineSoftware}) {
        Place key = software->below(joinPath(kAppPaths, exe));
        if (auto path = key.text(""); path && !path->empty() && !entry)
            entry = AppPath{*path, key.path};
    }
    return appPaths.emplace(exe, std::move(entry)).first->second;
}

UserView::UserView(registry::Registry& registry, std::string sidGiven)
    : impl_(std::make_unique<Impl>(registry, sidGiven)) {}

UserView::~UserView() = default;

const std::string& UserView::sid() const {
    return impl_->sid;
}

const std::string& UserView::sidFrom() const {
    return impl_->sidFrom;
}

namespace {

std::vector<UserView::Root> rootsOf(const std::vector<Place>& places) {
    std::vector<UserView::Root> roots;
    for (const auto& place : places)
        roots.push_back({place.store, place.key, place.path});
    return roots;
}

} // namespace

std::vector<UserView::Root> UserView::userClassesRoots() const {
    return rootsOf(impl_->userClasses);
}

std::vector<UserView::Root> UserView::machineClassesRoots() const {
    return rootsOf(impl_->machineClasses);
}

UserView::Root UserView::currentUserRoot() const {
    const Place& user = impl_->currentUser;
    return {user.store, user.key, user.path};
}

Result<std::vector<std::string>> UserView::extensions() {
    return registry::attempt([&] {
        std::vector<std::string> names;
        auto addDotted = [&](const Place& key) {
            for (auto& name : key.subkeyNames())
                if (name.starts_with('.'))
                    names.push_back(std::move(name));
        };
        registry::RegistryStore& view = impl_->registry.view();
        addDotted(Place{&view, impl_->registry.rootKey(), std::string(kClassesRootShort)});
        addDotted(impl_->fileExts);
        std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
            return registry::compareNames(a, b) < 0;
        });
        names.erase(
            std::unique(names.begin(), names.end(),
                        [](const auto& a, const auto& b) { return registry::sameName(a, b); }),
            names.end());
        return names;
    });
}

} // namespace moxalo::catalogue::effective
