#pragma once
// Memory for what is read of a large hive, in 2 MB pages where the system gives them
// (transparent huge pages, asked for with madvise). The first touch of each 4 KB page of new
// memory costs a fault, and on a hive of tens of thousands of keys (more so in a virtual
// machine) those faults cost more than the reading of the keys the pages hold. Blocks are cut
// from regions that go when the memory goes, the first of small pages (a small hive needs no
// more); a block too large for that is a region of its own, of small pages, returned as soon as
// it is freed.
// Meant as the upstream of a pool resource, which reuses the blocks freed.

#include <cstddef>
#include <memory_resource>
#include <utility>
#include <vector>

namespace moxalo::hive {

class LargePageMemory : public std::pmr::memory_resource {
public:
    LargePageMemory() = default;
    ~LargePageMemory() override;
    LargePageMemory(const LargePageMemory&) = delete;
    LargePageMemory& operator=(const LargePageMemory&) = delete;

private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    std::vector<std::pair<void*, std::size_t>> regions_; // those blocks are cut from
    char* next_ = nullptr;                               // the free rest of the last one
    std::size_t left_ = 0;
};

} // namespace moxalo::hive
