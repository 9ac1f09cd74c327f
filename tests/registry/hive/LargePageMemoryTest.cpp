// The memory of a hive store's notes: every block whole and apart from the others, whatever
// its size next to the regions it is cut from.

#include "registry/hive/LargePageMemory.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace moxalo::hive {
namespace {

TEST(LargePageMemory, BlocksOfEverySizeAreWholeAlignedAndApart) {
    struct Block {
        std::uint8_t* at;
        std::size_t size;
        std::size_t alignment;
    };
    // Larger than the first region first, then small ones, ones near a region's size, and ones
    // too large to be cut from any.
    const std::vector<std::pair<std::size_t, std::size_t>> asked = {
        {800 << 10, 8},     {24, 8},      {3, 1},   {300 << 10, 16},      {1 << 20, 64},
        {(1 << 20) + 1, 8}, {5 << 20, 8}, {40, 32}, {(4 << 20) - 100, 8}, {16, 16}};
    std::vector<Block> blocks;
    {
        LargePageMemory memory;
        for (auto [size, alignment] : asked) {
            auto* at = static_cast<std::uint8_t*>(memory.allocate(size, alignment));
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(at) % alignment, 0u) << size;
            std::fill(at, at + size, static_cast<std::uint8_t>(blocks.size() + 1));
            blocks.push_back({at, size, alignment});
        }
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const Block& b = blocks[i];
            EXPECT_EQ(std::count(b.at, b.at + b.size, static_cast<std::uint8_t>(i + 1)),
                      static_cast<std::ptrdiff_t>(b.size))
                << "block " << i << " was written over";
        }
        for (const Block& b : blocks)
            memory.deallocate(b.at, b.size, b.alignment);
    }
}

} // namespace
} // namespace moxalo::hive
