// The settings file: any bytes as a profile file, every section and key read, then the
// program's one setting written; it must read back as written, whatever the file held.

#include "fuzz/FuzzFiles.h"
#include "platform/profile/Profile.h"
#include "platform/profile/ProfileText.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace moxalo::profile;

constexpr DWORD kBufferSize = 4096;

// Every key the file holds, read through the profile function.
void readEverything(const char* file, std::string_view bytes) {
    char buffer[kBufferSize];
    const ProfileText text(bytes);
    for (const ProfileSection& section : text.sections())
        for (const ProfileKey& key : section.keys)
            GetPrivateProfileStringA(section.name.c_str(), key.name.c_str(), "", buffer,
                                     kBufferSize, file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = moxalo::fuzz::bytesOf(data, size);
    std::string file = moxalo::fuzz::writeScratchFile("Moxalo.ini", bytes);
    readEverything(file.c_str(), bytes);
    if (!WritePrivateProfileStringA("Settings", "OpenWith", "1", file.c_str()))
        std::abort();
    char value[16];
    GetPrivateProfileStringA("Settings", "OpenWith", "", value, sizeof value, file.c_str());
    if (std::strcmp(value, "1") != 0)
        std::abort();
    return 0;
}
