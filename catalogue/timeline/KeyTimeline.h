#pragma once
// The keys that make up the file associations, newest write first, so that an analyst sees
// which types changed together and when: each extension's key, the class it names with its
// icon and verbs' commands, and the user's FileExts key and UserChoice for it.

#include "base/Result.h"
#include "catalogue/KeyTime.h"
#include "registry/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moxalo::catalogue::timeline {

struct KeyTime {
    std::string key; // from its root: "HKLM\Software\Classes\txtfile\shell\open\command"
    // The extensions it belongs to, ", " between them: ".txt, .log" for a class both name.
    std::string types;
    std::string source; // the file it was read from
    // The key's last write (a FILETIME); nothing where the source keeps no key times (.reg).
    std::optional<std::uint64_t> written;
};

struct Timeline {
    // Those with a time first, the newest first; then those without, by key.
    std::vector<KeyTime> keys;
    // The sources that keep no time for some of these keys (a .reg file for any; a Wine file
    // for a key it writes no line of, having no values), in the order first met.
    struct Untimed {
        std::string source;
        std::size_t untimed = 0, timed = 0; // of the keys listed
    };
    std::vector<Untimed> untimedSources;
};

// The keys of `registry`'s classes and of the user's FileExts (the user's, with `sid` where
// the hives do not tell it). Fails when the registry cannot be read, naming the file and key.
Result<Timeline> buildTimeline(registry::Registry& registry, const std::string& sid);

using catalogue::isoTime;

} // namespace moxalo::catalogue::timeline
