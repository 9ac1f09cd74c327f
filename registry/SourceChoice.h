#pragma once
// The sources a registry is read from, as the front end chose them, and the code page of their
// 8-bit .reg files.

#include <string>
#include <vector>

namespace moxalo::registry {

struct SourceChoice {
    std::vector<std::string> paths;
    std::string chosenBy; // what chose them, as the user is told
    bool bundledSample = false;
    std::string codePage = "1252";
    std::string codePageChosenBy = {}; // what chose the code page, or "" for the default
    // Why the sources may not be written, "" when they may: a .reg file so named is opened
    // read-only.
    std::string readOnlyBecause = {};
    // Starts the names of the temporary keys that a change to a hive key with many subkeys
    // makes while the hive is written (see hive/HolderKeys.h): the program's own, so that no
    // real key is likely to have one.
    std::string holderKeyPrefix = "holder ";
    // The user whose hives are read from a Windows partition (a folder holding Windows and
    // Users), "" to take its only user.
    std::string user = {};
    // The user's SID when the hives do not tell it, "" when not given.
    std::string sid = {};
};

} // namespace moxalo::registry
