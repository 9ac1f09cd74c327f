#include "registry/hive/LargePageMemory.h"

#include <new>
#include <sys/mman.h>

namespace moxalo::hive {

namespace {

// The size of a large page: a region that asks for them is of whole ones.
constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Blocks are cut from regions of this size...
constexpr std::size_t kRegion = 2 * kLargePage;
// ...but for the first, of small pages, which is all that a small hive takes: a large page
// there would only cost memory.
constexpr std::size_t kFirstRegion = std::size_t{256} << 10;
// A block larger than this is a region of its own.
constexpr std::size_t kLargestCut = kRegion / 4;

void* mapRegion(std::size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    return p;
}

} // namespace

LargePageMemory::~LargePageMemory() {
    for (auto [p, bytes] : regions_)
        munmap(p, bytes);
}

void* LargePageMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
    // A block of its own keeps small pages: in large ones it would be rounded up to whole 2 MB
    // pages, each filled at its first touch, which costs more memory than its faults cost time.
    if (bytes > kLargestCut)
        return mapRegion(bytes);
    std::size_t skip = (alignment - reinterpret_cast<std::size_t>(next_) % alignment) % alignment;
    if (next_ == nullptr || skip + bytes > left_) {
        std::size_t size = regions_.empty() && bytes <= kFirstRegion ? kFirstRegion : kRegion;
        regions_.reserve(regions_.size() + 1);
        next_ = static_cast<char*>(mapRegion(size));
        // Only advice: without large pages the region is of small ones, as any memory.
        if (size >= kLargePage)
            madvise(next_, size, MADV_HUGEPAGE);
        regions_.emplace_back(next_, size);
        left_ = size;
        skip = 0;
    }
    void* block = next_ + skip;
    next_ += skip + bytes;
    left_ -= skip + bytes;
    return block;
}

void LargePageMemory::do_deallocate(void* p, std::size_t bytes, std::size_t) {
    if (bytes > kLargestCut)
        munmap(p, bytes);
}

} // namespace moxalo::hive
