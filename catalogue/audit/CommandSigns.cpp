// The signs a verb's command key gives by itself: where its program lies, what kind of program
// it is, what it is handed, and the COM classes run in its place.

#include "base/NameFold.h"
#include "catalogue/audit/AuditWalk.h"
#include "catalogue/audit/Kinds.h"
#include "catalogue/audit/Rules.h"
#include "catalogue/effective/CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace moxalo::catalogue::audit {

using effective::Place;

namespace {

std::string lower(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

bool holds(std::string_view text, std::string_view part) {
    return lower(text).find(lower(part)) != std::string::npos;
}

// A machine's key needs an administrator to write: a sign there weighs one step less.
Severity weighed(Severity severity, Owner owner) {
    if (owner == Owner::Machine && severity > Severity::Low)
        return static_cast<Severity>(static_cast<int>(severity) - 1);
    return severity;
}

struct Folder {
    std::string_view marker;
    Severity severity;
};
// No program is installed under Temp, Public or the Recycle Bin; per-user installs live in
// AppData, and portable tools are run from the Desktop and Downloads.
constexpr std::array<Folder, 15> kWritableFolders{{
    {"\\Temp\\", Severity::Medium},
    {"%TEMP%", Severity::Medium},
    {"%TMP%", Severity::Medium},
    {"\\Users\\Public\\", Severity::Medium},
    {"%PUBLIC%", Severity::Medium},
    {"$Recycle.Bin", Severity::Medium},
    {"\\AppData\\", Severity::Low},
    {"%APPDATA%", Severity::Low},
    {"%LOCALAPPDATA%", Severity::Low},
    {"%USERPROFILE%", Severity::Low},
    {"\\ProgramData\\", Severity::Low},
    {"%ProgramData%", Severity::Low},
    {"%ALLUSERSPROFILE%", Severity::Low},
    {"\\Desktop\\", Severity::Low},
    {"\\Downloads\\", Severity::Low},
}};

// %1, %L, %*, %V, %D and the like: the file (or files) the verb is run on.
bool passesFile(std::string_view line) {
    constexpr std::string_view kAlways = "0123456789*", kLetters = "LlVvDd";
    for (std::size_t at = line.find('%'); at != std::string_view::npos && at + 1 < line.size();
         at = line.find('%', at + 1)) {
        char next = line[at + 1];
        bool wordEnds =
            at + 2 >= line.size() || !std::isalnum(static_cast<unsigned char>(line[at + 2]));
        if (kAlways.find(next) != std::string_view::npos ||
            (kLetters.find(next) != std::string_view::npos && wordEnds))
            return true;
    }
    return false;
}

std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> list;
    std::string word;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '"' || c == '\'') {
            if (!word.empty())
                list.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        list.push_back(std::move(word));
    return list;
}

// Long, of Base64's letters only, with capitals, small letters and digits mixed: GUIDs, paths
// and packaged apps' names are none of that.
bool looksBase64(std::string_view word) {
    constexpr std::size_t kShortest = 40;
    if (word.size() < kShortest)
        return false;
    bool upper = false, small = false, digit = false;
    for (char c : word) {
        auto u = static_cast<unsigned char>(c);
        upper |= std::isupper(u) != 0;
        small |= std::islower(u) != 0;
        digit |= std::isdigit(u) != 0;
        if (!std::isalnum(u) && c != '+' && c != '/' && c != '=')
            return false;
    }
    return upper && small && digit;
}

bool encodedArgument(std::string_view line, std::string_view program) {
    bool powershell = holds(effective::fileNameOf(program), "powershell") ||
                      holds(effective::fileNameOf(program), "pwsh");
    for (const std::string& word : words(line)) {
        std::string folded = lower(word);
        if (powershell && (folded == "-e" || folded == "-ec" || folded.starts_with("-enc")))
            return true;
        if (looksBase64(word))
            return true;
    }
    return false;
}

void checkDelegateExecute(const Place& command, const CommandContext& context, Findings& out) {
    auto clsid = command.text("DelegateExecute");
    if (!clsid)
        return;
    auto add = [&](Severity severity, std::string why) {
        out.add(findingAt(severity, rule::kDelegateExecute, context.type, command,
                          "DelegateExecute", *clsid, std::move(why)));
    };
    if (clsid->empty())
        add(Severity::High, "An empty DelegateExecute makes Windows run the command line beside "
                            "it, elevated where the class elevates: fodhelper's bypass.");
    else if (context.owner == Owner::User && isSensitiveClass(context.type))
        add(Severity::High, "The user's classes hand a verb of " + context.type +
                                " to a COM class, in place of the machine's.");
    else if (context.owner == Owner::User && !context.packagedApp)
        add(Severity::Medium, "Only packaged apps' classes carry DelegateExecute; this class is "
                              "not one.");
}

void checkIsolatedCommand(const Place& command, const CommandContext& context, Findings& out) {
    auto isolated = command.text("IsolatedCommand");
    if (!isolated)
        return;
    bool sensitive = isSensitiveClass(context.type);
    out.add(findingAt(sensitive ? Severity::High : Severity::Medium, rule::kIsolatedCommand,
                      context.type, command, "IsolatedCommand", *isolated,
                      "Windows runs IsolatedCommand in place of the program asked for: sdclt's "
                      "elevation bypass."),
            effective::programOfCommand(*isolated));
}

void checkLine(const std::string& line, const Place& command, const CommandContext& context,
               Findings& out) {
    std::string program = effective::programOfCommand(line);
    auto add = [&](Severity severity, std::string_view rule, std::string why) {
        out.add(findingAt(severity, rule, context.type, command, "", line, std::move(why)),
                program);
    };
    checkProgram(program, {command.path, "", line}, context, out);
    // Where a COM class takes the verb, it is handed the file; the line is not what runs. A DDE
    // message names the file to the program the line started.
    if (!passesFile(line) && !command.text("DelegateExecute") && !context.dde)
        add(Severity::Low, rule::kNoFileArgument,
            "The command is handed no file (%1, %L, %*): it runs the same whatever is opened.");
    std::size_t start = line.find_first_not_of(" \t");
    if (start != std::string::npos && line[start] != '"' && program.find(' ') != std::string::npos)
        add(Severity::Low, rule::kUnquotedPath,
            "The program's path has blanks and no quotes: Windows first tries the path up to "
            "each blank.");
    if (line.find("://") != std::string::npos || program.starts_with("\\\\"))
        add(weighed(Severity::Medium, context.owner), rule::kUrlArgument,
            "The command reaches the network for what it runs.");
    if (encodedArgument(line, program))
        add(weighed(Severity::Medium, context.owner), rule::kEncodedArgument,
            "The command carries an encoded argument that hides what it runs.");
}

} // namespace

