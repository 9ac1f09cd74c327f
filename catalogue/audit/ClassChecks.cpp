// The classes walked whole: every class of the user's (any of them can shadow the machine's), and
// the machine's classes that start programs or elevate them.

#include "base/NameFold.h"
#include "catalogue/audit/AuditWalk.h"
#include "catalogue/audit/Kinds.h"
#include "catalogue/audit/Rules.h"

namespace moxalo::catalogue::audit {

using effective::joinPath;
using effective::Place;

namespace {

// Keys whose subkeys are classes of their own.
constexpr std::string_view kNestedClasses[] = {"Applications", "SystemFileAssociations"};

// What a verb's command key runs, as a report shows it: the line, else the COM class.
std::pair<std::string, std::string> commandValue(const Place& command) {
    if (auto line = command.text(""); line && !line->empty())
        return {"", *line};
    if (auto clsid = command.text("DelegateExecute"))
        return {"DelegateExecute", *clsid};
    return {"", ""};
}

// Windows names a packaged app's ProgIDs "AppX" and 32 letters and digits of a hash; some carry
// no Application key of their own.
bool packagedName(std::string_view name) {
    constexpr std::string_view kPrefix = "AppX";
    constexpr std::size_t kHashLength = 32;
    if (name.size() != kPrefix.size() + kHashLength || !name.starts_with(kPrefix))
        return false;
    for (char c : name.substr(kPrefix.size()))
        if (!(c >= 'a' && c <= 'z') && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

bool packagedApp(const Place& classKey, std::string_view name) {
    return packagedName(name) ||
           !classKey.below("Application").text("AppUserModelId").value_or("").empty();
}

class ClassWalk {
public:
    ClassWalk(const KeyFinder& keys, Findings& out) : keys_(keys), out_(out) {}

    void userClasses() {
        for (const Place& root : keys_.userClasses()) {
            for (const std::string& name : root.subkeyNames()) {
                Place key = root.below(name);
                if (name.starts_with('.'))
                    extensionDefault(key, name);
                verbs(key, name, Owner::User);
                for (std::string_view nested : kNestedClasses)
                    if (registry::sameName(name, nested))
                        for (const std::string& inner : key.subkeyNames())
                            verbs(key.below(inner), joinPath(name, inner), Owner::User);
            }
        }
    }

    void machineSensitiveClasses() {
        for (const Place& root : keys_.machineClasses())
            for (std::string_view name : sensitiveClasses())
                verbs(root.below(name), std::string(name), Owner::Machine);
    }

private:
    const KeyFinder& keys_;
    Findings& out_;

    std::optional<std::string> machineText(std::string_view path, std::string_view name) {
        for (const Place& root : keys_.machineClasses())
            if (Place key = root.below(path))
                return key.text(name);
        return std::nullopt;
    }

    void extensionDefault(const Place& key, const std::string& extension) {
        std::string progId = key.text("").value_or("");
        if (progId.empty())
            return;
        if (isDataExtension(extension) && isExecutableClass(progId))
            out_.add(findingAt(Severity::High, rule::kDataRunsCode, extension, key, "", progId,
                               "The user's classes make " + extension + " files open as " + progId +
                                   ", which runs them."));
        auto machine = machineText(extension, "");
        if (machine && !machine->empty() && !registry::sameName(*machine, progId))
            out_.add(findingAt(Severity::Info, rule::kShadowsMachine, extension, key, "", progId,
                               "The user's classes open " + extension + " files with " + progId +
                                   " instead of the machine's " + *machine + "."));
    }

    void verbs(const Place& classKey, const std::string& type, Owner owner) {
        Place shell = classKey.below("shell");
        if (!shell)
            return;
        CommandContext context{type, owner, packagedApp(classKey, type)};
        std::string defaultVerb = shell.text("").value_or("");
        for (const std::string& verb : shell.subkeyNames()) {
            Place command = shell.below(joinPath(verb, "command"));
            if (!command)
                continue;
            if (owner == Owner::User)
                shadowing(command, type, verb, defaultVerb);
            context.dde = static_cast<bool>(shell.below(joinPath(verb, "ddeexec")));
            checkCommandKey(command, context, out_);
        }
    }

    // A user's command for a class the machine has, or one of the classes that start programs.
    void shadowing(const Place& command, const std::string& type, const std::string& verb,
                   const std::string& defaultVerb) {
        auto [valueName, value] = commandValue(command);
        if (isSensitiveClass(type)) {
            bool runsOnOpen = registry::sameName(verb, "open") ||
                              registry::sameName(verb, "runas") ||
                              registry::sameName(verb, defaultVerb);
            out_.add(findingAt(runsOnOpen ? Severity::High : Severity::Medium,
                               rule::kSensitiveClass, type, command, valueName, value,
                               "The user's classes give " + type + "'s " + verb +
                                   " verb a command, which runs in place of the machine's."));
            return;
        }
        std::string path = joinPath(type, joinPath("shell", joinPath(verb, "command")));
        auto machine = machineText(path, valueName);
        if (machine && *machine != value)
            out_.add(findingAt(Severity::Medium, rule::kShadowsMachine, type, command, valueName,
                               value,
                               "The user's classes replace the machine's command for " + type +
                                   "'s " + verb + " verb (" + *machine + ")."));
    }
};

} // namespace

void checkClasses(const KeyFinder& keys, Findings& out) {
    ClassWalk walk(keys, out);
    walk.userClasses();
    walk.machineSensitiveClasses();
}

} // namespace moxalo::catalogue::audit
