#pragma once
// The differences between two registries, type by type: the types one has and the other has
// not, and for a type both have, each aspect that reads otherwise, with what it was and is.

#include "catalogue/diff/TypeSnapshot.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::catalogue::diff {

enum class ChangeKind { Added, Removed, Changed };
// "added", "removed", "changed".
std::string_view changeKindText(ChangeKind kind);

struct Change {
    ChangeKind kind = ChangeKind::Changed;
    std::string type;             // the extension: ".txt"
    std::optional<Aspect> aspect; // what changed, for a type both have
    // What the aspect read in each; for a type added or removed, its ProgID on the side that
    // has it.
    std::string before, after;
};

// From `before` to `after`, by extension in the order names compare, each type's changes in
// the order of its aspects.
std::vector<Change> compareSnapshots(const Snapshot& before, const Snapshot& after);

} // namespace moxalo::catalogue::diff