void checkProgram(const std::string& program, const Shown& shown, const CommandContext& context,
                  Findings& out) {
    Place at;
    at.path = shown.key;
    const std::string& value = shown.value;
    for (const Folder& folder : kWritableFolders) {
        if (holds(program, folder.marker)) {
            out.add(findingAt(folder.severity, rule::kWritableFolder, context.type, at,
                              shown.valueName, value,
                              "The program lies in a folder the user can write (" +
                                  std::string(folder.marker) +
                                  "), so any program of the user's can replace it."),
                    program);
            break;
        }
    }
    switch (hostKindOf(program)) {
    case HostKind::Downloader:
        out.add(findingAt(weighed(Severity::High, context.owner), rule::kScriptHost, context.type,
                          at, shown.valueName, value,
                          effective::fileNameOf(program) +
                              " fetches files from the network and is no file's handler."),
                program);
        break;
    case HostKind::ScriptHost:
        // Windows wires its own handlers in the machine's classes to a DLL through rundll32.
        if (context.owner == Owner::Machine && registry::sameName(bareName(program), "rundll32"))
            break;
        if (!isScriptClassOf(context.type, program))
            out.add(
                findingAt(weighed(Severity::Medium, context.owner), rule::kScriptHost, context.type,
                          at, shown.valueName, value,
                          effective::fileNameOf(program) +
                              " runs the code its command gives it, not a program of the type."),
                program);
        break;
    case HostKind::None:
        break;
    }
}

void checkCommandKey(const Place& command, const CommandContext& context, Findings& out) {
    if (auto line = command.text(""); line && !line->empty())
        checkLine(*line, command, context, out);
    checkDelegateExecute(command, context, out);
    checkIsolatedCommand(command, context, out);
}

} // namespace moxalo::catalogue::audit
