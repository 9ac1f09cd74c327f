#include "registry/MemoryStore.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"
#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/registry/hive/HiveTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace moxalo::hive {
namespace {

using namespace layout;
using testing::TempDir;

void readAll(registry::RegistryStore& store, registry::NodeId key) {
    for (const auto& name : moxalo::testing::valueNames(store, key))
        store.findValue(key, name);
    for (std::size_t i = 0; i < store.childCount(key); ++i) {
        store.findChild(key, store.childName(key, i));
        readAll(store, store.childAt(key, i));
    }
}

// What goes wrong opening and reading the whole file, or "" when nothing does.
std::string failure(const std::string& path) {
    try {
        auto store = HiveStore::open(path);
        readAll(*store, store->rootNode());
    } catch (const registry::StoreError& e) {
        return e.what();
    }
    return "";
}

class HiveCorruption : public ::testing::Test {
protected:
    void SetUp() override {
        registry::MemoryStore tree;
        for (int i = 0; i < 300; ++i)
            testing::put(tree, ".e" + std::to_string(i), "", testing::sz("type"));
        writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
        good = testing::readFile(path);
        auto store = HiveStore::open(path);
        firstKey = store->childAt(store->rootNode(), 0);
        rootKey = store->rootNode();
    }

    // Writes the good hive with `change` applied; `resum` refreshes the header's checksum.
    std::string damaged(std::size_t offset, std::uint32_t value, bool resum = false) {
        std::string bytes = good;
        auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
        put32(p + offset, value);
        if (resum)
            put32(p + base::kChecksum, baseBlockChecksum(p));
        testing::writeFile(path, bytes);
        return failure(path);
    }

    TempDir dir;
    std::string path = dir.file("broken.hive");
    std::string good;
    std::size_t firstKey = 0, rootKey = 0;
};

TEST_F(HiveCorruption, BrokenFilesGiveAMessageNamingTheFile) {
    ASSERT_EQ(failure(path), "");
    ASSERT_GT(good.size(), 3 * kBinAlignment);
    const std::string prefix = path + ": ";
    auto expectError = [&](const std::string& message, const std::string& part) {
        EXPECT_TRUE(message.starts_with(prefix)) << message;
        EXPECT_NE(message.find(part), std::string::npos) << message;
    };

    std::string missing = dir.file("missing.hive");
    EXPECT_TRUE(failure(missing).starts_with(missing + ": cannot open: No such file"));
    EXPECT_TRUE(failure(dir.path()).find("not a regular file") != std::string::npos);
    testing::writeFile(path, "Windows Registry Editor Version 5.00\r\n");
    expectError(failure(path), "regf");
    testing::writeFile(path, good.substr(0, 6000));
    expectError(failure(path), "truncated");
    testing::writeFile(path, good.substr(0, good.size() - kBinAlignment));
    expectError(failure(path), "truncated");

    expectError(damaged(100, 0x12345678), "checksum");
    expectError(damaged(base::kMajorVersion, 2, true), "version 2");
    expectError(damaged(base::kBinsSize, 100, true), "hive bins size");
    expectError(damaged(base::kRootCell, 0x7FFFFF00, true), "root key");
    expectError(damaged(kBaseBlockSize, 0x6E696278), "no hive bin at offset 0x1000");
    expectError(damaged(kBaseBlockSize + kBinHeaderSize, 0), "cell at offset 0x1020 has size 0");
    expectError(damaged(kBaseBlockSize + bin::kSize, 0x123), "hive bin at offset 0x1000 has size");
}

TEST_F(HiveCorruption, CellOffsetsOutOfRangeAreErrorsWhenRead) {
    const std::string prefix = path + ": ";
    std::string message = damaged(rootKey + nk::kSubkeyList, 0x7FFFFFF0);
    EXPECT_TRUE(message.starts_with(prefix + "cannot read the subkeys")) << message;
    message = damaged(firstKey + nk::kValueList, 0x7FFFFFF0);
    EXPECT_TRUE(message.starts_with(prefix + "cannot read the values")) << message;
    message = damaged(firstKey + nk::kNameLength, 0xFFFF);
    EXPECT_TRUE(message.starts_with(prefix + "cannot read the name")) << message;
    message = damaged(rootKey + nk::kSubkeyCount, 7);
    EXPECT_TRUE(message.starts_with(prefix + "cannot read the subkeys")) << message;
    message = damaged(firstKey + 4, 0x6B78); // "xk": no longer a key cell
    EXPECT_TRUE(message.starts_with(prefix)) << message;
}

// A class name's length sits at its own field, beside the work variable Windows leaves any
// value in; a class name longer than its cell is damage, whatever that variable holds.
TEST_F(HiveCorruption, TheClassNameIsCheckedWithItsOwnLength) {
    auto* bytes = reinterpret_cast<const std::uint8_t*>(good.data());
    std::uint32_t values = get32(bytes + firstKey + nk::kValueList);
    std::uint32_t value = get32(bytes + kBaseBlockSize + values + 4);
    std::uint32_t data = get32(bytes + kBaseBlockSize + value + vk::kData); // 10 bytes, "type"
    auto damageWith = [&](std::uint16_t length, std::uint32_t workVariable) {
        std::string changed = good;
        auto* p = reinterpret_cast<std::uint8_t*>(changed.data()) + firstKey;
        put32(p + nk::kClassName, data);
        put16(p + nk::kClassNameLength, length);
        put32(p + nk::kWorkVariable, workVariable);
        testing::writeFile(path, changed);
        return HiveStore::open(path)->damage();
    };
    EXPECT_EQ(damageWith(10, 0x7FFF0000), std::vector<std::string>{});
    auto damage = damageWith(0x1000, 0);
    ASSERT_EQ(damage.size(), 1u);
    char cell[16];
    std::snprintf(cell, sizeof cell, "0x%x", data);
    EXPECT_NE(damage[0].find(std::string("its class name at ") + cell + " (4096 bytes) is not"),
              std::string::npos)
        << damage[0];
}

} // namespace
} // namespace moxalo::hive
