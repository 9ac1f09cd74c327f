#include "registry/hive/HiveHandle.h"

#include "registry/RegistryStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace moxalo::hive {

namespace {

// libhivex reports damage through a few errno codes whose usual texts would mislead.
std::string describe(int err) {
    switch (err) {
    case EFAULT:
        return "a cell offset or length does not fit the hive's cells";
    case ERANGE:
        return "a count or length out of range";
    case ENOTSUP:
        return "damaged or unknown structure";
    default:
        return std::strerror(err);
    }
}

} // namespace

std::string hexOffset(std::size_t offset) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%zx", offset);
    return text;
}

std::string errnoMessage(const std::string& path, const std::string& what) {
    int err = errno;
    std::string message = path + ": " + what;
    if (err != 0)
        message += ": " + describe(err);
    return message;
}

void failWithErrno(const std::string& path, const std::string& what) {
    throw registry::StoreError(errnoMessage(path, what));
}

HiveHandle openHive(const std::string& path, int flags) {
    errno = 0;
    HiveHandle h(hivex_open(path.c_str(), flags));
    if (!h)
        failWithErrno(path, "cannot open the hive");
    return h;
}

} // namespace moxalo::hive
