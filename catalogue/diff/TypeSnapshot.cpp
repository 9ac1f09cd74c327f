#include "catalogue/diff/TypeSnapshot.h"

#include "catalogue/effective/KeyPaths.h"
#include "registry/Attempt.h"
#include "registry/Registry.h"

namespace moxalo::catalogue::diff {

using effective::Place;

namespace {

// The verb Windows runs on a double click, as the class itself says: the first of its default
// verbs that exists, else "open", else the first verb listed.
std::string defaultVerb(const Place& shell) {
    std::string listed = shell.text("").value_or("");
    for (std::size_t start = 0; start < listed.size();) {
        std::size_t end = std::min(listed.find(',', start), listed.size());
        std::string verb = listed.substr(start, end - start);
        verb.erase(0, verb.find_first_not_of(' '));
        if (!verb.empty() && shell.below(verb))
            return verb;
        start = end + 1;
    }
    if (shell.below("open"))
        return "open";
    std::vector<std::string> verbs = shell.subkeyNames();
    return verbs.empty() ? std::string() : verbs.front();
}

std::string openWithList(effective::UserView& view, const std::string& extension) {
    std::string list;
    for (const auto& candidate : registry::orStoreError(view.openWith(extension)))
        list += (list.empty() ? "" : ", ") + candidate.handler;
    return list;
}

// The name Windows shows for the default app, with the class it comes from.
std::string defaultApp(const effective::Association& a) {
    if (a.progId.empty())
        return a.defaultApp;
    return a.defaultApp.empty() ? a.progId : a.defaultApp + " (" + a.progId + ")";
}

TypeState readType(const Place& classesRoot, effective::UserView& view,
                   const std::string& extension) {
    TypeState type;
    type.extension = extension;
    Place extensionKey = classesRoot.below(extension);
    type[Aspect::ProgId] = extensionKey.text("").value_or("");
    const std::string& progId = type[Aspect::ProgId];
    Place typeKey = progId.empty() ? extensionKey : classesRoot.below(progId);
    if (!progId.empty())
        type[Aspect::TypeName] = typeKey.text("").value_or("");
    Place shell = typeKey.below("shell");
    type[Aspect::DefaultAction] = defaultVerb(shell);
    if (!type[Aspect::DefaultAction].empty())
        type[Aspect::Command] =
            shell.below(type[Aspect::DefaultAction] + "\\command").text("").value_or("");
    type[Aspect::Icon] = typeKey.below("DefaultIcon").text("").value_or("");
    type[Aspect::OpenWith] = openWithList(view, extension);
    type[Aspect::DefaultApp] = defaultApp(registry::orStoreError(view.resolve(extension)));
    return type;
}

} // namespace

std::string_view aspectText(Aspect aspect) {
    switch (aspect) {
    case Aspect::TypeName:
        return "type name";
    case Aspect::ProgId:
        return "ProgID";
    case Aspect::DefaultAction:
        return "default action";
    case Aspect::Command:
        return "command";
    case Aspect::Icon:
        return "icon";
    case Aspect::OpenWith:
        return "Open-With list";
    case Aspect::DefaultApp:
        return "default app";
    }
    return "";
}

Result<Snapshot> takeSnapshot(registry::Registry& registry, effective::UserView& view) {
    Result<std::vector<std::string>> extensions = view.extensions();
    if (!extensions)
        return fail(extensions.error());
    return registry::attempt([&] {
        Place classesRoot{&registry.view(), registry.rootKey(), "HKCR"};
        Snapshot snapshot;
        for (const std::string& extension : *extensions)
            snapshot.emplace(extension, readType(classesRoot, view, extension));
        return snapshot;
    });
}

} // namespace moxalo::catalogue::diff
