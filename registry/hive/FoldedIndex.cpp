#include "registry/hive/FoldedIndex.h"

#include "base/NameFold.h"

#include <bit>

namespace moxalo::hive {

void FoldedIndex::build(std::span<const std::string_view> names) {
    // At most half full, so that probes stay short.
    slots_.assign(std::bit_ceil(2 * names.size() + 2), 0);
    hashes_.resize(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        hashes_[i] = registry::hashName(names[i]);
        place(i);
    }
}

void FoldedIndex::added(std::span<const std::string_view> names) {
    if (!built())
        return;
    if (2 * names.size() + 2 > slots_.size()) {
        build(names); // doubling keeps the rebuilds linear in all
        return;
    }
    hashes_.push_back(registry::hashName(names.back()));
    place(names.size() - 1);
}

std::size_t FoldedIndex::slotOf(std::size_t i) const {
    std::size_t mask = slots_.size() - 1;
    std::size_t slot = hashes_[i] & mask;
    while (slots_[slot] != i + 1)
        slot = (slot + 1) & mask;
    return slot;
}

void FoldedIndex::removed(std::size_t at, std::size_t count) {
    if (!built())
        return;
    std::size_t mask = slots_.size() - 1;
    // Linear probing: the entries after the hole that may not stay behind it move up into it.
    std::size_t hole = slotOf(at);
    for (std::size_t next = (hole + 1) & mask; slots_[next] != 0; next = (next + 1) & mask) {
        std::size_t home = hashes_[slots_[next] - 1] & mask;
        bool stays = hole <= next ? hole < home && home <= next : hole < home || home <= next;
        if (!stays) {
            slots_[hole] = slots_[next];
            hole = next;
        }
    }
    slots_[hole] = 0;
    std::size_t last = count - 1;
    if (at != last) {
        slots_[slotOf(last)] = static_cast<std::uint32_t>(at + 1);
        hashes_[at] = hashes_[last];
    }
    hashes_.pop_back();
}

void FoldedIndex::place(std::size_t i) {
    std::size_t mask = slots_.size() - 1;
    std::size_t slot = hashes_[i] & mask;
    while (slots_[slot] != 0)
        slot = (slot + 1) & mask;
    slots_[slot] = static_cast<std::uint32_t>(i + 1);
}

std::size_t FoldedIndex::find(std::span<const std::string_view> names,
                              std::string_view name) const {
    if (slots_.empty())
        return npos;
    std::size_t hash = registry::hashName(name);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
        std::size_t i = slots_[slot] - 1;
        if (hashes_[i] == hash && registry::sameName(names[i], name))
            return i;
    }
    return npos;
}

} // namespace moxalo::hive
