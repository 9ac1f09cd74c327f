#pragma once
// A key's subkeys or values in a MemoryStore: a vector whose storage comes from the store's
// arena, which frees it all at once with the store. Growing leaves the old storage to the
// arena, unless the list was the last thing allocated and can grow in place. It takes a pointer
// and two 32-bit counts, half of what a std::pmr::vector takes, as keys are many.

#include "registry/Arena.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <type_traits>

namespace moxalo::registry {

template <typename T> class ArenaList {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "items are copied as bytes and never destroyed");

public:
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    auto rbegin() const { return std::make_reverse_iterator(end()); }
    auto rend() const { return std::make_reverse_iterator(begin()); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T& back() { return data_[size_ - 1]; }
    const T& back() const { return data_[size_ - 1]; }
    const T& at(std::size_t i) const {
        if (i >= size_)
            throw std::out_of_range("no such item");
        return data_[i];
    }

    void push_back(const T& item, Arena& arena) { insert(size_, item, arena); }
    void insert(std::size_t at, const T& item, Arena& arena) {
        if (size_ == capacity_)
            grow(arena);
        std::copy_backward(data_ + at, data_ + size_, data_ + size_ + 1);
        data_[at] = item;
        ++size_;
    }
    void erase(T* at) {
        std::copy(at + 1, end(), at);
        --size_;
    }
    void pop_back() { --size_; }

    bool operator==(const ArenaList& other) const {
        return std::equal(begin(), end(), other.begin(), other.end());
    }

private:
    void grow(Arena& arena) {
        std::uint32_t capacity = capacity_ == 0 ? 1 : capacity_ * 2;
        // A list filled while nothing else is allocated grows where it stands.
        if (data_ != nullptr && arena.extend(data_, capacity_ * sizeof(T), capacity * sizeof(T))) {
            capacity_ = capacity;
            return;
        }
        T* data = static_cast<T*>(arena.allocate(capacity * sizeof(T), alignof(T)));
        std::copy(begin(), end(), data);
        data_ = data;
        capacity_ = capacity;
    }

    T* data_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};

} // namespace moxalo::registry
