#include "tests/support/SharedHives.h"

#include <filesystem>

namespace moxalo::testing {

std::string sharedHive(const std::string& name) {
    return std::string(MOXALO_SHARED_HIVES) + "/" + name;
}

bool haveSharedHives() {
    return std::filesystem::is_directory(MOXALO_SHARED_HIVES);
}

} // namespace moxalo::testing
