// The settings file: any bytes as a profile file, every section and key read, then the
// program's one setting written; it must read back as written, whatever the file held.

#include "fuzz/FuzzFiles.h"
#include "platform/profile/Profile.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace moxalo::profile;

constexpr DWORD kBufferSize = 4096;

// Each name of a NUL-separated list, as the profile functions hand out section and key names.
std::vector<std::string> namesOf(const char* list) {
    std::vector<std::string> names;
    for (const char* p = list; *p; p += std::strlen(p) + 1)
        names.emplace_back(p);
    return names;
}

void readEverything(const char* file) {
    char buffer[kBufferSize];
    GetPrivateProfileStringA(nullptr, nullptr, "", buffer, kBufferSize, file);
    for (const auto& section : namesOf(buffer)) {
        char keys[kBufferSize];
        GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, kBufferSize, file);
        for (const auto& key : namesOf(keys))
            GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, kBufferSize, file);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string file =
        moxalo::fuzz::writeScratchFile("Moxalo.ini", moxalo::fuzz::bytesOf(data, size));
    readEverything(file.c_str());
    if (!WritePrivateProfileStringA("Settings", "OpenWith", "1", file.c_str()))
        std::abort();
    char value[16];
    GetPrivateProfileStringA("Settings", "OpenWith", "", value, sizeof value, file.c_str());
    if (std::strcmp(value, "1") != 0)
        std::abort();
    return 0;
}
