#include "catalogue/effective/CommandLine.h"
#include "catalogue/effective/UserViewImpl.h"
#include "registry/Attempt.h"

namespace moxalo::catalogue::effective {

namespace {

// A chain of CurVer values longer than this is a loop.
constexpr int kMaxCurVer = 8;
constexpr std::string_view kApplications = "Applications\\";

// One key of the association array: every file of the kind shares its verbs.
struct Member {
    std::string name;
    Via via;
};

class Resolver {
public:
    Resolver(UserView::Impl& view, Association& a) : view_(view), a_(a) {}

    void run(std::string_view verb) {
        policy();
        if (!userChoice() && !classDefault())
            extensionClass();
        followCurVer();
        if (!runsExeItself())
            verbAndCommand(verb);
        program();
        application();
        wine();
    }

private:
    UserView::Impl& view_;
    Association& a_;

    void hop(std::string step, std::string key, std::string value, std::string note) {
        a_.hops.push_back({std::move(step), std::move(key), std::move(value), std::move(note)});
    }

    void take(const std::string& progId, Via via) {
        a_.progId = progId;
        a_.via = via;
    }

    void policy() {
        if (view_.policyFile)
            hop("policy", view_.policyKey, *view_.policyFile,
                std::string(kPolicyValue) +
                    ": applied at sign-in, over what follows; its file is not read here");
    }

    void judgeChoice(const Place& choice, const std::string& progId) {
        auto hash = choice.text("Hash");
        auto written = choice.store->lastWritten(choice.key);
        if (!hash) {
            a_.choice = Choice::Fails;
            a_.choiceWhy = "no Hash value";
        } else if (!written) {
            a_.choice = Choice::CannotCheck;
            a_.choiceWhy = "the source keeps no key times, as a .reg file";
        } else if (view_.sid.empty()) {
            a_.choice = Choice::CannotCheck;
            a_.choiceWhy = "the user's SID is unknown: give it with --sid";
        } else if (userChoiceHash(a_.extension, view_.sid, progId, *written) == *hash) {
            a_.choice = Choice::Verified;
        } else {
            a_.choice = Choice::Fails;
            a_.choiceWhy = "not the hash Windows writes for this ProgId, the SID " + view_.sid +
                           " and the key's time";
        }
    }

    bool userChoice() {
        Place choice = view_.fileExts.below(joinPath(a_.extension, "UserChoice"));
        if (!choice)
            return false;
        std::string progId = choice.text("ProgId").value_or("");
        if (progId.empty()) {
            hop("UserChoice", choice.path, "", "no ProgId: passed over");
            return false;
        }
        a_.choiceProgId = progId;
        judgeChoice(choice, progId);
        std::string note(choiceText(a_.choice));
        if (!a_.choiceWhy.empty())
            note += ": " + a_.choiceWhy;
        bool exists = view_.classExists(progId);
        a_.dangling = !exists;
        // Without the machine's classes a missing ProgID may be one of theirs.
        bool taken = (exists || view_.machineClasses.empty()) && a_.choice != Choice::Fails;
        if (a_.choice == Choice::Fails)
            note += "; Windows resets such a choice: passed over";
        else if (!taken)
            note += "; the ProgID exists nowhere: passed over";
        else if (!exists)
            note += "; the ProgID is in none of the classes read, and the machine's (SOFTWARE) "
                    "were not read: taken as chosen";
        else if (a_.choice == Choice::CannotCheck)
            note += "; taken unchecked";
        hop("UserChoice", choice.path, progId, note);
        if (taken)
            take(progId, Via::UserChoice);
        return taken;
    }

    // The user's `.ext` default hides the machine's, as HKEY_CLASSES_ROOT merges them.
    bool classDefault() {
        for (bool user : {true, false}) {
            for (const auto& classes : user ? view_.userClasses : view_.machineClasses) {
                Place ext = classes.below(a_.extension);
                std::string progId = ext.text("").value_or("");
                if (progId.empty())
                    continue;
                std::string step = user ? "user class" : "machine class";
                if (!view_.classExists(progId)) {
                    a_.dangling = true;
                    hop(step, ext.path, progId, "the ProgID exists nowhere: passed over");
                    return false;
                }
                hop(step, ext.path, progId, "taken");
                take(progId, user ? Via::UserClass : Via::MachineClass);
                return true;
            }
        }
        return false;
    }

    void extensionClass() {
        if (Place shell = view_.anyClass(joinPath(a_.extension, "shell"))) {
            hop("extension", shell.path, a_.extension, "the extension is its own class");
            take(a_.extension, Via::ExtensionClass);
        }
    }

    void followCurVer() {
        for (int i = 0; i < kMaxCurVer && !a_.progId.empty(); ++i) {
            auto current = view_.classValue(joinPath(a_.progId, "CurVer"), "");
            if (!current || current->text.empty() || registry::sameName(current->text, a_.progId))
                return;
            if (!view_.classExists(current->text)) {
                hop("CurVer", current->place.path, current->text,
                    "the current version exists nowhere: passed over");
                return;
            }
            hop("CurVer", current->place.path, current->text, "followed");
            a_.progId = current->text;
        }
    }

    // An application registered without verbs of its own is run with the file.
    bool runsExeItself() {
        if (!a_.progId.starts_with(kApplications) || view_.anyClass(joinPath(a_.progId, "shell")))
            return false;
        a_.verb = "open";
        a_.program = a_.progId.substr(kApplications.size());
        hop("application", view_.anyClass(a_.progId).path, a_.program,
            "no shell key: Windows runs the exe with the file");
        return true;
    }

