#include "registry/regedit/RegFileRoots.h"

#include "base/NameFold.h"
#include "base/Utf16.h"
#include "registry/WinTypes.h"

#include <algorithm>
#include <array>

namespace moxalo::regfile {

namespace {

constexpr std::array kRoots = {kClassesRoot, kLocalMachine, kCurrentUser, kUsers, kCurrentConfig};

// regedit parses this name too, but Windows NT has no such root, so no key can go there.
constexpr std::string_view kDynData = "HKEY_DYN_DATA";

std::size_t utf16Length(std::string_view name) {
    return text::utf8ToUtf16le(name).size() / 2;
}

std::string rootProblem(std::string_view root) {
    if (registry::sameName(root, kDynData))
        return "HKEY_DYN_DATA exists only on Windows 9x";
    return "unknown root key \"" + std::string(root) +
           "\" (roots are written in full, such as HKEY_CLASSES_ROOT)";
}

} // namespace

std::string KeyPath::joined() const {
    std::string out(root);
    for (std::string_view name : names) {
        out += '\\';
        out += name;
    }
    return out;
}

std::string_view canonicalRoot(std::string_view name) {
    // Exports spell the roots as they are; every key line names one.
    for (std::string_view root : kRoots) {
        if (name == root)
            return root;
    }
    for (std::string_view root : kRoots) {
        if (registry::sameName(name, root))
            return root;
    }
    return {};
}

Result<> parseKeyPath(std::string_view text, KeyPath& path) {
    std::size_t slash = text.find('\\');
    std::string_view rootName = text.substr(0, slash);
    path.root = canonicalRoot(rootName);
    path.names.clear();
    if (path.root.empty())
        return fail(rootProblem(rootName));
    if (slash == std::string_view::npos)
        return {};
    std::string_view rest = text.substr(slash + 1);
    if (!rest.empty() && rest.front() == '\\')
        return fail("the key path starts with a backslash after the root");
    for (std::size_t start = 0; start < rest.size();) {
        std::size_t end = std::min(rest.find('\\', start), rest.size());
        if (end > start)
            path.names.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    for (std::string_view name : path.names) {
        // The registry functions would end the name there, at another key's name.
        if (name.find('\0') != std::string_view::npos)
            return fail("a key name holds a NUL character");
        if (name.size() > registry::MAX_KEY_NAME && utf16Length(name) > registry::MAX_KEY_NAME)
            return fail("a key name is longer than " + std::to_string(registry::MAX_KEY_NAME) +
                        " characters");
    }
    if (path.names.size() + 1 > kMaxKeyDepth)
        return fail("the key is nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
    return {};
}

} // namespace moxalo::regfile
