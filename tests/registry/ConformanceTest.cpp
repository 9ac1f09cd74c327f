// One suite, run against every kind of source made from the same data: a regedit export, a
// Wine prefix's system.reg, and a hive written through libhivex. Each must answer the registry
// functions alike, and write a change back so that it is still there when read again.

#include "catalogue/RegistryValues.h"
#include "platform/advapi/RegistryApi.h"
#include "registry/Sources.h"
#include "registry/hivewriter/HiveWriter.h"
#include "registry/regedit/RegFileStore.h"
#include "runtime/ChooseSources.h"
#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo;
using namespace moxalo::registry;
using namespace moxalo::testing;

namespace {

std::string fixture(const std::string& name) {
    return std::string(MOXALO_FIXTURES) + "/conformance/" + name;
}

// Makes the source of one kind in `dir` and returns the path to name it by.
std::string makeSource(const std::string& kind, const TempDir& dir) {
    if (kind == "regfile") {
        std::filesystem::copy_file(fixture("classes.reg"), dir.file("classes.reg"));
        return dir.file("classes.reg");
    }
    if (kind == "wine") {
        std::filesystem::create_directory(dir.file("prefix"));
        std::filesystem::copy_file(fixture("system.reg"), dir.file("prefix/system.reg"));
        return dir.file("prefix");
    }
    auto reg = RegFileStore::open(fixture("classes.reg"));
    hive::writeHive(*reg, reg->findChild(reg->rootNode(), "HKEY_CLASSES_ROOT"),
                    dir.file("UsrClass.dat"), runtime::kHolderKeyPrefix);
    return dir.file("UsrClass.dat");
}

OpenedRegistry mount(const std::string& path) {
    OpenedRegistry opened = *openRegistry(SourceChoice{{path}, "test", false});
    mountRegistry(opened.registry);
    return opened;
}

std::string stringAt(const char* path, const char* value, LONG expected = 0) {
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(not opened)";
    catalogue::Variant v;
    EXPECT_EQ(catalogue::QueryValueEx(key, value, v), expected) << path << " " << value;
    RegCloseKey(key);
    return catalogue::ValueToText(v);
}

class Conformance : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(Conformance, AnswersTheRegistryFunctionsAlike) {
    TempDir dir;
    auto opened = mount(makeSource(GetParam(), dir));
    EXPECT_EQ(subkeysOf(""), (std::vector<std::string>{".abc", ".txt", "abcfile", "Café"}));
    EXPECT_EQ(subkeysOf("abcfile\\shell"), (std::vector<std::string>{"open", "print"}));
    EXPECT_EQ(subkeysOf(".txt\\OpenWithList\\notepad.exe"), std::vector<std::string>{});
    EXPECT_EQ(stringAt(".txt", ""), "txtfile");
    EXPECT_EQ(stringAt(".TXT", "content type"), "text/plain");
    EXPECT_EQ(stringAt("ABCFILE\\SHELL\\OPEN\\COMMAND\\", ""), "notepad %1");
    EXPECT_EQ(stringAt("abcfile\\DefaultIcon", ""), "%SystemRoot%\\x.ico");
    EXPECT_EQ(stringAt("abcfile\\shell", ""), "");
    EXPECT_EQ(stringAt("abcfile", "EditFlags", -1), "");
    EXPECT_EQ(stringAt("abcfile", "Bin", -1), "");
    EXPECT_EQ(stringAt("abcfile", "missing", ERROR_FILE_NOT_FOUND), "");
    EXPECT_EQ(stringAt("café", ""), "x");
    EXPECT_EQ(stringAt(".txt\\ShellNew", ""), "(not opened)");
    HKEY key = 0;
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "abcfile", 0, KEY_READ, &key), 0);
    EXPECT_EQ(RegQueryValueExA(key, "EditFlags", nullptr, &type, nullptr, &size), 0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4u);
    RegCloseKey(key);
}

TEST_P(Conformance, WritesADeleteBackToItsOwnFile) {
    TempDir dir;
    std::string path = makeSource(GetParam(), dir);
    {
        auto opened = mount(path);
        EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "abcfile\\shell"), ERROR_ACCESS_DENIED);
        EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, "abcfile\\shell\\print"), ERROR_SUCCESS)
            << lastRegistryError();
        EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".abc"), ERROR_SUCCESS) << lastRegistryError();
        mountRegistry(nullptr);
    }
    auto reopened = mount(path);
    EXPECT_EQ(subkeysOf(""), (std::vector<std::string>{".txt", "abcfile", "Café"}));
    EXPECT_EQ(subkeysOf("abcfile\\shell"), (std::vector<std::string>{"open"}));
    EXPECT_EQ(stringAt("abcfile\\shell\\open\\command", ""), "notepad %1");
    EXPECT_EQ(stringAt("abcfile\\DefaultIcon", ""), "%SystemRoot%\\x.ico");
    EXPECT_EQ(stringAt("abcfile", "EditFlags", -1), "");
    EXPECT_EQ(stringAt("café", ""), "x");
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator(dir.path()), {}),
              GetParam() == "wine" ? 2 : 1)
        << "no temporary file is left behind";
}

TEST_P(Conformance, ASourceThatCannotBeWrittenRefusesTheDelete) {
    TempDir dir;
    std::string path = makeSource(GetParam(), dir);
    std::string file = GetParam() == "wine" ? path + "/system.reg" : path;
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    std::string before = readFile(file);
    auto opened = mount(path);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".abc"), ERROR_ACCESS_DENIED);
    EXPECT_NE(lastRegistryError().find("read-only"), std::string::npos) << lastRegistryError();
    EXPECT_EQ(stringAt(".abc", ""), "abcfile");
    EXPECT_EQ(readFile(file), before);
}

INSTANTIATE_TEST_SUITE_P(EveryStore, Conformance, ::testing::Values("regfile", "wine", "hive"));
