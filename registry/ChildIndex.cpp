#include "registry/ChildIndex.h"

#include "base/NameFold.h"

#include <cstdint>

namespace moxalo::registry {

namespace {

// Marks a slot whose entry was removed: a search goes on past it.
MemoryNode* const kErased = reinterpret_cast<MemoryNode*>(alignof(MemoryNode));
constexpr std::size_t kFirstSize = 64;

bool isEntry(const MemoryNode* node) {
    return node != nullptr && node != kErased;
}

} // namespace

std::size_t ChildIndex::hashOf(const MemoryNode* parent, std::string_view name) {
    // Fibonacci hashing spreads the parent's address over the bits the table uses.
    auto mixed =
        static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(parent)) * 0x9E3779B97F4A7C15ull;
    return hashName(name) ^ mixed ^ (mixed >> 29);
}

MemoryNode* ChildIndex::find(const MemoryNode* parent, std::string_view name) const {
    if (slots_.empty())
        return nullptr;
    std::size_t hash = hashOf(parent, name);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.node == nullptr)
            return nullptr;
        if (slot.hash == hash && isEntry(slot.node) && slot.node->parent == parent &&
            sameName(slot.node->name, name))
            return slot.node;
    }
}

void ChildIndex::insert(MemoryNode* child) {
    // At most 3/4 full, counting removed entries, so that every search meets an empty slot.
    reserve(1);
    std::size_t hash = hashOf(child->parent, child->name);
    std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].node != nullptr)
        i = (i + 1) & mask;
    slots_[i] = {hash, child};
    ++used_;
}

void ChildIndex::erase(const MemoryNode* child) {
    if (slots_.empty())
        return;
    std::size_t hash = hashOf(child->parent, child->name);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i].node != nullptr; i = (i + 1) & mask) {
        if (slots_[i].node == child) {
            slots_[i].node = kErased;
            return;
        }
    }
}

void ChildIndex::reserve(std::size_t more) {
    if ((used_ + more) * 4 > slots_.size() * 3)
        grow(more);
}

void ChildIndex::grow(std::size_t more) {
    std::vector<Slot> old;
    old.swap(slots_);
    std::size_t entries = 0;
    for (const Slot& slot : old)
        entries += isEntry(slot.node) ? 1 : 0;
    std::size_t size = kFirstSize;
    while ((entries + more) * 2 > size)
        size *= 2;
    slots_.assign(size, Slot{});
    used_ = 0;
    std::size_t mask = size - 1;
    for (const Slot& slot : old) {
        if (!isEntry(slot.node))
            continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].node != nullptr)
            i = (i + 1) & mask;
        slots_[i] = slot;
        ++used_;
    }
}

} // namespace moxalo::registry