    std::vector<Member> associationArray() {
        std::vector<Member> members;
        members.push_back({a_.progId.empty() ? "Unknown" : a_.progId, a_.via});
        members.push_back(
            {joinPath("SystemFileAssociations", a_.extension), Via::SystemFileAssociations});
        if (auto type = view_.classValue(a_.extension, "PerceivedType");
            type && !type->text.empty())
            members.push_back({joinPath("SystemFileAssociations", type->text), Via::PerceivedType});
        members.push_back({"*", Via::AllFiles});
        members.push_back({"AllFilesystemObjects", Via::AllFiles});
        return members;
    }

    // The verb's key in the first member that has it, with that member.
    std::pair<Place, const Member*> verbKey(const std::vector<Member>& members,
                                            std::string_view verb) {
        for (const auto& member : members)
            if (Place key = view_.anyClass(member.name + "\\shell\\" + std::string(verb)))
                return {key, &member};
        return {{}, nullptr};
    }

    // The verb to run, why, and the key of the first member that has it (none when no
    // member does).
    struct ChosenVerb {
        std::string verb;
        std::string why;
        std::pair<Place, const Member*> key;
    };

    // The one asked for; else the class's default verb (a list, the first that exists); else
    // "open"; else the first verb listed.
    ChosenVerb chooseVerb(const std::vector<Member>& members, std::string_view asked) {
        if (!asked.empty()) {
            std::string verb(asked);
            return {verb, "asked for", verbKey(members, verb)};
        }
        if (auto listed = view_.classValue(joinPath(members.front().name, "shell"), "")) {
            for (std::size_t start = 0; start < listed->text.size();) {
                std::size_t end = std::min(listed->text.find(',', start), listed->text.size());
                std::string verb = listed->text.substr(start, end - start);
                while (!verb.empty() && verb.front() == ' ')
                    verb.erase(0, 1);
                if (!verb.empty())
                    if (auto key = verbKey(members, verb); key.first)
                        return {verb, "the class's default verb", key};
                start = end + 1;
            }
        }
        if (auto key = verbKey(members, "open"); key.first)
            return {"open", "no default verb: open", key};
        for (const auto& member : members)
            if (auto verbs = view_.anyClass(member.name + "\\shell").subkeyNames(); !verbs.empty())
                return {verbs.front(), "no default verb, no open: the first verb listed",
                        verbKey(members, verbs.front())};
        return {};
    }

    void verbAndCommand(std::string_view asked) {
        auto members = associationArray();
        ChosenVerb chosen = chooseVerb(members, asked);
        a_.verb = chosen.verb;
        auto [key, member] = chosen.key;
        if (!key) {
            hop("verb", "", chosen.verb,
                chosen.verb.empty() ? "no verb anywhere" : "no such verb anywhere");
            return;
        }
        if (member != &members.front())
            chosen.why += "; from " + member->name;
        if (a_.progId.empty() && member != &members.front())
            a_.via = member->via;
        hop("verb", key.path, chosen.verb, chosen.why);
        command(key);
    }

    void command(const Place& verb) {
        Place command = verb.below("command");
        a_.command = command.text("").value_or("");
        a_.delegateExecute = command.text("DelegateExecute").value_or("");
        if (!a_.command.empty())
            hop("command", command.path, a_.command, "the command line");
        if (!a_.delegateExecute.empty())
            hop("DelegateExecute", command.path, a_.delegateExecute, "the COM class run instead");
        Place drop = verb.below("DropTarget");
        if (auto clsid = drop.text("Clsid"))
            hop("DropTarget", drop.path, *clsid, "the COM class handed the file");
        if (Place dde = verb.below("ddeexec"))
            hop("ddeexec", dde.path, dde.text("").value_or(""), "a DDE message to the program");
    }

    void program() {
        if (a_.program.empty() && !a_.command.empty())
            a_.program = programOfCommand(a_.command);
        if (a_.program.empty() || a_.program.find_first_of("\\/") != std::string::npos)
            return;
        if (const auto& entry = view_.appPath(a_.program)) {
            hop("App Paths", entry->key, entry->path, "the exe's path");
            a_.program = entry->path;
        }
    }

    void application() {
        Place app =
            a_.progId.empty() ? Place{} : view_.anyClass(joinPath(a_.progId, "Application"));
        a_.appUserModelId = app.text("AppUserModelId").value_or("");
        if (!a_.appUserModelId.empty())
            hop("packaged app", app.path, a_.appUserModelId, "its AppUserModelId");
        a_.defaultApp = app.text("ApplicationName").value_or("");
        if (a_.defaultApp.empty() && !a_.progId.empty())
            a_.defaultApp =
                view_.classValue(a_.progId, "FriendlyAppName").value_or(ClassValue{}).text;
        std::string exe = fileNameOf(a_.program);
        if (a_.defaultApp.empty() && !exe.empty())
            a_.defaultApp = view_.classValue(std::string(kApplications) + exe, "FriendlyAppName")
                                .value_or(ClassValue{})
                                .text;
        if (a_.defaultApp.empty())
            a_.defaultApp = exe;
    }

    // Wine's HKEY_CLASSES_ROOT holds the machine's classes only.
    void wine() {
        if (!view_.registry.roots().wine)
            return;
        bool machine = static_cast<bool>(view_.machineClass(a_.extension)) &&
                       (a_.progId.empty() || view_.machineClass(a_.progId));
        a_.seenByWine = machine;
        if (!machine)
            hop("Wine", std::string(kUserClasses) + "\\" + a_.extension, "",
                "not seen by Wine programs: only the user's classes declare it");
    }
};

} // namespace

Result<Association> UserView::resolve(std::string_view extension, std::string_view verb) {
    return registry::attempt([&] {
        Association a;
        a.extension = dottedExtension(extension);
        Resolver(*impl_, a).run(verb);
        return a;
    });
}

} // namespace moxalo::catalogue::effective
