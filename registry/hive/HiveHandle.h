#pragma once
// An open libhivex handle that closes itself, and the errors of libhivex calls turned into
// StoreError messages that name the file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <hivex.h>
#include <memory>
#include <string>

namespace moxalo::hive {

struct HiveCloser {
    void operator()(hive_h* h) const { hivex_close(h); }
};
using HiveHandle = std::unique_ptr<hive_h, HiveCloser>;

// Value types beyond libhivex's enum (a hive may hold any 32-bit type) are copied bit for bit
// into and out of the enum's storage: holding such a number in a hive_type variable, or
// converting it to one, is undefined.
static_assert(sizeof(hive_type) == sizeof(std::uint32_t));
inline void setHiveType(hive_set_value& value, std::uint32_t type) {
    std::memcpy(&value.t, &type, sizeof type);
}
inline std::uint32_t fromHiveType(const hive_type* t) {
    std::uint32_t type;
    std::memcpy(&type, t, sizeof type);
    return type;
}

// What libhivex hands out with malloc, freed when it goes.
struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Owned = std::unique_ptr<T, FreeDeleter>;

// An offset in the file as messages name a cell: "0x1a20".
std::string hexOffset(std::size_t offset);

// Throws registry::StoreError "<path>: <what>: <errno text>" when libhivex cannot open it.
HiveHandle openHive(const std::string& path, int flags);
// "<path>: <what>", adding errno's text when errno is set.
std::string errnoMessage(const std::string& path, const std::string& what);
// Throws registry::StoreError with errnoMessage(path, what).
[[noreturn]] void failWithErrno(const std::string& path, const std::string& what);

} // namespace moxalo::hive
