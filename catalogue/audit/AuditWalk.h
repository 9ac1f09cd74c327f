#pragma once
// What the checks share while the audit walks the registry: the findings, each kept once with
// the program it rests on (which the allow-list judges), and the keys found again by the paths
// a resolution names them by.

#include "catalogue/audit/Audit.h"
#include "catalogue/effective/KeyPaths.h"

#include <set>
#include <string>
#include <vector>

namespace moxalo::catalogue::audit {

// Who can write a key: the user, or only an administrator (the machine's classes).
enum class Owner { User, Machine };

struct Gathered {
    Finding finding;
    std::string program; // what the command runs, "" when the finding is about no command
};

class Findings {
public:
    // A type's command met again through another extension is the finding already made: the
    // first of a rule on a key's value is kept.
    void add(Finding finding, std::string program = {});
    std::vector<Gathered> take() { return std::move(gathered_); }

private:
    std::vector<Gathered> gathered_;
    std::set<std::string> seen_;
};

// A finding about the value `valueName` ("" the default) of `key`.
Finding findingAt(Severity severity, std::string_view rule, const std::string& type,
                  const effective::Place& key, std::string valueName, std::string value,
                  std::string why);

// The keys of the user's view by the path a resolution gives ("HKCU\Software\Classes\...").
class KeyFinder {
public:
    explicit KeyFinder(const effective::UserView& view);
    struct Found {
        effective::Place place;
        Owner owner = Owner::Machine;
        std::string relative; // the path below the classes or HKEY_CURRENT_USER holding it
    };
    Found find(std::string_view path) const;
    const std::vector<effective::Place>& userClasses() const { return userClasses_; }
    const std::vector<effective::Place>& machineClasses() const { return machineClasses_; }
    // The class key in the first classes holding it, the user's before the machine's.
    effective::Place anyClass(std::string_view path) const;
    // Whether the sources keep key times (hives do, .reg files do not).
    bool keepsTimes() const;

private:
    std::vector<effective::Place> userClasses_, machineClasses_;
    effective::Place currentUser_;
};

// The command key of a verb: its command line, DelegateExecute and IsolatedCommand.
struct CommandContext {
    std::string type; // the class whose verb it is
    Owner owner = Owner::Machine;
    bool packagedApp = false; // the class is a packaged app's (Application\AppUserModelId)
    bool dde = false;         // the verb also sends a DDE message (ddeexec), which names the file
};
void checkCommandKey(const effective::Place& command, const CommandContext& context, Findings& out);
// What a finding about a program shows: the key and value it was read from (a command line, or
// the ProgId naming Applications\x.exe, which Windows runs with the file).
struct Shown {
    std::string key;
    std::string valueName;
    std::string value;
};
// Where the program lies and what kind it is.
void checkProgram(const std::string& program, const Shown& shown, const CommandContext& context,
                  Findings& out);

// Every class of the user's, and the sensitive ones of the machine's.
void checkClasses(const KeyFinder& keys, Findings& out);
// Every extension as it resolves for the user: the UserChoice, the class, the command.
Result<void> checkExtensions(effective::UserView& view, const KeyFinder& keys, Findings& out);
// The user's choices for URL schemes, whose hashes are checked as the extensions' are.
void checkUrlChoices(const effective::UserView& view, const KeyFinder& keys, Findings& out);

} // namespace moxalo::catalogue::audit
