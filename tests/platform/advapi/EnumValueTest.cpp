// RegEnumValueA: every value of a key once, by position, as the 8-bit function hands it out.

#include "platform/advapi/RegistryApi.h"
#include "registry/LayeredStore.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

using namespace moxalo::registry;
using namespace moxalo::testing;

namespace {

struct Enumerated {
    std::string name;
    DWORD type = 0;
    std::string data;
    bool operator==(const Enumerated&) const = default;
};

std::vector<Enumerated> enumerate(HKEY key) {
    std::vector<Enumerated> all;
    std::string name(300, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD type = 0, size = 0;
        LONG rc = RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, nullptr, &size);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        EXPECT_EQ(rc, ERROR_SUCCESS) << i;
        std::string data(size, '\0');
        nameSize = static_cast<DWORD>(name.size());
        EXPECT_EQ(RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type,
                                reinterpret_cast<LPBYTE>(data.data()), &size),
                  ERROR_SUCCESS);
        all.push_back({name.substr(0, nameSize), type, data});
    }
    return all;
}

HKEY open(const char* path) {
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key), ERROR_SUCCESS);
    return key;
}

} // namespace

TEST(EnumValue, GivesEachNameOnceWithItsDataTheUsersFirst) {
    auto machine = std::make_unique<MemoryStore>("machine");
    auto user = std::make_unique<MemoryStore>("user");
    put(*machine, ".txt", "", sz("txtfile"));
    put(*machine, ".txt", "Content Type", sz("text/plain"));
    put(*machine, ".txt", "PerceivedType", sz("text"));
    put(*user, ".txt", "", sz("editor.txt"));
    put(*user, ".txt", "CONTENT TYPE", sz("text/x-user"));
    put(*user, ".txt", "Flags", dword(0x12345678));
    mountLayers(std::move(user), std::move(machine));

    HKEY txt = open(".txt");
    EXPECT_EQ(enumerate(txt), (std::vector<Enumerated>{
                                  {"", REG_SZ, std::string("editor.txt\0", 11)},
                                  {"CONTENT TYPE", REG_SZ, std::string("text/x-user\0", 12)},
                                  {"Flags", REG_DWORD, "\x78\x56\x34\x12"},
                                  {"PerceivedType", REG_SZ, std::string("text\0", 5)},
                              }));
    char small[4];
    DWORD smallSize = sizeof small;
    EXPECT_EQ(RegEnumValueA(txt, 1, small, &smallSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    DWORD dataSize = 2;
    char name[32];
    DWORD nameSize = sizeof name;
    char data[2];
    EXPECT_EQ(RegEnumValueA(txt, 0, name, &nameSize, nullptr, nullptr,
                            reinterpret_cast<LPBYTE>(data), &dataSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(dataSize, 11u) << "the size it needs";
    EXPECT_EQ(RegEnumValueA(0x1234, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    RegCloseKey(txt);
    mountRegistry(nullptr);
}
