// Every extension as it resolves for the user: the choice Windows would honour or reset, the
// class it comes to, and the command that class runs, wherever in the classes it was found.

#include "base/NameFold.h"
#include "catalogue/audit/AuditWalk.h"
#include "catalogue/audit/Kinds.h"
#include "catalogue/audit/Rules.h"
#include "registry/Attempt.h"

#include <cctype>

namespace moxalo::catalogue::audit {

using effective::Association;
using effective::Choice;
using effective::Hop;
using effective::Place;

namespace {

constexpr std::string_view kApplications = "Applications\\";

class ExtensionCheck {
public:
    ExtensionCheck(const Association& a, const KeyFinder& keys, Findings& out)
        : a_(a), keys_(keys), out_(out) {}

    void run() {
        choice();
        dataType(a_.progId, hopGiving(a_.progId));
        command();
    }

private:
    const Association& a_;
    const KeyFinder& keys_;
    Findings& out_;

    void add(Severity severity, std::string_view rule, const std::string& key,
             std::string valueName, std::string value, std::string why) {
        Finding f;
        f.severity = severity;
        f.rule = rule;
        f.type = a_.extension;
        f.key = key;
        f.valueName = std::move(valueName);
        f.value = std::move(value);
        f.why = std::move(why);
        out_.add(std::move(f));
    }

    const Hop* hop(std::string_view step) const {
        for (const Hop& h : a_.hops)
            if (h.step == step)
                return &h;
        return nullptr;
    }

    // The last step that named `progId`: the UserChoice, a class's default, CurVer.
    const Hop* hopGiving(const std::string& progId) const {
        const Hop* found = nullptr;
        for (const Hop& h : a_.hops)
            if (!progId.empty() && h.value == progId && h.step != "verb" && h.step != "command")
                found = &h;
        return found;
    }

    void choice() {
        const Hop* chosen = hop("UserChoice");
        if (!chosen || a_.choiceProgId.empty())
            return;
        if (a_.choice == Choice::Fails) {
            Place key = keys_.find(chosen->key).place;
            add(Severity::High, rule::kHashFails, chosen->key, "Hash",
                key.text("Hash").value_or(""),
                "The choice of " + a_.choiceProgId + " does not carry the hash Windows writes (" +
                    a_.choiceWhy + "): it was written by hand or by a tool.");
        }
        if (!keys_.machineClasses().empty() && !keys_.anyClass(a_.choiceProgId))
            add(Severity::Low, rule::kMissingProgId, chosen->key, "ProgId", a_.choiceProgId,
                "The chosen ProgID exists in neither the user's classes nor the machine's.");
        oddApplication(*chosen);
        if (a_.choiceProgId != a_.progId)
            dataType(a_.choiceProgId, chosen);
    }

    // Windows writes Applications\ and an exe's file name, nothing else.
    void oddApplication(const Hop& chosen) {
        const std::string& progId = a_.choiceProgId;
        if (progId.size() < kApplications.size() ||
            !registry::sameName(std::string_view(progId).substr(0, kApplications.size()),
                                kApplications))
            return;
        std::string_view exe = std::string_view(progId).substr(kApplications.size());
        bool exeName = exe.size() > 4 && exe.find_first_of("\\/:%") == std::string_view::npos &&
                       (registry::sameName(exe.substr(exe.size() - 4), ".exe") ||
                        registry::sameName(exe.substr(exe.size() - 4), ".com"));
        if (!exeName)
            add(Severity::Medium, rule::kOddApplication, chosen.key, "ProgId", progId,
                "The choice names Applications\\" + std::string(exe) +
                    ", which is no program's file name as Windows writes it.");
    }

    void dataType(const std::string& progId, const Hop* given) {
        if (!given || !isDataExtension(a_.extension) || !isExecutableClass(progId))
            return;
        add(Severity::High, rule::kDataRunsCode, given->key,
            given->step == "UserChoice" ? "ProgId" : "", progId,
            a_.extension + " files, which hold data, open as " + progId + ", which runs them.");
    }

    // The class whose verb it is: "txtfile" of "txtfile\shell\open\command", "*" when the
    // verb comes from the keys all files share.
    static std::string classOfVerb(const std::string& relative) {
        std::string folded = relative;
        for (char& c : folded)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::size_t shell = folded.rfind("\\shell\\");
        return shell == std::string::npos ? relative : relative.substr(0, shell);
    }

    void command() {
        const Hop* verb = hop("verb");
        KeyFinder::Found found = verb ? keys_.find(verb->key) : KeyFinder::Found{};
        if (Place command = found.place.below("command")) {
            std::string type = classOfVerb(found.relative);
            CommandContext context{type, found.owner,
                                   registry::sameName(type, a_.progId) &&
                                       !a_.appUserModelId.empty(),
                                   static_cast<bool>(found.place.below("ddeexec"))};
            checkCommandKey(command, context, out_);
        } else if (const Hop* application = hop("application")) {
            // An Applications key read nowhere (the machine's classes not read) is told by the
            // key that named it.
            const Hop* named = application->key.empty() ? hopGiving(a_.progId) : application;
            if (named && !named->key.empty())
                checkProgram(
                    a_.program,
                    {named->key, named->step == "UserChoice" ? "ProgId" : "", named->value},
                    {a_.progId, keys_.find(named->key).owner, false, false}, out_);
        }
    }
};

} // namespace

Result<void> checkExtensions(effective::UserView& view, const KeyFinder& keys, Findings& out) {
    auto extensions = view.extensions();
    if (!extensions)
        return fail(extensions.error());
    for (const std::string& extension : *extensions) {
        auto association = view.resolve(extension);
        if (!association)
            return fail(association.error());
        ExtensionCheck(*association, keys, out).run();
    }
    return {};
}

} // namespace moxalo::catalogue::audit
