#include "tools/cli/GlobalOptions.h"

#include <array>
#include <ostream>

namespace moxalo::cli {

namespace {

const std::array<CommandInfo, 12> kCommands{{
    {"sources", runSources, "",
     "    Which registry sources were chosen (first line: \"Chosen by: \" and the rule),\n"
     "    then one line per source: its kind, TAB, its path. A Windows partition's line\n"
     "    goes on with TAB, \"user: \" and the user whose hives were read, TAB, \"users: \"\n"
     "    and the users whose hives it holds, separated by \", \".\n"},
    {"query", runQuery, "KEYPATH",
     "    A key of HKEY_CLASSES_ROOT with its values and subkeys, as `reg query` shows them.\n"
     "    KEYPATH is relative to HKEY_CLASSES_ROOT: .txt, txtfile\\shell\\open.\n"
     "    A key that does not exist ends with status 1.\n"},
    {"list", runList,
     "[--format text|csv|json|jsonl] [--label LABEL] [--open-with-only] [--effective]",
     "    Every registered extension: extension, type name, whether it has an Open-With list\n"
     "    (Yes/No) and key path, in registry order. The text format separates them by TABs\n"
     "    and writes a TAB, CR or LF inside a name as \\t, \\r or \\n; csv (with a heading\n"
     "    line) and json carry every name exactly. --open-with-only lists only the\n"
     "    extensions that have an Open-With list. --effective adds what really opens each\n"
     "    for the user, as resolve finds it: Default app, ProgID, Via and Choice.\n"
     "    jsonl writes one object per line, beginning with \"label\" (LABEL, else the\n"
     "    sources' paths) and \"record\": \"type\", for reports of many machines.\n"},
    {"details", runDetails, "EXT [--format text|json]",
     "    The registry details of one extension's type (EXT: txt or .txt), as the extended\n"
     "    list file carries them. A missing key is warned about; its details are empty.\n"},
    {"save-list", runSaveList, "[--extended] [--open-with-only] FILE",
     "    Writes the list file (UTF-8, CR LF), with every extension's details when\n"
     "    --extended is given, and says \"Export complete, file saved as: FILE\".\n"
     "    An existing FILE is replaced whole, never left half-written; a read-only one is kept.\n"},
    {"resolve", runResolve, "EXT [--verb VERB] [--format text|json]",
     "    What really opens a file of type EXT (txt or .txt) for the user: each step Windows\n"
     "    takes, one per line with the value it gave, the key it was read from and why it\n"
     "    was taken or passed over (the UserChoice and its hash, the user's classes over the\n"
     "    machine's, CurVer, the verb, its command), then what it comes to. --verb resolves\n"
     "    VERB (print, edit) instead of the default verb. A type nothing opens is an answer,\n"
     "    not a failure: its steps are shown, ProgID is (none), and the status is 0, so that\n"
     "    a script can tell it from a registry that cannot be read (status 1).\n"},
    {"open-with", runOpenWith, "EXT [--format text|json]",
     "    The programs the Open With dialog offers for EXT, in its order: the current\n"
     "    choice, the OpenWithProgids and OpenWithList entries, the Applications that name\n"
     "    the type, the registered applications that claim it; each with its source and key.\n"},
    {"apps", runApps, "[--format text|json]",
     "    The registered applications (RegisteredApplications, HKLM and HKCU): name, scope,\n"
     "    ApplicationName as stored, the Capabilities key, and the file types, URL schemes\n"
     "    and MIME types each claims with the ProgID it names.\n"},
    {"wine-exports", runWineExports, "[--format text|json]",
     "    The types Wine's winemenubuilder put on the Linux desktop: for each, whether it is\n"
     "    recorded under HKCU\\Software\\Wine\\FileOpenAssociations, whether Wine's rules\n"
     "    export it (and why not), and whether its .desktop and MIME files are there under\n"
     "    $XDG_DATA_HOME (else ~/.local/share).\n"},
    {"audit", runAudit,
     "[--format text|json|csv|sarif|jsonl] [--allow FILE] [--min-severity S] [--label LABEL]\n"
     "        [--show-allowed]",
     "    The signs that a file association was hijacked (a user's class over exefile or\n"
     "    ms-settings, DelegateExecute, IsolatedCommand, a handler in a folder the user can\n"
     "    write or a script host, a data type opened as a program, a UserChoice whose hash\n"
     "    fails, ...): each with its severity (info, low, medium, high), rule, key, value\n"
     "    and why. Findings a known program explains (OneDrive, Spotify, Visual Studio Code)\n"
     "    are allowed: counted, and listed with the reason under --show-allowed (in SARIF\n"
     "    as suppressions). --allow FILE adds rules, one a\n"
     "    line: program, progid or key, TAB, a pattern (* and ?), TAB, the reason; # starts\n"
     "    a comment. A high finding is never allowed. --min-severity S (default low) lists\n"
     "    findings from S up. sarif writes SARIF 2.1.0; jsonl one \"finding\" a line.\n"
     "    Status: 3 when a finding at or above S is left, 0 when none, 1 when the\n"
     "    registry or FILE cannot be read (FILE:LINE: reason for a malformed rule).\n"},
    {"diff", runDiff, "--registry-b SOURCE [--format text|csv|json|jsonl] [--label LABEL]",
     "    What differs between the registry chosen (A) and a second one (B), type by type:\n"
     "    the extensions B adds (\"+ .foo added\") or lacks (\"- .bar removed\"), and for one\n"
     "    both have each of type name, ProgID, default action, command, icon, Open-With list\n"
     "    and default app that changed (\"~ .txt command: BEFORE -> AFTER\"). --registry-b\n"
     "    names B's sources as --registry does A's, and may be given more than once; B is\n"
     "    read with the same --code-page, --user and --sid. csv and json carry change, type,\n"
     "    aspect, before and after; jsonl writes them as records \"change\", labelled LABEL,\n"
     "    else \"A -> B\" by the sources' paths. Status 0 when nothing differs, 3 when\n"
     "    something does, 1 when a registry cannot be read, 2 on wrong usage.\n"},
    {"timeline", runTimeline, "[--format text|csv|json|jsonl] [--label LABEL]",
     "    The association keys by their last write, the newest first, in UTC (ISO 8601):\n"
     "    each extension's key in the user's and the machine's classes with its\n"
     "    OpenWithList and OpenWithProgids, the ProgID it names with its DefaultIcon and each\n"
     "    verb's command, and the user's FileExts key with the same lists and its\n"
     "    UserChoice; with the types each belongs to and the file it was read from, so that\n"
     "    keys written together stand together. A source that keeps no key times (a .reg\n"
     "    file), or none for some keys (Wine's, for a key without values), is named on\n"
     "    stderr and in the output, and those keys are listed last, without a time. jsonl\n"
     "    writes records \"note\" for those sources, then \"key\".\n"},
}};

constexpr const char* kSourcesHelp =
    "Global options (before or after the command):\n"
    "  -r, --registry SOURCE   read SOURCE (also --registry=SOURCE); may be given more\n"
    "                          than once, the sources then make one registry\n"
    "      --code-page CP      the Windows code page of 8-bit (REGEDIT4) .reg files, as 1251,\n"
    "                          cp1251, windows-1251 or UTF-8 (also --code-page=CP); without\n"
    "                          it MOXALO_CODEPAGE, else 1252\n"
    "      --user NAME         the user whose hives a Windows partition gives (a folder\n"
    "                          under its Users; also --user=NAME); without it MOXALO_USER,\n"
    "                          else the partition's only user\n"
    "      --sid SID           the user's SID (S-1-5-21-...), where the hives do not tell\n"
    "                          it (also --sid=SID); without it MOXALO_SID\n"
    "  -h, --help              this text, or with a command that command's help\n"
    "      --version           the program's version and licence\n"
    "\n"
    "A SOURCE is a Wine prefix folder, a Wine registry file (system.reg, user.reg), a hive\n"
    "file (SOFTWARE, UsrClass.dat, NTUSER.DAT), a regedit export (.reg), or a Windows\n"
    "partition (a mounted one, or a folder copied from one: Windows\\System32\\config\\SOFTWARE\n"
    "and Users\\NAME\\NTUSER.DAT and UsrClass.dat are read). Without\n"
    "--registry: MOXALO_REGISTRY (sources separated by ':'), else $WINEPREFIX, else ~/.wine\n"
    "when it holds system.reg, else the bundled sample registry.\n"
    "\n"
    "What cannot be read of a source is reported on stderr, and the rest is read.\n"
    "Exit status: 0 done; 1 a source, a key the command needed or FILE could not be\n"
    "read or written (what was read before is printed); 2 wrong usage; 3 audit found\n"
    "something at or above its threshold, or diff found differences.\n";

const CommandInfo* findCommand(const std::string& name) {
    for (const auto& command : kCommands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

// Takes a global option at args[i], moving i past its value; false when it is none.
Result<bool> takeGlobal(const std::vector<std::string>& args, std::size_t& i,
                        GlobalOptions& options) {
    const std::string& arg = args[i];
    if (Result<bool> taken = runtime::takeSourceOption(args, i, options.sources); !taken || *taken)
        return taken;
    if (arg == "--help" || arg == "-h") {
        options.help = true;
    } else if (arg == "--version") {
        options.version = true;
    } else {
        return false;
    }
    return true;
}

} // namespace

Result<GlobalOptions> ParseGlobalOptions(const std::vector<std::string>& args) {
    GlobalOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") {
            options.commandArgs.insert(options.commandArgs.end(), args.begin() + i, args.end());
            break;
        }
        Result<bool> taken = takeGlobal(args, i, options);
        if (!taken)
            return fail(taken.error());
        if (*taken)
            continue;
        if (options.command) {
            options.commandArgs.push_back(args[i]);
        } else if (args[i].starts_with("-") && args[i].size() > 1) {
            return fail("unknown option " + args[i]);
        } else if (!(options.command = findCommand(args[i]))) {
            return fail("unknown command \"" + args[i] + "\"");
        }
    }
    return options;
}

void PrintUsage(std::ostream& out) {
    out << "Usage: moxalo-cli [--registry SOURCE]... [--code-page CP] [--user NAME] [--sid SID]\n"
           "                  COMMAND [ARGS]\n\n"
           "Commands:\n";
    for (const auto& command : kCommands) {
        out << "  " << command.name << (command.synopsis.empty() ? "" : " ") << command.synopsis
            << "\n"
            << command.description;
    }
    out << "\n" << kSourcesHelp;
}

// As GNU programs say it, so that whoever reads a version also reads what they may do with it.
void PrintVersion(std::ostream& out) {
    out << "moxalo-cli " << MOXALO_VERSION << "\n"
        << "Copyright (C) 2026 The Moxalo developers.\n"
           "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

void PrintCommandHelp(const CommandInfo& command, std::ostream& out) {
    out << "Usage: moxalo-cli [--registry SOURCE]... " << command.name
        << (command.synopsis.empty() ? "" : " ") << command.synopsis << "\n\n"
        << command.description << "\n"
        << kSourcesHelp;
}

} // namespace moxalo::cli
