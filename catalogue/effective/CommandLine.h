#pragma once
// The program a verb's command line runs, as Windows splits the line.

#include <string>
#include <string_view>

namespace moxalo::catalogue::effective {

// The quoted first word; else, unquoted, everything up to the first ".exe" that ends a word
// (so that "C:\Program Files\x.exe %1" names the whole path, as CreateProcess tries it); else
// the first word. "" for a blank line.
std::string programOfCommand(std::string_view command);

// The file name at the end of a path: "NOTEPAD.EXE" of "%SystemRoot%\system32\NOTEPAD.EXE".
std::string fileNameOf(std::string_view path);

} // namespace moxalo::catalogue::effective
