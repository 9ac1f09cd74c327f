#pragma once
// An open libhivex handle that closes itself, and the errors of libhivex calls turned into
// StoreError messages that name the file.

#include <cstdint>
#include <cstring>
#include <hivex.h>
#include <memory>
#include <string>

namespace moxalo::hive {

struct HiveCloser {
    void operator()(hive_h* h) const { hivex_close(h); }
};
using HiveHandle = std::unique_ptr<hive_h, HiveCloser>;

// Value types beyond libhivex's enum (a hive may hold any 32-bit type) are copied bit for bit,
// since converting such a number to the enum is undefined.
static_assert(sizeof(hive_type) == sizeof(std::uint32_t));
inline hive_type toHiveType(std::uint32_t type) {
    hive_type t;
    std::memcpy(&t, &type, sizeof t);
    return t;
}
inline std::uint32_t fromHiveType(const hive_type& t) {
    std::uint32_t type;
    std::memcpy(&type, &t, sizeof type);
    return type;
}

// Throws registry::StoreError "<path>: <what>: <errno text>" when libhivex cannot open it.
HiveHandle openHive(const std::string& path, int flags);
// Throws registry::StoreError "<path>: <what>", adding errno's text when errno is set.
[[noreturn]] void failWithErrno(const std::string& path, const std::string& what);

} // namespace moxalo::hive
