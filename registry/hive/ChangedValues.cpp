#include "registry/hive/ChangedValues.h"

namespace moxalo::hive {

void ChangedValues::keep(std::string name, registry::RegValue value) {
    twins_ |= !byName_.emplace(name, entries_.size()).second;
    entries_.push_back({std::move(name), std::move(value)});
}

const registry::RegValue* ChangedValues::find(std::string_view name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : &entries_[it->second].value;
}

void ChangedValues::set(std::string_view name, const registry::RegValue& value) {
    if (auto it = byName_.find(name); it != byName_.end()) {
        entries_[it->second].value = value;
        return;
    }
    byName_.emplace(std::string(name), entries_.size());
    entries_.push_back({std::string(name), value});
}

void ChangedValues::remove(std::string_view name) {
    auto it = byName_.find(name);
    if (it == byName_.end())
        return;
    entries_[it->second].removed = true;
    ++removed_;
    byName_.erase(it);
    if (!twins_)
        return;
    for (Entry& entry : entries_) {
        if (!entry.removed && registry::sameName(entry.name, name)) {
            entry.removed = true;
            ++removed_;
        }
    }
}

const ChangedValues::Entry& ChangedValues::at(std::size_t index) {
    compact();
    return entries_.at(index);
}

const std::vector<ChangedValues::Entry>& ChangedValues::inOrder() {
    compact();
    return entries_;
}

void ChangedValues::compact() {
    if (removed_ == 0)
        return;
    std::erase_if(entries_, [](const Entry& entry) { return entry.removed; });
    removed_ = 0;
    // Every name left is in the index already; from the last to the first, so that twins
    // end up at the first of them.
    for (std::size_t i = entries_.size(); i-- > 0;)
        byName_[entries_[i].name] = i;
}

} // namespace moxalo::hive
