#pragma once
// Memory for many small things that all go at once: each allocation takes the next bytes of a
// block, and the blocks are freed together when the arena goes. A registry file's keys,
// names and values live in one, so that loading costs no allocation per key and freeing
// costs nothing per key.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace moxalo::registry {

class Arena {
public:
    Arena() = default;
    Arena(Arena&& other) noexcept;
    Arena& operator=(Arena&& other) noexcept;

    void* allocate(std::size_t size, std::size_t alignment) {
        std::size_t at = (used_ + alignment - 1) & ~(alignment - 1);
        if (at + size > size_)
            return allocateInNewBlock(size, alignment);
        used_ = at + size;
        return block_ + at;
    }
    // Grows the allocation at `at` of `size` bytes to `newSize` where it stands, when it is
    // the last one made and its block has room; false, changing nothing, when not.
    bool extend(void* at, std::size_t size, std::size_t newSize) {
        if (static_cast<char*>(at) + size != block_ + used_ || used_ - size + newSize > size_)
            return false;
        used_ = used_ - size + newSize;
        return true;
    }
    // A copy of `text` that lives as long as the arena.
    std::string_view keep(std::string_view text);

private:
    void* allocateInNewBlock(std::size_t size, std::size_t alignment);

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* block_ = nullptr; // the block being filled
    std::size_t size_ = 0;  // its size
    std::size_t used_ = 0;  // and the bytes of it taken
};

} // namespace moxalo::registry
