#include "HiveHandle.h"

#include "registry/RegistryStore.h"

#include <cerrno>
#include <cstring>

namespace moxalo::hive {

void failWithErrno(const std::string& path, const std::string& what) {
    int err = errno;
    std::string message = path + ": " + what;
    if (err != 0)
        message += std::string(": ") + std::strerror(err);
    throw registry::StoreError(message);
}

HiveHandle openHive(const std::string& path, int flags) {
    errno = 0;
    HiveHandle h(hivex_open(path.c_str(), flags));
    if (!h)
        failWithErrno(path, "cannot open the hive");
    return h;
}

} // namespace moxalo::hive
