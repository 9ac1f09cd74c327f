#pragma once
// Running moxalo-cli or moxalo-regedit as a user does, never through a shell, so paths with
// blanks pass as they are: what it printed, and how it ended.

#include "tests/support/TestRegistry.h"

#include <string>
#include <vector>

namespace moxalo::testing {

struct CliRun {
    int status = -1;      // the exit status
    bool crashed = false; // ended by a signal (an abort, a segmentation fault)
    bool hung = false;    // still running after the time allowed, and killed
    std::string out;
    std::string err;
};

// The program's output goes to files in `dir`. Its environment holds HOME (`dir`) and
// `variables` ("NAME=value") only.
CliRun cli(std::vector<std::string> args, const TempDir& dir,
           std::vector<std::string> variables = {}, int secondsAllowed = 60);
// The same for the registry editor's stand-in.
CliRun regedit(std::vector<std::string> args, const TempDir& dir,
               std::vector<std::string> variables = {}, int secondsAllowed = 60);

// What a program printed, one string a line, without the line breaks.
std::vector<std::string> lines(const std::string& text);

} // namespace moxalo::testing
