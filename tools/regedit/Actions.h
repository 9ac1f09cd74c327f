#pragma once
// What the registry editor's stand-in does with a parsed command line, over the registry the
// front end opened. Each returns the exit status; a failure's one line goes to `err`.

#include "platform/registry/ChosenRegistry.h"
#include "tools/regedit/RegeditArgs.h"

#include <iosfwd>

namespace moxalo::regedit {

// A failure that ends the run: "<file or key>: <what>".
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the key (or, for an empty key, all classes) to the file, replacing it atomically.
// A registry of one source is written as HKEY_CLASSES_ROOT. Of several, each side's classes
// go under their own root (HKEY_LOCAL_MACHINE\SOFTWARE\Classes, then
// HKEY_CURRENT_USER\Software\Classes): importing the file puts every key and value back on
// the side it came from, and HKEY_CLASSES_ROOT is again what it was. Throws Failure.
void exportKey(const Request& request, registry::Registry& registry);

// Merges the file into the registry (see ClassesImport.h for where keys go) and saves every
// changed file; lines that regedit would skip are skipped and told to `warnings` as
// "<file>: line N: <what>". Throws Failure; nothing is then written.
void importFile(const Request& request, const registry::ChosenRegistry& chosen,
                registry::Registry& registry, std::ostream& warnings);

} // namespace moxalo::regedit
