#include "catalogue/diff/RegistryDiff.h"

namespace moxalo::catalogue::diff {

namespace {

Change addedOrRemoved(ChangeKind kind, const TypeState& type) {
    Change change{kind, type.extension, std::nullopt, {}, {}};
    (kind == ChangeKind::Added ? change.after : change.before) = type[Aspect::ProgId];
    return change;
}

void compareType(const TypeState& before, const TypeState& after, std::vector<Change>& changes) {
    for (Aspect aspect : kAspects) {
        if (before[aspect] != after[aspect])
            changes.push_back(
                {ChangeKind::Changed, after.extension, aspect, before[aspect], after[aspect]});
    }
}

} // namespace

std::string_view changeKindText(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::Added:
        return "added";
    case ChangeKind::Removed:
        return "removed";
    case ChangeKind::Changed:
        return "changed";
    }
    return "";
}

std::vector<Change> compareSnapshots(const Snapshot& before, const Snapshot& after) {
    std::vector<Change> changes;
    NameLess less;
    auto b = before.begin(), a = after.begin();
    while (b != before.end() || a != after.end()) {
        if (a == after.end() || (b != before.end() && less(b->first, a->first))) {
            changes.push_back(addedOrRemoved(ChangeKind::Removed, (b++)->second));
        } else if (b == before.end() || less(a->first, b->first)) {
            changes.push_back(addedOrRemoved(ChangeKind::Added, (a++)->second));
        } else {
            compareType((b++)->second, (a++)->second, changes);
        }
    }
    return changes;
}

} // namespace moxalo::catalogue::diff
