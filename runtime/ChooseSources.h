#pragma once
// Which registry the program reads, when the user names none: the option, the environment,
// the Wine prefix, the user's ~/.wine, and last the sample registry shipped with the program.
// Also the code page of 8-bit .reg files: the option, the environment, else Windows-1252; and
// the user of a Windows partition and the user's SID: the option, else the environment. And
// the environment through which the window passes its choice to the programs it starts.

#include "registry/SourceChoice.h"
#include "runtime/SourceOptions.h"

#include <functional>
#include <string>
#include <vector>

namespace moxalo::runtime {

using registry::SourceChoice;
using Environment = std::function<const char*(const char*)>;

// The sources as the window passes them to the programs it starts: each path percent-encoded
// ("%" as %25, ":" as %3A), joined by ":". MOXALO_REGISTRY, which a user writes as PATH is
// written, cannot hold a path with a ":"; this holds any path, and is read before it.
inline constexpr const char* kPassedRegistry = "MOXALO_REGISTRY_ENCODED";
// The user of a Windows partition (--user) and the user's SID (--sid), read when the option
// is not given: the window passes its choice on in them.
inline constexpr const char* kUserVariable = "MOXALO_USER";
inline constexpr const char* kSidVariable = "MOXALO_SID";

// The program's name starts the names of the holder keys it writes into hives (see
// SourceChoice::holderKeyPrefix), and those of the hives written for its tests and benchmark.
inline constexpr const char* kHolderKeyPrefix = "moxalo holder ";

struct EnvironmentVariable {
    std::string name;
    std::string value;
};
// What the programs the window starts (the registry editor, the text editor) need in their
// environment to choose what `choice` holds. Nothing for the bundled sample: they find it by
// themselves, and it stays read-only for them too.
std::vector<EnvironmentVariable> passedOn(const SourceChoice& choice);

// chosenBy is "--registry", kPassedRegistry, "MOXALO_REGISTRY", "WINEPREFIX", "~/.wine" or
// "bundled sample"; codePageChosenBy "--code-page", "MOXALO_CODEPAGE" or "". `options` are
// what the command line named.
SourceChoice chooseSources(const SourceOptions& options, const Environment& env,
                           const std::string& programFolder);
// Where the bundled sample registry sits for a program in `programFolder`.
std::string bundledSamplePath(const std::string& programFolder);

} // namespace moxalo::runtime
