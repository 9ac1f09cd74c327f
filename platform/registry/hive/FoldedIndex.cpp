#include "platform/registry/hive/FoldedIndex.h"

#include "platform/registry/NameFold.h"

#include <bit>
#include <functional>

namespace moxalo::hive {

namespace {

std::size_t foldedHash(std::string_view name) {
    return std::hash<std::string>{}(registry::foldName(name));
}

} // namespace

void FoldedIndex::build(const std::vector<std::string>& names) {
    // At most half full, so that probes stay short.
    slots_.assign(std::bit_ceil(2 * names.size() + 2), 0);
    hashes_.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        hashes_[i] = foldedHash(names[i]);
        place(i);
    }
}

void FoldedIndex::added(const std::vector<std::string>& names) {
    if (!built())
        return;
    if (2 * names.size() + 2 > slots_.size()) {
        build(names); // doubling keeps the rebuilds linear in all
        return;
    }
    hashes_.push_back(foldedHash(names.back()));
    place(names.size() - 1);
}

void FoldedIndex::place(std::size_t i) {
    std::size_t mask = slots_.size() - 1;
    std::size_t slot = hashes_[i] & mask;
    while (slots_[slot] != 0)
        slot = (slot + 1) & mask;
    slots_[slot] = static_cast<std::uint32_t>(i + 1);
}

std::size_t FoldedIndex::find(const std::vector<std::string>& names, std::string_view name) const {
    if (slots_.empty())
        return npos;
    std::size_t hash = foldedHash(name);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        std::size_t i = slots_[slot] - 1;
        if (hashes_[i] == hash && registry::sameName(names[i], name))
            return i;
    }
    return npos;
}

} // namespace moxalo::hive
