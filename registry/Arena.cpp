#include "registry/Arena.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace moxalo::registry {

namespace {

// Blocks double from the first size up to the largest; a thing larger than that gets a block
// of its own. Large blocks come straight from the system, which gives them pages only as they
// are used.
constexpr std::size_t kFirstBlock = std::size_t{16} << 10;
constexpr std::size_t kLargestBlock = std::size_t{4} << 20;

} // namespace

Arena::Arena(Arena&& other) noexcept
    : blocks_(std::move(other.blocks_)), block_(std::exchange(other.block_, nullptr)),
      size_(std::exchange(other.size_, 0)), used_(std::exchange(other.used_, 0)) {}

Arena& Arena::operator=(Arena&& other) noexcept {
    blocks_ = std::move(other.blocks_);
    block_ = std::exchange(other.block_, nullptr);
    size_ = std::exchange(other.size_, 0);
    used_ = std::exchange(other.used_, 0);
    return *this;
}

void* Arena::allocateInNewBlock(std::size_t size, std::size_t alignment) {
    std::size_t next = std::min(std::max(kFirstBlock, size_ * 2), kLargestBlock);
    std::size_t needed = size + alignment;
    // new char[] is aligned for any fundamental type, which is all that is asked for here.
    blocks_.emplace_back(new char[std::max(next, needed)]);
    block_ = blocks_.back().get();
    size_ = std::max(next, needed);
    used_ = 0;
    return allocate(size, alignment);
}

std::string_view Arena::keep(std::string_view text) {
    if (text.empty())
        return {};
    auto copy = static_cast<char*>(allocate(text.size(), 1));
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
}

} // namespace moxalo::registry
