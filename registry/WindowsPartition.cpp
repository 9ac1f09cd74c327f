#include "registry/WindowsPartition.h"

#include "base/NameFold.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string_view>

namespace moxalo::registry {

namespace {

namespace fs = std::filesystem;

// The entries of a folder, sorted by name so that the same folder gives the same answer; none
// when it cannot be read.
std::vector<fs::path> entriesOf(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The entry of `folder` named `name` in any case, or "" when there is none.
fs::path entryNamed(const fs::path& folder, std::string_view name) {
    for (const auto& entry : entriesOf(folder)) {
        if (sameName(entry.filename().string(), name))
            return entry;
    }
    return {};
}

// The path under `folder` whose names are `names`, each in any case: the last a file, the
// others folders. "" when it is not there.
std::string pathUnder(const fs::path& folder, std::initializer_list<std::string_view> names) {
    fs::path at = folder;
    std::size_t left = names.size();
    for (std::string_view name : names) {
        at = entryNamed(at, name);
        --left;
        if (at.empty() || !(left == 0 ? isFile(at) : isFolder(at)))
            return {};
    }
    return at.string();
}

fs::path usersFolder(const std::string& folder) {
    fs::path users = entryNamed(folder, "Users");
    return !users.empty() && isFolder(users) ? users : fs::path();
}

ProfileHives hivesOf(const fs::path& profile) {
    return {profile.filename().string(), pathUnder(profile, {"NTUSER.DAT"}),
            pathUnder(profile, {"AppData", "Local", "Microsoft", "Windows", "UsrClass.dat"})};
}

bool holdsHive(const ProfileHives& hives) {
    return !hives.ntUser.empty() || !hives.usrClass.empty();
}

// The profiles Windows makes for itself are nobody's settings. "Default" holds the NTUSER.DAT
// that new profiles are copied from: listed, it would make every machine with one user a
// machine with two, so it is read only when named (--user Default). "All Users" and "Default
// User" are junctions to ProgramData and Default; "Public" holds no hives; "defaultuser0" (and
// further numbers) is the account Windows setup uses and most often leaves behind.
bool madeByWindows(std::string_view user) {
    for (std::string_view name : {"Default", "Default User", "All Users", "Public"}) {
        if (sameName(user, name))
            return true;
    }
    constexpr std::string_view setup = "defaultuser";
    if (user.size() <= setup.size() || !sameName(user.substr(0, setup.size()), setup))
        return false;
    return std::all_of(user.begin() + setup.size(), user.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

bool isWindowsPartition(const std::string& folder) {
    fs::path windows = entryNamed(folder, "Windows");
    if (!windows.empty()) {
        fs::path system32 = entryNamed(windows, "System32");
        if (!system32.empty() && isFolder(entryNamed(system32, "config")))
            return true;
    }
    return !usersFolder(folder).empty();
}

PartitionHives findPartitionHives(const std::string& folder) {
    PartitionHives found;
    found.software = pathUnder(folder, {"Windows", "System32", "config", "SOFTWARE"});
    fs::path users = usersFolder(folder);
    if (users.empty())
        return found;
    for (const auto& entry : entriesOf(users)) {
        if (!isFolder(entry) || madeByWindows(entry.filename().string()))
            continue;
        if (ProfileHives hives = hivesOf(entry); holdsHive(hives))
            found.users.push_back(std::move(hives));
    }
    // As Windows lists them: "alice" beside "Alice", not after "Zoe".
    std::stable_sort(found.users.begin(), found.users.end(),
                     [](const ProfileHives& a, const ProfileHives& b) {
                         return compareNames(a.user, b.user) < 0;
                     });
    return found;
}

ProfileHives findProfileHives(const std::string& folder, const std::string& user) {
    fs::path users = usersFolder(folder);
    fs::path profile = users.empty() ? fs::path() : entryNamed(users, user);
    if (profile.empty() || !isFolder(profile))
        return {user, {}, {}};
    return hivesOf(profile);
}

Result<std::vector<std::string>> windowsPartitionUsers(const std::string& folder) {
    if (!isFolder(folder))
        return fail(folder + ": no such folder");
    if (!isWindowsPartition(folder))
        return fail(folder + ": not a Windows partition: it holds neither Windows\\System32\\"
                             "config nor Users");
    std::vector<std::string> users;
    for (const auto& hives : findPartitionHives(folder).users)
        users.push_back(hives.user);
    return users;
}

std::vector<std::string> partitionHiveFiles(const std::string& folder) {
    std::vector<std::string> files;
    PartitionHives found = findPartitionHives(folder);
    if (!found.software.empty())
        files.push_back(found.software);
    auto add = [&files](const ProfileHives& hives) {
        for (const std::string* file : {&hives.ntUser, &hives.usrClass}) {
            if (!file->empty())
                files.push_back(*file);
        }
    };
    for (const auto& hives : found.users)
        add(hives);
    for (const auto& entry : entriesOf(usersFolder(folder))) {
        if (madeByWindows(entry.filename().string()) && isFolder(entry))
            add(hivesOf(entry));
    }
    return files;
}

} // namespace moxalo::registry
