#pragma once
// Finds a name among a key's subkey names without regard to case. Built once per key on the
// first lookup; an open-addressing table of positions keeps the build to two allocations,
// which matters for the 60 000 subkeys of a real HKEY_CLASSES_ROOT.

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::hive {

class FoldedIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit FoldedIndex(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
        : slots_(memory), hashes_(memory) {}

    bool built() const { return !slots_.empty(); }
    void build(std::span<const std::string_view> names);
    // Takes in the last of `names`, just appended; the other positions are as they were.
    void added(std::span<const std::string_view> names);
    // The name at position `at` goes, and the last of the `count` names takes its place, as
    // the caller's vector does it; the other positions stay.
    void removed(std::size_t at, std::size_t count);
    // Forgets every position, to be built again on the next lookup.
    void clear() { slots_.clear(); }
    // The position in `names` (as given to build) of the name equal to `name`, or npos.
    std::size_t find(std::span<const std::string_view> names, std::string_view name) const;

private:
    void place(std::size_t i);
    std::size_t slotOf(std::size_t i) const;

    std::pmr::vector<std::uint32_t> slots_; // position + 1, or 0 for an empty slot
    std::pmr::vector<std::size_t> hashes_;  // of each name's folded form
};

} // namespace moxalo::hive
