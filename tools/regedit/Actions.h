#pragma once
// What the registry editor's stand-in does with a parsed command line, over the registry the
// front end opened. A failure comes back as one line for the user; run() tells it and gives the
// exit status.

#include "runtime/ChosenRegistry.h"
#include "tools/regedit/RegeditArgs.h"
#include "tools/regedit/Voice.h"

#include <functional>
#include <iosfwd>

namespace moxalo::regedit {

// The registry the request names: which sources (cheap, nothing read), and the sources opened
// (for a write, locked first).
struct Opening {
    std::function<registry::SourceChoice()> choose;
    std::function<Result<runtime::ChosenRegistry>(runtime::Purpose)> open;
};

// Runs the command line: what the program's main does, with the exit status it returns. Help
// goes to `out`; failures to `err` and, told, to `voice`.
int run(const std::vector<std::string>& args, const runtime::Environment& env,
        const std::string& programFolder, Voice& voice, std::ostream& out, std::ostream& err);

// Writes the key (or, for an empty key, all classes) to the file, replacing it atomically.
// A registry of one source is written as HKEY_CLASSES_ROOT. Of several, each side's classes
// go under their own root (HKEY_LOCAL_MACHINE\SOFTWARE\Classes, then
// HKEY_CURRENT_USER\Software\Classes): importing the file puts every key and value back on
// the side it came from, and HKEY_CLASSES_ROOT is again what it was. A failure's message is
// "<file or key>: <what>".
Result<> exportKey(const Request& request, registry::Registry& registry);

// How an import that did not fail ended: the user may have answered no.
enum class Ending { Done, Cancelled };

// Merges the file into the registry (see ClassesImport.h for where keys go) and saves every
// changed file; lines that regedit would skip are skipped and told to `warnings` as
// "<file>: line N: <what>". Unless silent, asks the voice first and tells it what was done.
// The file is read and checked before the question, and the registry opened only after it.
// When it fails, or the user answers no, nothing is written.
Result<Ending> importFile(const Request& request, const Opening& opening, Voice& voice,
                          std::ostream& warnings);

} // namespace moxalo::regedit
