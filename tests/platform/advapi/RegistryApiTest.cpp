// The registry functions and the value reader over a memory store: what callers rely on.

#include "platform/advapi/RegistryApi.h"

#include "catalogue/RegistryValues.h"
#include "platform/advapi/StringValue.h"
#include "registry/LayeredStore.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

using namespace moxalo;
using namespace moxalo::registry;
using namespace moxalo::testing;
using catalogue::QueryValueEx;
using catalogue::TrimNull;
using catalogue::ValueToText;
using catalogue::Variant;

namespace {

MemoryStore& mountFixture() {
    auto store = std::make_unique<MemoryStore>();
    put(*store, ".txt", "", sz("txtfile"));
    put(*store, ".txt", "Content Type", sz("text/plain"));
    put(*store, ".txt\\OpenWithList\\notepad.exe", "", sz(""));
    put(*store, ".longername", "", sz("x"));
    put(*store, ".b", "", sz("y"));
    put(*store, "txtfile", "EditFlags", dword(0x10000));
    put(*store, "txtfile", "Raw", unterminatedSz("no terminator"));
    put(*store, "txtfile", "Empty", sz(""));
    put(*store, "txtfile\\DefaultIcon", "", expandSz("%SystemRoot%\\system32\\imageres.dll,-102"));
    put(*store, "txtfile", "Bin", RegValue{REG_BINARY, {1, 2, 3}});
    put(*store, "txtfile", "Multi", RegValue{REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0}});
    store->createPath("empty");
    return mountMemory(std::move(store));
}

HKEY open(const char* path) {
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key), ERROR_SUCCESS) << path;
    return key;
}

std::string read(HKEY key, const std::string& name, LONG expectedResult = 0) {
    Variant value;
    EXPECT_EQ(QueryValueEx(key, name, value), expectedResult) << name;
    return ValueToText(value);
}

} // namespace

TEST(RegistryApi, OpensKeysByPathWithoutRegardToCaseAndClosesHandles) {
    mountFixture();
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".TXT\\openwithlist\\", 0, KEY_READ, &key), 0);
    EXPECT_NE(key, 0u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    char name[260];
    DWORD size = 260;
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".txt\\Missing", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".nothere", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);

    // Two handles to one key are independent.
    HKEY a = open(".txt");
    HKEY b = open(".txt");
    EXPECT_NE(a, b);
    RegCloseKey(a);
    EXPECT_EQ(read(b, ""), "txtfile");
    RegCloseKey(b);
}

TEST(RegistryApi, EnumerationReusesBuffersEndsAndReportsNamesThatDoNotFit) {
    mountFixture();
    char name[260];
    char cls[260];
    std::fill(std::begin(name), std::end(name), '\0');
    std::vector<std::string> seen;
    for (DWORD i = 0;; ++i) {
        DWORD size = 260, clsSize = 260;
        FILETIME time;
        if (RegEnumKeyExA(HKEY_CLASSES_ROOT, i, name, &size, nullptr, cls, &clsSize, &time) != 0)
            break;
        seen.push_back(TrimNull(std::string(name, 260)));
    }
    // ".txt" was read into a buffer that still held ".longername": TrimNull drops the old tail.
    EXPECT_EQ(seen, (std::vector<std::string>{".b", ".longername", ".txt", "empty", "txtfile"}));

    DWORD size = 260;
    EXPECT_EQ(RegEnumKeyExA(HKEY_CLASSES_ROOT, 5, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    HKEY empty = open("empty");
    EXPECT_EQ(RegEnumKeyExA(empty, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(empty);

    size = 4; // ".txt" needs five places with its NUL
    EXPECT_EQ(RegEnumKeyExA(HKEY_CLASSES_ROOT, 2, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    size = 5;
    EXPECT_EQ(RegEnumKeyExA(HKEY_CLASSES_ROOT, 2, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
}

TEST(RegistryApi, QueryValueExReadsStringsOnlyAndKeepsTheTerminator) {
    mountFixture();
    HKEY ext = open(".txt");
    Variant value;
    EXPECT_EQ(QueryValueEx(ext, "", value), 0);
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, std::string("txtfile\0", 8));
    EXPECT_EQ(ValueToText(value), "txtfile");
    EXPECT_EQ(read(ext, "content type"), "text/plain");
    EXPECT_NE(QueryValueEx(ext, "Missing", value), 0);
    EXPECT_FALSE(value);
    RegCloseKey(ext);

    HKEY type = open("txtfile");
    EXPECT_EQ(read(type, "EditFlags", -1), "");
    EXPECT_EQ(read(type, "Bin", -1), "");
    EXPECT_EQ(read(type, "Multi", -1), "");
    EXPECT_EQ(read(type, "Raw"), "no terminator");
    EXPECT_EQ(QueryValueEx(type, "Empty", value), 0);
    EXPECT_EQ(*value, std::string(1, '\0'));
    EXPECT_EQ(ValueToText(value), "");
    RegCloseKey(type);

    HKEY icon = open("txtfile\\DefaultIcon");
    EXPECT_EQ(read(icon, ""), "%SystemRoot%\\system32\\imageres.dll,-102");
    RegCloseKey(icon);

    EXPECT_EQ(TrimNull(std::string("abc\0def", 7)), "abc");
}

TEST(RegistryApi, RawQueryReportsSizesTypesAndShortBuffers) {
    mountFixture();
    HKEY type = open("txtfile");
    DWORD kind = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(type, "EditFlags", nullptr, &kind, nullptr, &size), 0);
    EXPECT_EQ(kind, REG_DWORD);
    EXPECT_EQ(size, 4u);
    BYTE data[4] = {};
    size = 2;
    EXPECT_EQ(RegQueryValueExA(type, "EditFlags", nullptr, &kind, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegQueryValueExA(type, "EditFlags", nullptr, &kind, data, &size), 0);
    EXPECT_EQ(data[2], 1);
    RegCloseKey(type);
}

TEST(RegistryApi, DeleteRemovesALeafKeyAndRefusesOneWithSubkeys) {
    MemoryStore& store = mountFixture();
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".txt"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".LONGERNAME"), ERROR_SUCCESS);
    EXPECT_EQ(store.findChild(store.rootNode(), ".longername"), kNoNode);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".longername"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".txt\\OpenWithList\\notepad.exe"), ERROR_SUCCESS);
}
