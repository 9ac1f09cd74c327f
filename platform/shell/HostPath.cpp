#include "platform/shell/HostPath.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <system_error>

namespace moxalo::shell {

namespace fs = std::filesystem;

namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLower(x) == asciiLower(y);
           });
}

bool isSlash(char c) {
    return c == '\\' || c == '/';
}

// "c:\a\\b/c.ico" gives 'c' and {"a", "b", "c.ico"}; nothing unless it starts with a drive.
struct DrivePath {
    char drive;
    std::vector<std::string> names;
};

std::optional<DrivePath> splitDrivePath(const std::string& path) {
    if (path.size() < 3 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' ||
        !isSlash(path[2]))
        return std::nullopt;
    DrivePath split{asciiLower(path[0]), {}};
    std::string name;
    for (std::size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || isSlash(path[i])) {
            if (!name.empty() && name != ".")
                split.names.push_back(name);
            name.clear();
        } else {
            name += path[i];
        }
    }
    return split;
}

// The entry of `folder` called `name`, spelled as given when there is one, else the first
// spelled the same but for ASCII case.
std::optional<fs::path> entryOf(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    fs::path exact = folder / name;
    if (fs::exists(exact, ec))
        return exact;
    if (name == "..")
        return std::nullopt;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (sameIgnoringAsciiCase(it->path().filename().string(), name))
            return it->path();
    }
    return std::nullopt;
}

std::optional<fs::path> driveRoot(const fs::path& prefix, char drive) {
    std::error_code ec;
    // A device is usually a link ("c:" -> "../drive_c", "z:" -> "/"); going through it follows it.
    fs::path device = prefix / "dosdevices" / (std::string(1, drive) + ":");
    if (fs::is_directory(device, ec))
        return device;
    fs::path folder = prefix / ("drive_" + std::string(1, drive));
    if (fs::is_directory(folder, ec))
        return folder;
    return std::nullopt;
}

} // namespace

std::string hostPathOf(const std::string& windowsPath,
                       const std::vector<std::string>& winePrefixes) {
    std::optional<DrivePath> split = splitDrivePath(windowsPath);
    if (!split)
        return windowsPath;
    for (const std::string& prefix : winePrefixes) {
        std::optional<fs::path> found = driveRoot(prefix, split->drive);
        for (const std::string& name : split->names) {
            if (!found)
                break;
            found = entryOf(*found, name);
        }
        std::error_code ec;
        if (found && fs::is_regular_file(*found, ec))
            return found->string();
    }
    return windowsPath;
}

} // namespace moxalo::shell
