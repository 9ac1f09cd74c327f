#pragma once
// The cells of a hive's bytes, checked once: the base block, then one walk over the hive bins
// and their cell sizes, which notes where each used cell starts. Every read after it asks
// here whether an offset is a used cell and of which kind, without walking again. The checks
// and their messages are the ones the reader has always given; the root must be a used key
// cell, as libhivex, which writes the hive, requires.

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::hive {

class HiveCells {
public:
    // Throws registry::StoreError "<path>: <what is wrong>"; `bytes` and `memory` must outlive
    // this. Its notes, and those of whoever reads the cells, are in `memory`.
    HiveCells(std::span<const std::uint8_t> bytes, const std::string& path,
              std::pmr::memory_resource* memory);

    std::pmr::memory_resource* memory() const { return used_.get_allocator().resource(); }
    const std::uint8_t* bytes() const { return bytes_.data(); }
    // The end of the hive bins (an absolute offset): what lies past it is no part of the hive.
    std::size_t binsEnd() const { return binsEnd_; }
    // The root key's cell, as a node handle (an absolute offset).
    std::size_t root() const { return root_; }
    // The size of the used cell starting at absolute offset `at`, its size field included, or 0
    // when no used cell starts there.
    std::size_t usedCell(std::size_t at) const {
        if (at % kGrain != 0 || at < kFirstCell || at >= binsEnd_)
            return 0;
        std::size_t bit = (at - kFirstCell) / kGrain;
        if ((used_[bit / 64] >> (bit % 64) & 1) == 0)
            return 0;
        return cellSize(at);
    }
    // Whether a used cell of kind `id` ("nk", "lh", ...) starts at `at`.
    bool is(std::size_t at, std::string_view id) const {
        return usedCell(at) >= 8 && bytes_[at + 4] == id[0] && bytes_[at + 5] == id[1];
    }

private:
    // Cell sizes are multiples of 4, so cells start on 4-byte boundaries.
    static constexpr std::size_t kGrain = 4;
    static constexpr std::size_t kFirstCell = 0x1000;

    std::size_t cellSize(std::size_t at) const;
    void checkBaseBlock(const std::string& path);
    std::size_t checkBin(const std::string& path, std::size_t at);
    void checkRoot(const std::string& path) const;

    std::span<const std::uint8_t> bytes_;
    std::size_t binsEnd_ = 0;
    std::size_t root_ = 0;
    std::pmr::vector<std::uint64_t> used_; // one bit per 4 bytes of bins: a used cell starts there
};

} // namespace moxalo::hive
