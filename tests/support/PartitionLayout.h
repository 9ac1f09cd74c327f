#pragma once
// Folders laid out as a Windows partition, with names in the mixed case a copy may have: the
// real user hives copied in, and a small SOFTWARE hive written for the test.

#include "tests/support/TestRegistry.h"

#include <string>

namespace moxalo::testing {

// Where a partition's hives sit, spelt as Windows never does, so that only a match without
// regard to case finds them.
inline constexpr const char* kSoftwarePath = "windows/SYSTEM32/Config/software";
std::string ntUserPath(const std::string& user);   // "USERS/<user>/ntuser.dat"
std::string usrClassPath(const std::string& user); // ".../appdata/LOCAL/microsoft/WINDOWS/..."

// A SOFTWARE hive whose Classes hold .pdf -> AcroExch.Document.
void writeSoftwareHive(const std::string& path);
// Copies win10-NTUSER.DAT and win10-UsrClass.dat (either left out when false) as `user`'s.
void addUser(const TempDir& partition, const std::string& user, bool ntUser = true,
             bool usrClass = true);
// A partition with the SOFTWARE hive and `users`' hives, each with both.
void layOutPartition(const TempDir& partition, const std::vector<std::string>& users);

} // namespace moxalo::testing
