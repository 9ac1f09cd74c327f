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

} // namespace
} // namespace moxalo::hive
