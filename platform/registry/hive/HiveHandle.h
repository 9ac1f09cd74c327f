#pragma once
// An open libhivex handle that closes itself, and the errors of libhivex calls turned into
// StoreError messages that name the file.

#include <hivex.h>
#include <memory>
#include <string>

namespace moxalo::hive {

struct HiveCloser {
    void operator()(hive_h* h) const { hivex_close(h); }
};
using HiveHandle = std::unique_ptr<hive_h, HiveCloser>;

// Throws registry::StoreError "<path>: <what>: <errno text>" when libhivex cannot open it.
HiveHandle openHive(const std::string& path, int flags);
// Throws registry::StoreError "<path>: <what>", adding errno's text when errno is set.
[[noreturn]] void failWithErrno(const std::string& path, const std::string& what);

} // namespace moxalo::hive
