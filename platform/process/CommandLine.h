#pragma once
// Starting a program from a Windows command line ("regedit /e "C:\x.reg" HKEY_CLASSES_ROOT\.txt"):
// the line is split as Windows programs split theirs and is never handed to a shell, so a file
// name with blanks, quotes, ";" or "$(...)" is data, never code.

#include <string>
#include <string_view>
#include <vector>

namespace moxalo::process {

// The arguments of `commandLine`, the program's name first, by the rules Windows programs use
// (CommandLineToArgvW): blanks separate, double quotes group, backslashes escape a quote only
// when they stand before one.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// The file to run for a program name: "regedit" and "notepad" (with or without ".exe", in any
// case) are the program's own stand-ins in `programFolder` (moxalo-regedit, moxalo-notepad);
// any other name is looked up as the system looks up a command.
std::string resolveProgram(const std::string& name, const std::string& programFolder);

} // namespace moxalo::process
