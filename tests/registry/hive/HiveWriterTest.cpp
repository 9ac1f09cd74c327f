#include "registry/hivewriter/HiveWriter.h"

#include "base/AtomicFile.h"
#include "base/NameFold.h"
#include "base/Utf16.h"
#include "registry/MemoryStore.h"
#include "registry/Registry.h"
#include "registry/Sources.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveStore.h"
#include "runtime/ChooseSources.h"
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
    writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    auto hive = HiveStore::open(path);
    testing::expectSameTree(tree, tree.rootNode(), *hive, hive->rootNode());

    // Writing a subtree puts its subkeys at the hive's root.
    writeHive(tree, tree.findPath(tree.rootNode(), "txtfile"), path, runtime::kHolderKeyPrefix);
    auto sub = HiveStore::open(path);
    ASSERT_EQ(sub->childCount(sub->rootNode()), 1u);
    EXPECT_EQ(sub->childName(sub->rootNode(), 0), "shell");

    EXPECT_THROW(writeHive(tree, tree.rootNode(), dir.file("no/such/folder/x.hive"),
                           runtime::kHolderKeyPrefix),
                 registry::StoreError);
}

// A key with more subkeys than libhivex can add one by one in reasonable time.
// The holder keys of a key with many subkeys are named by the prefix their writer is given: the
// hive writer's, and a hive store's as the source choice gives it. They are never listed, their
// freed cells keeping only their names, and a real key that has a holder's name stays.
TEST(HiveWriter, LargeKeyIsLinkedDirectlyAndStaysEditable) {
    constexpr int kKeys = 5000;
    registry::MemoryStore tree;
    for (int i = kKeys; i-- > 0;) {
        std::string name = ".ext" + std::to_string(i);
        put(tree, name, "", sz("type" + std::to_string(i)));
    }
    put(tree, ".ext42\\OpenWithList", "a", sz("notepad.exe"));
    put(tree, "store holder 0", "", sz("a real key"));
    TempDir dir;
    std::string path = dir.file("UsrClass.dat");
    writeHive(tree, tree.rootNode(), path, "writer holder ");
    EXPECT_LT(std::filesystem::file_size(path), kKeys * 512u);
    EXPECT_NE(testing::readFile(path).find("writer holder 0"), std::string::npos);

    auto hive = HiveStore::open(path);
    testing::expectSameTree(tree, tree.rootNode(), *hive, hive->rootNode());
    // Subkeys are listed in the registry's order, each pointing back at its parent.
    for (std::size_t i = 1, root = hive->rootNode(); i <= kKeys; ++i)
        ASSERT_LT(registry::compareNames(hive->childName(root, i - 1), hive->childName(root, i)),
                  0);
    HiveHandle h = openHive(path, 0);
    registry::NodeId ext = hive->findChild(hive->rootNode(), ".ext4999");
    EXPECT_EQ(hivex_node_parent(h.get(), ext), hivex_root(h.get()));
    h.reset();
    hive->deleteKey(hive->rootNode(), ".ext42");
    hive->createKey(hive->rootNode(), ".new");
    hive->save();
    hive.reset();

    registry::SourceChoice choice{{path}, "test", false};
    choice.holderKeyPrefix = "store holder ";
    auto opened = *registry::openRegistry(choice);
    const registry::ClassesLayer& classes = opened.registry->layers().at(0);
    classes.store->createKey(classes.key, ".newer");
    classes.store->save();
    opened = {};
    EXPECT_NE(testing::readFile(path).find("store holder 1"), std::string::npos);

    auto again = HiveStore::open(path);
    EXPECT_EQ(again->childCount(again->rootNode()), std::size_t{kKeys + 2});
    EXPECT_EQ(again->findChild(again->rootNode(), ".ext42"), registry::kNoNode);
    for (const char* name : {".NEW", ".newer", "store holder 0"})
        EXPECT_NE(again->findChild(again->rootNode(), name), registry::kNoNode) << name;
    for (const char* holder : {"writer holder 0", "store holder 1", "holder 0"})
        EXPECT_EQ(again->findChild(again->rootNode(), holder), registry::kNoNode) << holder;
}

} // namespace
} // namespace moxalo::hive
