#pragma once

#include <functional>
#include <string>

namespace moxalo::runtime {

// The folder that holds the running program's file, without a trailing "/".
std::string programFolder();

// Where the program keeps its settings file and its Backups folder: beside itself, for a copy
// the user installed into a folder of their own; in the user's data folder ($XDG_DATA_HOME or
// ~/.local/share, then "moxalo") when the program folder is not the user's to write. The
// folder is created when missing; an error there is left to the commands that write into it.
std::string dataFolder();

// The choice of dataFolder(), with the questions it asks of the system given: whether the
// program folder can be written, and the environment.
using Environment = std::function<const char*(const char*)>;
std::string dataFolderFor(const std::string& programFolder, bool programFolderWritable,
                          const Environment& env);

} // namespace moxalo::runtime
