#include "platform/ProgramFolder.h"

#include <filesystem>

namespace moxalo::platform {

std::string programFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

} // namespace moxalo::platform
