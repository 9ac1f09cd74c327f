#include "registry/wine/WineStore.h"

#include "base/Utf16.h"
#include "registry/Sources.h"
#include "registry/wine/WineServerLock.h"
#include "tests/support/HeldLock.h"
#include "tests/support/TestRegistry.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace moxalo::registry;
using moxalo::testing::readFile;
using moxalo::testing::TempDir;
using moxalo::testing::writeFile;

namespace {

const std::string kFixtures = std::string(MOXALO_FIXTURES) + "/wine/";
// 2024-01-01 00:00:00 UTC as a FILETIME, and as the key line and #time line show it.
constexpr std::uint64_t kNewYear2024 = 133485408000000000ull;
const std::string kNewYearStamp = "] 1704067200\n#time=1da3c457689c000\n";

// A prefix folder holding copies of the fixtures.
struct Prefix {
    TempDir dir;
    Prefix() {
        for (const char* name : {"system.reg", "user.reg"})
            std::filesystem::copy_file(kFixtures + name, dir.file(name));
    }
    std::unique_ptr<WineStore> open(const std::string& name) {
        auto store = WineStore::open(dir.file(name));
        store->setClock([] { return kNewYear2024; });
        return store;
    }
};

} // namespace

TEST(WineStore, SavesAnUnchangedFileByteForByte) {
    Prefix prefix;
    const std::tuple<const char*, const char*, const char*> files[] = {
        {"system.reg", ".txt", "txtfile"}, {"user.reg", ".foo", "foofile"}};
    for (const auto& [name, extension, type] : files) {
        auto store = prefix.open(name);
        NodeId key = store->findChild(store->classesKey(), extension);
        ASSERT_NE(key, kNoNode);
        store->setValue(key, "",
                        {REG_SZ, moxalo::text::stringValueData(type)}); // the value it already has
        store->save();
        EXPECT_EQ(readFile(prefix.dir.file(name)), readFile(kFixtures + name)) << name;
    }
}

TEST(WineStore, ChangedKeysGetTheTimeOfTheChange) {
    Prefix prefix;
    auto store = prefix.open("system.reg");
    NodeId classes = store->classesKey();
    store->setValue(store->findPath(classes, ".txt"), "PerceivedType",
                    {REG_SZ, moxalo::text::stringValueData("text")});
    store->deleteValue(store->findPath(classes, ".bmp"), "Content Type");
    store->deleteValue(store->findPath(classes, "txtfile"), "no such value");
    store->deleteKey(store->findPath(classes, "txtfile"), "shell");
    store->save();

    std::string text = readFile(prefix.dir.file("system.reg"));
    EXPECT_NE(
        text.find("\n[Software\\\\Classes\\\\.txt" + kNewYearStamp +
                  "@=\"txtfile\"\n\"Content Type\"=\"text/plain\"\n\"PerceivedType\"=\"text\"\n\n"),
        std::string::npos);
    EXPECT_NE(text.find("\n[Software\\\\Classes\\\\.bmp" + kNewYearStamp + "\n"),
              std::string::npos);
    EXPECT_NE(
        text.find("\n[Software\\\\Classes\\\\txtfile" + kNewYearStamp + "@=\"Text Document\"\n"),
        std::string::npos);
    EXPECT_EQ(text.find("shell"), std::string::npos);
    EXPECT_NE(
        text.find(
            "[Software\\\\Classes\\\\htmlfile\\\\DefaultIcon] 1796595375\n#time=1dd85cf68b0d442\n"),
        std::string::npos);
    EXPECT_NE(
        text.find(
            "[Software\\\\Wow6432Node\\\\Classes] 1796595373\n#time=1dd85cf677dcbc0\n#link\n"),
        std::string::npos);

    auto again = WineStore::open(prefix.dir.file("system.reg"));
    EXPECT_EQ(again->findValue(again->findPath(again->rootNode(), "Software\\Classes\\.txt"),
                               "PerceivedType"),
              (RegValue{REG_SZ, moxalo::text::stringValueData("text")}));
}

