#pragma once
// A Windows partition as a registry source, mounted or copied into a folder: the machine's
// SOFTWARE hive in Windows/System32/config, and each user's NTUSER.DAT (Users/NAME) and
// UsrClass.dat (Users/NAME/AppData/Local/Microsoft/Windows). Windows writes these names in
// whatever case it likes, and a copy keeps that case on a file system that heeds it, so every
// name is matched without regard to case.

#include "base/Result.h"

#include <string>
#include <vector>

namespace moxalo::registry {

// One profile folder under Users and the hives found in it, "" where one is not there.
struct ProfileHives {
    std::string user; // the folder's name as it is on disk
    std::string ntUser;
    std::string usrClass;
};

struct PartitionHives {
    std::string software; // "" when the partition has none
    // The users' profiles that hold a hive, sorted by name in any case. Those Windows makes for
    // itself (Default, Default User, All Users, Public, defaultuser0) are left out.
    std::vector<ProfileHives> users;
};

// Whether a folder is laid out as a Windows partition: it holds Windows/System32/config or
// Users. (A Wine prefix holds system.reg instead; its drive_c holds windows and users, but no
// hives.)
bool isWindowsPartition(const std::string& folder);

// The hives of the partition as they are found now. Folders that cannot be read are taken as
// holding none.
PartitionHives findPartitionHives(const std::string& folder);

// The hives of the profile folder named `user` (in any case), also one of those the lists leave
// out; a profile without either hive when there is no such folder.
ProfileHives findProfileHives(const std::string& folder, const std::string& user);

// The users of the partition that hold an NTUSER.DAT or a UsrClass.dat, as PartitionHives lists
// them: for a window to offer when there are several. Fails when `folder` is no Windows
// partition.
Result<std::vector<std::string>> windowsPartitionUsers(const std::string& folder);

// Every hive file of the partition: SOFTWARE, then each user's, of the users listed and of
// those left out.
std::vector<std::string> partitionHiveFiles(const std::string& folder);

} // namespace moxalo::registry
