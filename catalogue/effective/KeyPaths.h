#pragma once
// The keys Windows reads to open a file, by path, and the names they are shown by: each step
// of a resolution names its key from its root ("HKCU\Software\Classes\.txt") so that it can be
// found in a hive with any registry viewer.

#include "registry/RegistryStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::catalogue::effective {

inline constexpr std::string_view kCurrentUser = "HKCU";
inline constexpr std::string_view kMachineSoftware = "HKLM\\Software";
inline constexpr std::string_view kUserClasses = "HKCU\\Software\\Classes";
inline constexpr std::string_view kMachineClasses = "HKLM\\Software\\Classes";
inline constexpr std::string_view kClassesRootShort = "HKCR";
// Below HKEY_CURRENT_USER.
inline constexpr std::string_view kFileExts =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
inline constexpr std::string_view kWineAssociations = "Software\\Wine\\FileOpenAssociations";
// Below HKEY_CURRENT_USER\Software and HKEY_LOCAL_MACHINE\Software alike.
inline constexpr std::string_view kAppPaths = "Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr std::string_view kRegisteredApplications = "RegisteredApplications";
// Below HKEY_LOCAL_MACHINE\Software.
inline constexpr std::string_view kPolicySystem = "Policies\\Microsoft\\Windows\\System";
inline constexpr std::string_view kPolicyValue = "DefaultAssociationsConfiguration";

// A key of one store with the name it is shown by.
struct Place {
    registry::RegistryStore* store = nullptr;
    registry::NodeId key = registry::kNoNode;
    std::string path;
    explicit operator bool() const { return store != nullptr && key != registry::kNoNode; }
    // The subkey at a "\"-separated path below this one, or an empty place.
    Place below(std::string_view subpath) const;
    // A string value's text up to its first NUL; nothing for a missing value or another type.
    std::optional<std::string> text(std::string_view name) const;
    // A REG_DWORD value, or nothing.
    std::optional<std::uint32_t> number(std::string_view name) const;
    // A REG_MULTI_SZ value's strings, or nothing.
    std::optional<std::vector<std::string>> strings(std::string_view name) const;
    std::vector<std::string> subkeyNames() const;
    std::vector<std::string> valueNames() const;
};

std::string joinPath(std::string_view parent, std::string_view child);
// ".txt" of "txt" or ".txt".
std::string dottedExtension(std::string_view extension);

} // namespace moxalo::catalogue::effective