// Key times as wineserver reads them: "#time=" first, else the seconds on the key line; a key
// the file names only in its subkeys' paths has none of its own.
TEST(WineStore, KeyTimesAreTheSectionsTimes) {
    TempDir dir;
    writeFile(dir.file("user.reg"),
              "WINE REGISTRY Version 2\n\n[Software\\\\A] 1700000000\n#time=1da1a1a1a1a1a1a\n"
              "\"v\"=\"1\"\n\n[Software\\\\B] 1700000000\n\"v\"=\"1\"\n\n"
              "[Software\\\\C] later\n\"v\"=\"1\"\n\n"
              "[Software\\\\D\\\\E] 1700000000\n#class=\"x\"\n#time=1da3c457689c000\n");
    auto store = WineStore::open(dir.file("user.reg"));
    store->setClock([] { return kNewYear2024; });
    NodeId root = store->rootNode();
    EXPECT_EQ(store->lastWritten(store->findPath(root, "Software\\A")), 0x1da1a1a1a1a1a1aull);
    EXPECT_EQ(store->lastWritten(store->findPath(root, "Software\\B")),
              kUnixEpochFileTime + 1700000000ull * 10000000);
    EXPECT_EQ(store->lastWritten(store->findPath(root, "Software\\C")), std::nullopt);
    EXPECT_EQ(store->lastWritten(store->findPath(root, "Software\\D\\E")), kNewYear2024);
    EXPECT_EQ(store->lastWritten(store->findPath(root, "Software")), std::nullopt);
    EXPECT_EQ(store->lastWritten(store->classesKey()), std::nullopt); // made only to look into

    NodeId a = store->findPath(root, "Software\\A");
    store->setValue(a, "v", {REG_SZ, moxalo::text::stringValueData("2")});
    EXPECT_EQ(store->lastWritten(a), kNewYear2024);
    EXPECT_EQ(store->ownerSid(a), std::nullopt);
}

TEST(WineStore, ClassesKeyOfAFileWithoutOneIsWrittenOnlyOnceUsed) {
    TempDir dir;
    const std::string header = "WINE REGISTRY Version 2\n;; All keys relative to "
                               "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n";
    const std::string wine =
        "\n[Software\\\\Wine] 1700000000\n#time=1da1a1a1a1a1a1a\n\"v\"=\"1\"\n";
    const std::string text = header + wine;
    writeFile(dir.file("user.reg"), text);
    auto store = WineStore::open(dir.file("user.reg"));
    store->setClock([] { return kNewYear2024; });
    NodeId classes = store->classesKey();
    ASSERT_NE(classes, kNoNode);
    EXPECT_EQ(store->classesKey(), classes);
    EXPECT_EQ(store->findPath(store->rootNode(), "software\\classes"), classes);
    store->save();
    EXPECT_EQ(readFile(dir.file("user.reg")), text);

    store->setValue(store->createKey(classes, ".foo"), "",
                    {REG_SZ, moxalo::text::stringValueData("foofile")});
    store->save();
    EXPECT_EQ(readFile(dir.file("user.reg")),
              header + "\n[Software\\\\Classes\\\\.foo" + kNewYearStamp + "@=\"foofile\"\n" + wine);
}

TEST(WineStore, ARunningWineserverMakesThePrefixReadOnly) {
    Prefix prefix;
    TempDir serverRoot;
    writeFile(prefix.dir.file("wineserver"), "wine-test\n");
    const char* oldTmp = std::getenv("TMPDIR");
    std::string savedTmp = oldTmp != nullptr ? oldTmp : "";
    setenv("TMPDIR", serverRoot.path().c_str(), 1);

    auto store = prefix.open("user.reg");
    EXPECT_EQ(store->whyReadOnly(), std::nullopt);
    auto paths = wineserverLockPaths(prefix.dir.path());
    ASSERT_GE(paths.size(), 2u);
    EXPECT_EQ(paths[1].rfind(serverRoot.path() + "/wine-test/server-", 0), 0u) << paths[1];
    {
        moxalo::testing::HeldLock lock(paths[1]);
        auto why = store->whyReadOnly();
        ASSERT_TRUE(why.has_value());
        EXPECT_NE(why->find("wineserver of this prefix is running"), std::string::npos);
        EXPECT_THROW(store->save(), StoreError);
    }
    EXPECT_EQ(store->whyReadOnly(), std::nullopt);
    writeFile(prefix.dir.file("wineserver"), "../../etc\n");
    EXPECT_EQ(wineserverLockPaths(prefix.dir.path()).size(), 1u);

    oldTmp != nullptr ? setenv("TMPDIR", savedTmp.c_str(), 1) : unsetenv("TMPDIR");
}
