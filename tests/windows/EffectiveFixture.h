#pragma once
// A regedit export of a user's choices, read as the program reads a named .reg file: ".moxa" is
// chosen by the user (which a .reg file cannot prove: no key times) and opened by moxa.exe with
// a second program in its Open With list; ".gone" is chosen as a class that exists nowhere;
// ".plain" has only its class. And the real pair of one Windows 10 user's hives.

#include <string>

namespace moxalo::testing {

// Writes the export into `folder` and mounts it; returns its path.
std::string mountEffectiveFixture(const std::string& folder);
// Mounts win10-NTUSER.DAT with win10-UsrClass.dat; false when the shared hives are not there.
bool mountWin10User();

} // namespace moxalo::testing
