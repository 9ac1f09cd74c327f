#include "registry/regedit/RegFileNames.h"

#include "base/Utf16.h"
#include "registry/WinTypes.h"
#include "registry/regedit/RegFileData.h"

namespace moxalo::regfile {

namespace {

constexpr std::string_view kLineBreak =
    "holds a line break, which would end the key's line in a .reg file";
constexpr std::string_view kNul = "holds a NUL character, which a .reg file cannot carry";
// The limits as the messages below give them.
static_assert(registry::MAX_KEY_NAME == 255 && kMaxValueNameChars == 16383);

// The limits are in UTF-16 units, of which no name has more than it has bytes: only a name
// longer in bytes is converted to count them.
bool longerThan(std::string_view name, std::size_t units) {
    return name.size() > units && text::utf8ToUtf16le(name).size() / 2 > units;
}

// A line break or NUL in `text`, each of which no line of the file can hold.
std::string_view unwritableCharacter(std::string_view text) {
    for (char c : text) {
        if (c == '\r' || c == '\n')
            return kLineBreak;
        if (c == '\0')
            return kNul;
    }
    return {};
}

} // namespace

std::string_view unwritableKeyName(std::string_view name) {
    if (name.empty())
        return "is empty, which no key's name can be";
    if (std::string_view why = unwritableCharacter(name); !why.empty())
        return why;
    if (name.find('\\') != std::string_view::npos)
        return "holds a backslash, which a .reg file takes for the start of a subkey's name";
    if (longerThan(name, registry::MAX_KEY_NAME))
        return "is longer than the 255 characters a key name may have";
    return {};
}

std::string_view unwritableKeyPath(std::string_view path) {
    return unwritableCharacter(path);
}

std::string_view unwritableValueName(std::string_view name) {
    if (name.find('\0') != std::string_view::npos)
        return kNul;
    if (longerThan(name, kMaxValueNameChars))
        return "is longer than the 16383 characters a value name may have";
    return {};
}

} // namespace moxalo::regfile
