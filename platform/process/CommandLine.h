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

// The text to put between double quotes so that splitting gives `argument` back: a quote gets a
// backslash, and the backslashes before a quote or before the closing one are doubled. A Windows
// file name, which holds no quote, comes back as it is.
std::string escapeQuoted(std::string_view argument);

// The file name that ends a command line, as regedit /I and notepad read theirs: split by the
// rules above when it starts with a quote, else the text as it is, runs of blanks included.
std::string trailingFileName(std::string_view text);

// The first argument of `text`, split as splitCommandLine splits, and in `rest` what follows
// the blanks after it.
std::string firstArgument(std::string_view text, std::string_view& rest);

// Given to the program's own stand-ins, with the rest of the line after the program's name
// (WinMain's lpCmdLine), which they read as regedit and notepad read theirs.
inline constexpr std::string_view kCommandLineOption = "--command-line";

// A program of Windows that runs here as a stand-in: `name` ("regedit") runs `file`.
struct StandIn {
    std::string name;
    std::string file;
};
using StandIns = std::vector<StandIn>;

struct ProgramStart {
    std::string program;
    std::vector<std::string> arguments;
};
// The program to start for `commandLine`, and its arguments: the line split, except for the
// stand-ins, which get kCommandLineOption and the rest of the line, so that a name with runs of
// blanks or with quotes in it arrives as the line holds it.
ProgramStart programStart(std::string_view commandLine, const StandIns& standIns);

// The file to run for a program name: a stand-in's name (with or without ".exe", in any case)
// runs its file; any other name is looked up as the system looks up a command.
std::string resolveProgram(const std::string& name, const StandIns& standIns);

} // namespace moxalo::process
