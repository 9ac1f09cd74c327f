#include "catalogue/audit/Rules.h"

namespace moxalo::catalogue::audit {

const std::vector<RuleText>& auditRules() {
    static const std::vector<RuleText> rules{
        {rule::kSensitiveClass,
         "A user class gives a command to a class that starts programs or elevates them",
         "exefile, mscfile, ms-settings, Folder, htmlfile, batfile, cmdfile and their like are "
         "the machine's; a command of theirs in HKCU\\Software\\Classes runs instead of it, the "
         "way elevation prompts are bypassed. The open and runas verbs (or the class's default) "
         "are high, other verbs medium."},
        {rule::kShadowsMachine, "A user class replaces the machine's command or .ext default",
         "Compare the user's key with the machine's: an installer for one user writes such keys, "
         "so does a hijack. A replaced command is medium, a replaced .ext default info."},
        {rule::kDelegateExecute, "A verb hands its work to a COM class outside a packaged app",
         "Packaged apps' ProgIDs carry DelegateExecute; on ms-settings, or left empty, it is the "
         "elevation bypass of fodhelper and computerdefaults (high); elsewhere in the user's "
         "classes medium."},
        {rule::kIsolatedCommand, "IsolatedCommand under exefile\\shell\\runas\\command",
         "Windows runs IsolatedCommand instead of the program being elevated: the sdclt bypass."},
        {rule::kWritableFolder, "The handler runs from a folder the user can write",
         "A program under Temp, Public or the Recycle Bin is medium; under AppData, ProgramData, "
         "the Desktop or Downloads low: per-user installs live there too."},
        {rule::kScriptHost, "The handler is a script host or a system binary that runs code",
         "powershell, cmd, wscript, mshta, rundll32, regsvr32 as a type's handler run what the "
         "command gives them; certutil and bitsadmin fetch files and are never a handler (high). "
         "A machine's key needs an administrator: one step lower there, and its rundll32 "
         "handlers, the way Windows wires its own, are not told."},
        {rule::kNoFileArgument, "The command passes no file (%1, %L, %*)",
         "A handler that ignores the file it opens runs something else."},
        {rule::kUnquotedPath, "An unquoted program path with blanks",
         "Windows tries each prefix ending at a blank (C:\\Program.exe) before the program."},
        {rule::kUrlArgument, "The command names a URL or a network path",
         "A handler fetching from the network runs code from elsewhere."},
        {rule::kEncodedArgument, "The command carries an encoded argument",
         "A Base64-looking argument (or powershell -EncodedCommand) hides what runs."},
        {rule::kDataRunsCode, "A data type opens with a class that runs code",
         ".txt as exefile, batfile or VBSFile runs a file the user takes for a document."},
        {rule::kHashFails, "A UserChoice whose hash is not the one Windows writes",
         "Windows writes the hash with every choice; one that fails was written by hand or by a "
         "tool, and Windows resets it."},
        {rule::kMissingProgId, "A UserChoice names a ProgID that exists in no classes",
         "Left by an uninstalled program, or written by hand."},
        {rule::kOddApplication, "A UserChoice names an Applications entry that is no exe name",
         "Applications\\<exe> names a program by its file name; a path or another kind of name "
         "there was not written by Windows."},
    };
    return rules;
}

} // namespace moxalo::catalogue::audit
