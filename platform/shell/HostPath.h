#pragma once
// Where a file named by a Windows path stored in the registry ("C:\Windows\x.ico") is found on
// this machine: under the drive of a Wine prefix.

#include <string>
#include <vector>

namespace moxalo::shell {

// `X:\a\b.ico` (any drive letter, either slash) becomes `<prefix>/dosdevices/x:/a/b.ico` when a
// prefix has that device (the link is followed to wherever it points), else
// `<prefix>/drive_x/a/b.ico`; the prefixes are tried in order and the first under which the
// file exists wins. As Wine does, each folder and file name is matched without regard to ASCII
// case when its exact spelling is not there. A path without a drive letter, or one found under
// no prefix, comes back unchanged. Environment variables such as %SystemRoot% are not expanded:
// such a path has no drive letter.
std::string hostPathOf(const std::string& windowsPath,
                       const std::vector<std::string>& winePrefixes);

} // namespace moxalo::shell
