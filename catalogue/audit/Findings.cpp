#include "catalogue/audit/AuditWalk.h"

namespace moxalo::catalogue::audit {

using effective::Place;

void Findings::add(Finding finding, std::string program) {
    std::string identity = finding.rule + '\n' + finding.key + '\n' + finding.valueName;
    if (seen_.insert(std::move(identity)).second)
        gathered_.push_back({std::move(finding), std::move(program)});
}

Finding findingAt(Severity severity, std::string_view rule, const std::string& type,
                  const Place& key, std::string valueName, std::string value, std::string why) {
    Finding f;
    f.severity = severity;
    f.rule = rule;
    f.type = type;
    f.key = key.path;
    f.valueName = std::move(valueName);
    f.value = std::move(value);
    f.why = std::move(why);
    return f;
}

namespace {

// Classes without a key are none read: where no source holds classes, the registry stands an
// empty store in for them, and a ProgID missing from it is not missing from the machine.
std::vector<Place> placesOf(const std::vector<effective::UserView::Root>& roots) {
    std::vector<Place> places;
    for (const auto& root : roots)
        if (root.store->childCount(root.key) > 0)
            places.push_back({root.store, root.key, root.path});
    return places;
}

// The path below `root`, when `path` is below it.
std::optional<std::string_view> pathBelow(const Place& root, std::string_view path) {
    if (!root || !path.starts_with(root.path))
        return std::nullopt;
    std::string_view rest = path.substr(root.path.size());
    if (rest.empty() || rest.front() == '\\')
        return rest.substr(rest.empty() ? 0 : 1);
    return std::nullopt;
}

} // namespace

KeyFinder::KeyFinder(const effective::UserView& view)
    : userClasses_(placesOf(view.userClassesRoots())),
      machineClasses_(placesOf(view.machineClassesRoots())) {
    auto user = view.currentUserRoot();
    currentUser_ = {user.store, user.key, user.path};
}

KeyFinder::Found KeyFinder::find(std::string_view path) const {
    for (const auto& [roots, owner] :
         {std::pair{&userClasses_, Owner::User}, std::pair{&machineClasses_, Owner::Machine}})
        for (const Place& root : *roots)
            if (auto rest = pathBelow(root, path))
                if (Place key = root.below(*rest))
                    return {key, owner, std::string(*rest)};
    if (auto rest = pathBelow(currentUser_, path))
        return {currentUser_.below(*rest), Owner::User, std::string(*rest)};
    return {};
}

Place KeyFinder::anyClass(std::string_view path) const {
    for (const auto* roots : {&userClasses_, &machineClasses_})
        for (const Place& root : *roots)
            if (Place key = root.below(path))
                return key;
    return {};
}

// A key a reader makes up on a path (a Wine file's roots, keys without values) has no time: a
// few of the keys below tell as well.
bool KeyFinder::keepsTimes() const {
    constexpr std::size_t kKeysTried = 64;
    auto timed = [](const Place& root) {
        if (!root)
            return false;
        std::vector<registry::NodeId> queue{root.key};
        for (std::size_t i = 0; i < queue.size() && i < kKeysTried; ++i) {
            if (root.store->lastWritten(queue[i]))
                return true;
            for (std::size_t c = 0, n = root.store->childCount(queue[i]);
                 c < n && queue.size() < kKeysTried; ++c)
                queue.push_back(root.store->childAt(queue[i], c));
        }
        return false;
    };
    for (const auto* roots : {&userClasses_, &machineClasses_})
        for (const Place& root : *roots)
            if (timed(root))
                return true;
    return timed(currentUser_);
}

} // namespace moxalo::catalogue::audit
