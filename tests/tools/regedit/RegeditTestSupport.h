#pragma once
// Registries for the regedit stand-in's tests: sources of each kind on disk, and their classes
// written out as text to compare before and after.

#include "registry/RegistryStore.h"
#include "tests/support/CliRunner.h"

#include <string>
#include <vector>

namespace moxalo::testing {

// A .reg file of version 5: UTF-16LE with the byte order mark and CR LF line ends.
std::string unicodeRegFile(const std::string& text);

// A Wine prefix in `folder` whose system.reg and user.reg hold these Software\Classes
// sections ("[.txt]\n@=\"txtfile\"\n", paths below Classes, in Wine's own syntax).
void writeWinePrefix(const std::string& folder, const std::string& machineClasses,
                     const std::string& userClasses);

// A hive file holding the classes of a regedit text (REGEDIT4 lines under HKEY_CLASSES_ROOT);
// as a SOFTWARE hive (below a root key "Classes") or as a UsrClass.dat (at the root).
void writeHiveFrom(const std::string& path, const std::string& regText, bool software);

// Every key and value below `key`, one line each ("path" or "path|name|type|hex bytes"), the
// subkeys in regedit's order, the values in the store's.
std::string dumpTree(registry::RegistryStore& store, registry::NodeId key);
// The line of a dump for a string value of type `type` (REG_SZ, REG_EXPAND_SZ) with its NUL.
std::string stringLine(const std::string& path, const std::string& name, const std::string& text,
                       int type = 1);
// HKEY_CLASSES_ROOT of the sources, as one source list opens it.
std::string dumpClasses(const std::vector<std::string>& sources);
// Each classes layer of the sources on its own, "user" or "machine" before its lines.
std::string dumpLayers(const std::vector<std::string>& sources);

// The environment that names the registry for the stand-in.
inline std::vector<std::string> registryVariable(const std::vector<std::string>& sources) {
    std::string list;
    for (const auto& s : sources)
        list += (list.empty() ? "" : ":") + s;
    return {"MOXALO_REGISTRY=" + list};
}

} // namespace moxalo::testing
