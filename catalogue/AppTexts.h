#pragma once
// Texts that the program's captions and files fix, each in one place for every writer.

#include <string>
#include <string_view>

namespace moxalo::catalogue {

inline constexpr std::string_view kAppTitle = "Moxalo";
inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr std::string_view kStarLine = "************************************";
inline constexpr std::string_view kListHeader =
    "File Extension \\ File Type \\ In 'Open With List' \\ Key path";
inline constexpr std::string_view kClassesRootPrefix = "HKEY_CLASSES_ROOT\\";

// "Moxalo [ 1234 Registered file extensions found ]"
std::string CountCaption(long long rows);
// The application title followed by a bracketed status, e.g. " [ Saving: txt ... ]".
std::string StatusCaption(std::string_view status);

} // namespace moxalo::catalogue
