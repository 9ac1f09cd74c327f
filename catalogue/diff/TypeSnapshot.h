#pragma once
// What two registries are compared by: for each registered extension, the few things that say
// how its files are named, shown and opened, read alike from any kind of source.

#include "base/NameFold.h"
#include "base/Result.h"
#include "catalogue/effective/Effective.h"

#include <array>
#include <map>
#include <string>
#include <string_view>

namespace moxalo::catalogue::diff {

// What can change about a type, in the order its changes are told.
enum class Aspect { TypeName, ProgId, DefaultAction, Command, Icon, OpenWith, DefaultApp };
inline constexpr std::size_t kAspectCount = 7;
inline constexpr std::array<Aspect, kAspectCount> kAspects{
    Aspect::TypeName, Aspect::ProgId,   Aspect::DefaultAction, Aspect::Command,
    Aspect::Icon,     Aspect::OpenWith, Aspect::DefaultApp};
// "type name", "ProgID", "default action", "command", "icon", "Open-With list", "default app".
std::string_view aspectText(Aspect aspect);

struct TypeState {
    std::string extension; // as the registry spells it: ".txt"
    std::array<std::string, kAspectCount> aspects;
    const std::string& operator[](Aspect aspect) const {
        return aspects[static_cast<std::size_t>(aspect)];
    }
    std::string& operator[](Aspect aspect) { return aspects[static_cast<std::size_t>(aspect)]; }
};

// Orders names as the registry compares them, so that ".TXT" and ".txt" are one type.
struct NameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        return registry::compareNames(a, b) < 0;
    }
};

// The types of one registry by extension.
using Snapshot = std::map<std::string, TypeState, NameLess>;

// Every extension `view` resolves (HKEY_CLASSES_ROOT's and the user's FileExts'), read from
// `registry`'s HKEY_CLASSES_ROOT and the user's view of it. Fails when the registry cannot be
// read, naming the file and key.
Result<Snapshot> takeSnapshot(registry::Registry& registry, effective::UserView& view);

} // namespace moxalo::catalogue::diff
