#include "registry/hivewriter/HiveWriter.h"

#include "base/AtomicFile.h"
#include "base/NameFold.h"
#include "base/Utf16.h"
#include "registry/MemoryStore.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveStore.h"
#include "tests/registry/hive/HiveTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace moxalo::hive {
namespace {

using registry::RegValue;
using testing::put;
using testing::sz;
using testing::TempDir;

registry::MemoryStore oddTree() {
    registry::MemoryStore store;
    put(store, ".txt", "", sz("txtfile"));
    put(store, ".txt", "Content Type", sz("text/plain"));
    put(store, ".txt\\OpenWithProgids", "txtfile", RegValue{registry::REG_NONE, {}});
    put(store, "txtfile\\shell\\open\\command", "",
        RegValue{registry::REG_EXPAND_SZ,
                 text::stringValueData("%SystemRoot%\\notepad.exe \"%1\"")});
    put(store, "Ünïcodé Ärger", "Größe", testing::dword(0xDEADBEEF));
    put(store, "日本語のキー", "名前", sz("値 ☃"));
    put(store, "odd; \"quoted\" / [bracket] = key", "=", sz(""));
    put(store, "odd; \"quoted\" / [bracket] = key", "qword",
        RegValue{registry::REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}});
    put(store, "multi", "list",
        RegValue{registry::REG_MULTI_SZ, text::utf8ToUtf16le(std::string("a\0bc\0\0", 6))});
    std::vector<std::uint8_t> big(40000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    put(store, "multi", "big", RegValue{registry::REG_BINARY, big});
    put(store, "multi", "odd type", RegValue{0x1234, {9}});
    store.setValue(store.rootNode(), "at the root", sz("root value"));
    store.createPath("only\\ancestors\\here");
    return store;
}

TEST(HiveWriter, TreeReadsBackWithTheSameKeysValuesAndTypes) {
    TempDir dir;
    auto tree = oddTree();
    std::string path = dir.file("odd.hive");
    writeHive(tree, tree.rootNode(), path);
    auto hive = HiveStore::open(path);
    testing::expectSameTree(tree, tree.rootNode(), *hive, hive->rootNode());

    registry::NodeId root = hive->rootNode();
    EXPECT_NE(hive->findChild(root, "üNÏCODÉ äRGER"), registry::kNoNode);
    EXPECT_NE(hive->findChild(root, "TXTFILE"), registry::kNoNode);
    EXPECT_EQ(hive->findChild(root, "txtfil"), registry::kNoNode);
    EXPECT_EQ(hive->findValue(hive->findChild(root, ".txt"), "content TYPE"),
              tree.findValue(tree.findPath(tree.rootNode(), ".txt"), "Content Type"));
    EXPECT_EQ(hive->findValue(root, "missing"), std::nullopt);

    // Writing a subtree puts its subkeys at the hive's root.
    writeHive(tree, tree.findPath(tree.rootNode(), "txtfile"), path);
    auto sub = HiveStore::open(path);
    ASSERT_EQ(sub->childCount(sub->rootNode()), 1u);
    EXPECT_EQ(sub->childName(sub->rootNode(), 0), "shell");

    EXPECT_THROW(writeHive(tree, tree.rootNode(), dir.file("no/such/folder/x.hive")),
                 fs::FileError);
}

// A key with more subkeys than libhivex can add one by one in reasonable time.
TEST(HiveWriter, LargeKeyIsLinkedDirectlyAndStaysEditable) {
    constexpr int kKeys = 5000;
    registry::MemoryStore tree;
    for (int i = kKeys; i-- > 0;) {
        std::string name = ".ext" + std::to_string(i);
        put(tree, name, "", sz("type" + std::to_string(i)));
    }
    put(tree, ".ext42\\OpenWithList", "a", sz("notepad.exe"));
    TempDir dir;
    std::string path = dir.file("large.hive");
    writeHive(tree, tree.rootNode(), path);
    EXPECT_LT(std::filesystem::file_size(path), kKeys * 512u);

    auto hive = HiveStore::open(path);
    testing::expectSameTree(tree, tree.rootNode(), *hive, hive->rootNode());
    for (const char* holder : {"0", "1", "31"})
        EXPECT_EQ(hive->findChild(hive->rootNode(), holder), registry::kNoNode);
    // Subkeys are listed in the registry's order, each pointing back at its parent.
    for (std::size_t i = 1; i < kKeys; ++i)
        ASSERT_LT(registry::compareNames(hive->childName(hive->rootNode(), i - 1),
                                         hive->childName(hive->rootNode(), i)),
                  0);
    HiveHandle h = openHive(path, 0);
    registry::NodeId ext = hive->findChild(hive->rootNode(), ".ext4999");
    EXPECT_EQ(hivex_node_parent(h.get(), ext), hivex_root(h.get()));
    h.reset();

    hive->deleteKey(hive->rootNode(), ".ext42");
    hive->createKey(hive->rootNode(), ".new");
    hive->save();
    auto again = HiveStore::open(path);
    EXPECT_EQ(again->childCount(again->rootNode()), std::size_t{kKeys});
    EXPECT_EQ(again->findChild(again->rootNode(), ".ext42"), registry::kNoNode);
    EXPECT_NE(again->findChild(again->rootNode(), ".NEW"), registry::kNoNode);
}

} // namespace
} // namespace moxalo::hive
