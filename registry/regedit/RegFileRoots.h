#pragma once
// The root keys a .reg file may name, and how a key line's path splits into root and subkeys.

#include "base/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace moxalo::regfile {

inline constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT";
inline constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE";
inline constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER";
inline constexpr std::string_view kUsers = "HKEY_USERS";
inline constexpr std::string_view kCurrentConfig = "HKEY_CURRENT_CONFIG";
inline constexpr std::string_view kMachineSoftware = "HKEY_LOCAL_MACHINE\\SOFTWARE";
// Where the machine's and the user's classes sit, of which HKEY_CLASSES_ROOT is made.
inline constexpr std::string_view kMachineClasses = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes";
inline constexpr std::string_view kUserClasses = "HKEY_CURRENT_USER\\Software\\Classes";

// Windows allows no deeper nesting of keys; it also bounds every walk over a tree.
inline constexpr std::size_t kMaxKeyDepth = 512;

// A key path as a file names it: the root in its canonical spelling and the subkey names.
struct KeyPath {
    std::string_view root;
    std::vector<std::string_view> names;
    std::string joined() const; // "ROOT\name\name", as MemoryStore paths are written
};

// The canonical spelling of a root named in any case, or "" when `name` is no root.
std::string_view canonicalRoot(std::string_view name);

// Splits "ROOT\sub\path" the way regedit opens it: runs of backslashes separate one level and
// a trailing one is dropped. Fails when the key cannot exist.
Result<> parseKeyPath(std::string_view text, KeyPath& path);

} // namespace moxalo::regfile
