#pragma once
// A file mapped read-only, which another program may cut short meanwhile: `cp` over a file
// truncates it in place. Reading a page past the file's new end raises SIGBUS, which would end
// the program; while any MappedFile lives, that page is replaced by one of zeros instead and
// the read goes on. The owner asks changed() before it trusts what it read, and reports the
// file as changed while it was read.
//
// A fault is handled alike in any mapping: libhivex reads a hive through a mapping of its own,
// and a signal handler cannot tell whose mapping an address is in at a cost worth paying.

#include <cstddef>
#include <cstdint>
#include <ctime>

namespace moxalo::fs {

class MappedFile {
public:
    // Maps `size` bytes of the open file `fd`, which it owns from here on, with the mmap flags
    // given (MAP_SHARED, or MAP_PRIVATE with MAP_POPULATE). See error().
    MappedFile(int fd, std::size_t size, int flags);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // 0, or the errno of a mapping that failed; data() is then null, as for an empty file.
    int error() const { return error_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

    // Whether the file was changed since it was mapped, as a page found gone tells: the file is
    // looked at again only after one was, in any mapping.
    bool changed() const;

private:
    int fd_;
    std::size_t size_;
    const std::uint8_t* data_ = nullptr;
    int error_ = 0;
    timespec modified_{};
    mutable unsigned faultsSeen_;
    mutable bool changed_ = false;
};

} // namespace moxalo::fs
