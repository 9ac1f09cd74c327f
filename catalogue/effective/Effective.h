#pragma once
// What really opens a file for one user: the user's choice (FileExts\.ext\UserChoice, guarded
// by its hash), the user's classes over the machine's, the extension as its own class, then
// the keys every file of a kind shares. Each step is told with the key it was read from, so
// that an analyst can check it in the hive.

#include "base/Result.h"
#include "registry/Registry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::catalogue::effective {

// Where the class that opens the file came from.
enum class Via {
    UserChoice,
    UserClass,      // HKCU\Software\Classes\.ext's default value
    MachineClass,   // HKLM\Software\Classes\.ext's default value
    ExtensionClass, // .ext itself, having a shell key of its own
    SystemFileAssociations,
    PerceivedType,
    AllFiles, // "*"
    None,
};
// "UserChoice", "user class", "machine class", "extension", "SystemFileAssociations",
// "PerceivedType", "*", "none": the words of the "Via" column.
std::string_view viaText(Via via);

// The verdict on the user's choice.
enum class Choice {
    None,        // no UserChoice
    Verified,    // its hash is the one Windows wrote
    Fails,       // its hash is not: written by hand or by a tool; Windows resets it
    CannotCheck, // no key time (a .reg file) or no SID: see Association::choiceWhy
};
// "none", "hash verified", "hash fails", "cannot be checked": the words of the "Choice" column.
std::string_view choiceText(Choice choice);

// One step of the resolution, as read.
struct Hop {
    std::string step;  // "UserChoice", "user class", "machine class", "CurVer", "verb", ...
    std::string key;   // the key read, from its root: "HKCU\Software\Microsoft\...\UserChoice"
    std::string value; // what it gave: a ProgID, a verb, a command line
    std::string note;  // why it was taken or passed over: "hash verified", "exists nowhere"
};

struct Association {
    std::string extension; // with its dot: ".txt"
    std::string progId;    // the class that opens it, "" when none does
    Via via = Via::None;
    Choice choice = Choice::None;
    std::string choiceProgId; // the UserChoice's ProgId, also when it was not taken
    std::string choiceWhy;    // why it cannot be checked, or what failed
    // A ProgID the user chose (or the extension names) that exists in no classes.
    bool dangling = false;
    std::string verb;            // the verb resolved: the one asked for, the default, "open"
    std::string command;         // the verb's command line, "" when it has none
    std::string delegateExecute; // the COM class the verb runs instead, "" when none
    std::string appUserModelId;  // a packaged app's, "" when not one
    std::string program;         // what the command runs: an exe's path or name
    std::string defaultApp;      // the name Windows shows for the default app
    // In a Wine prefix: false when only the user's classes declare the type, which Wine's own
    // HKEY_CLASSES_ROOT (the machine's classes only) does not show to Wine programs.
    bool seenByWine = true;
    std::vector<Hop> hops;
};

// A program the Open With dialog offers for an extension, in Windows' order.
struct Candidate {
    std::string handler; // a ProgID, or an exe's name ("NOTEPAD.EXE", "Applications\x.exe")
    std::string source;  // "UserChoice", "FileExts OpenWithList", "HKCR OpenWithProgids", ...
    std::string key;     // the key it was read from
};

// An application that declares what it can open (RegisteredApplications -> Capabilities).
struct RegisteredApp {
    std::string name;            // the RegisteredApplications value name
    std::string capabilitiesKey; // its data: the Capabilities key's path
    std::string scope;           // "HKLM" or "HKCU"
    std::string applicationName; // as stored; often an "@{...}" resource string
    std::string description;
    bool hidden = false;
    struct Claim {
        std::string name;   // ".txt", "http", "text/plain"
        std::string progId; // the class it names
    };
    std::vector<Claim> files, urls, mimeTypes;
};

// A type Wine exported to the Linux desktop, or would by its rules.
struct WineExport {
    std::string extension; // ".chm", or a URL scheme
    std::string progId;
    std::string mimeType;
    std::string appName;
    bool recorded = false;   // under HKCU\Software\Wine\FileOpenAssociations
    bool byRules = false;    // winemenubuilder would export it
    std::string desktopFile; // the .desktop file's path, "" when it is not there
    std::string mimeFile;    // the MIME package's path, "" when it is not there
    std::string why;         // why the rules leave it out, "" when they do not
};

// One user's registry as Windows reads it to open a file: HKEY_CLASSES_ROOT, the user's
// HKEY_CURRENT_USER and the machine's Software, as the registry's roots give them.
class UserView {
public:
    // `sidGiven` is taken when the hives do not tell the user's SID (a --sid option).
    explicit UserView(registry::Registry& registry, std::string sidGiven = {});
    ~UserView();
    UserView(const UserView&) = delete;
    UserView& operator=(const UserView&) = delete;

    // The user's SID, "" when unknown, and where it was found ("UserChoice owner",
    // "UsrClass.dat root", "--sid").
    const std::string& sid() const;
    const std::string& sidFrom() const;

    // The extensions to resolve: HKEY_CLASSES_ROOT's and those the user's FileExts name, sorted.
    Result<std::vector<std::string>> extensions();
    // `verb` "" resolves the default verb. Fails only when the registry cannot be read.
    Result<Association> resolve(std::string_view extension, std::string_view verb = {});
    Result<std::vector<Candidate>> openWith(std::string_view extension);
    Result<std::vector<RegisteredApp>> registeredApps();
    // What Wine exported to the desktop under `xdgDataHome` ($XDG_DATA_HOME, ~/.local/share).
    Result<std::vector<WineExport>> wineExports(const std::string& xdgDataHome);

    // A key a check walks whole, named from its root ("HKCU\Software\Classes").
    struct Root {
        registry::RegistryStore* store = nullptr;
        registry::NodeId key = registry::kNoNode;
        std::string path;
    };
    // The user's classes then the machine's, each in order of precedence; and HKEY_CURRENT_USER,
    // empty when no source holds it.
    std::vector<Root> userClassesRoots() const;
    std::vector<Root> machineClassesRoots() const;
    Root currentUserRoot() const;

    // What it keeps between questions (UserViewImpl.h), shared by the files that answer them.
    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The UserChoice hash Windows writes: Base64 of 8 bytes, from the extension (with its dot, or
// a URL scheme), the user's SID, the ProgId and the key's last-write time (a FILETIME).
std::string userChoiceHash(std::string_view extension, std::string_view sid,
                           std::string_view progId, std::uint64_t lastWritten);

} // namespace moxalo::catalogue::effective
