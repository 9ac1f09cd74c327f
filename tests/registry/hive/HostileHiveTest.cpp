// Hives whose subkey lists lead a walk back to keys it has met: each key is listed once, under
// the key it belongs to, the damage is told once, and a delete changes nothing it cannot
// finish.

#include "registry/MemoryStore.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"
#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/registry/hive/HiveTestSupport.h"
#include "tests/support/HostileHives.h"
#include "tests/support/SharedHives.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace moxalo::hive {
namespace {

using namespace layout;
using registry::kNoNode;
using registry::NodeId;
using testing::TempDir;

// Counts the keys a walk of the whole store meets, giving up past `most`.
std::size_t keysWalked(registry::RegistryStore& store, std::size_t most) {
    std::vector<NodeId> stack{store.rootNode()};
    std::size_t met = 0;
    while (!stack.empty() && met <= most) {
        NodeId at = stack.back();
        stack.pop_back();
        ++met;
        for (std::size_t i = 0; i < store.childCount(at); ++i)
            stack.push_back(store.childAt(at, i));
    }
    return met;
}

std::size_t countOf(const std::vector<std::string>& messages, const std::string& part) {
    std::size_t n = 0;
    for (const auto& m : messages)
        n += m.find(part) != std::string::npos;
    return n;
}

// Writes `change` into the hive at `path`: the four bytes at each offset.
void patch(const std::string& path,
           const std::vector<std::pair<std::size_t, std::uint32_t>>& change) {
    std::string bytes = testing::readFile(path);
    for (auto [offset, value] : change)
        put32(reinterpret_cast<std::uint8_t*>(bytes.data()) + offset, value);
    testing::writeFile(path, bytes);
}

std::uint32_t cellOf(NodeId key) {
    return static_cast<std::uint32_t>(key - kBaseBlockSize);
}

TEST(HostileHive, AKeyListedTwiceOrUnderAnotherKeyIsListedOnlyUnderItsOwn) {
    TempDir dir;
    std::string path = dir.file("UsrClass.dat");
    testing::writeDoubledChain(path, 40);
    auto store = HiveStore::open(path);
    // The root, ".doc", ".a" and its 40 levels of "k", once each.
    EXPECT_EQ(keysWalked(*store, 1000), 43u);
    NodeId a = store->findChild(store->rootNode(), ".a");
    ASSERT_EQ(store->childCount(a), 1u);
    EXPECT_EQ(store->childName(a, 0), "k");
    EXPECT_EQ(countOf(store->damage(), "damaged key \".a\""), 1u);
    EXPECT_EQ(countOf(store->damage(), "more than once"), 20u) << "the first 20 are told";
    EXPECT_EQ(store->damage().back(), path + ": 20 more damaged cells");

    // The root listed below a key that its record names as its parent; a key whose subkey
    // list is another key's.
    registry::MemoryStore tree;
    testing::put(tree, ".a\\s", "", testing::sz("s"));
    testing::put(tree, ".b\\t", "", testing::sz("t"));
    writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    store = HiveStore::open(path);
    NodeId root = store->rootNode();
    a = store->findChild(root, ".a");
    NodeId b = store->findChild(root, ".b");
    std::string good = testing::readFile(path);
    auto* bytes = reinterpret_cast<const std::uint8_t*>(good.data());
    std::uint32_t aList = get32(bytes + a + nk::kSubkeyList);
    patch(path, {{kBaseBlockSize + aList + list::kEntries, cellOf(root)},
                 {root + nk::kParent, cellOf(a)},
                 {b + nk::kSubkeyList, aList}});
    store = HiveStore::open(path);
    EXPECT_EQ(keysWalked(*store, 1000), 3u);
    EXPECT_EQ(store->childCount(a), 0u);
    EXPECT_EQ(store->childCount(b), 0u);
    ASSERT_EQ(store->damage().size(), 2u);
    EXPECT_NE(store->damage()[0].find("key \".a\""), std::string::npos) << store->damage()[0];
    EXPECT_NE(store->damage()[0].find("the root key"), std::string::npos) << store->damage()[0];
    EXPECT_NE(store->damage()[1].find("key \".b\""), std::string::npos) << store->damage()[1];
    EXPECT_NE(store->damage()[1].find("not one of its keys"), std::string::npos);
}

// What a delete refuses leaves the hive as it was: saved and read again, every key is there.
TEST(HostileHive, ADeleteThatLibhivexCouldNotFinishIsRefusedWithNothingChanged) {
    TempDir dir;
    std::string path = dir.file("UsrClass.dat");
    auto refusal = [&](const std::string& key) {
        auto store = HiveStore::open(path);
        std::string error = testing::storeError([&] { store->deleteKey(store->rootNode(), key); });
        store->save();
        return error;
    };

    testing::writeStrayListings(path);
    std::string before = testing::readFile(path);
    char doc[24];
    std::snprintf(doc, sizeof doc, "0x%zx", [&] {
        auto store = HiveStore::open(path);
        return static_cast<std::size_t>(store->findChild(store->rootNode(), ".doc"));
    }());
    EXPECT_EQ(refusal(".bad"), path +
                                   ": cannot delete the key \".bad\": the subkey list of the "
                                   "key \".bad\" leads to the key at offset " +
                                   doc + ", which is not one of its keys (a damaged hive)");
    EXPECT_NE(refusal(".loop").find(
                  "cannot delete the key \".loop\": the subkey list of the key \".loop\" leads to"),
              std::string::npos);
    EXPECT_TRUE(testing::readFile(path) == before) << "the file changed";

    // The export's limit: 512 levels, the deleted key's included.
    testing::writeDeepChain(path, 600);
    before = testing::readFile(path);
    EXPECT_EQ(refusal(".deep"), path + ": cannot delete the key \".deep\": its subkeys are "
                                       "nested deeper than 512 levels");
    EXPECT_TRUE(testing::readFile(path) == before) << "the file changed";
    testing::writeDeepChain(path, 511);
    EXPECT_EQ(refusal(".deep"), "");
    auto store = HiveStore::open(path);
    EXPECT_EQ(store->findChild(store->rootNode(), ".deep"), kNoNode);
    EXPECT_EQ(store->findValue(store->findChild(store->rootNode(), ".doc"), ""),
              testing::sz("docfile"));
    EXPECT_EQ(store->damage(), std::vector<std::string>{});

    // Windows lists some keys' subkeys in "li" lists, out of which libhivex frees a key but
    // cannot unlink it.
    MOXALO_NEED_SHARED_HIVES();
    testing::writeFile(path, testing::readFile(testing::sharedHive("win10-plaso-UsrClass.dat")));
    before = testing::readFile(path);
    store = HiveStore::open(path);
    NodeId clsid =
        store->findChild(store->findChild(store->rootNode(), "ActivatableClasses"), "CLSID");
    std::size_t subkeys = store->childCount(clsid);
    std::string first(store->childName(clsid, 0));
    EXPECT_EQ(testing::storeError([&] { store->deleteKey(clsid, first); }),
              path + ": cannot delete the key \"" + first +
                  "\": the subkeys of the key \"CLSID\" are listed in the older \"li\" form, "
                  "from which no key is removed here");
    store->createKey(clsid, "{new}");
    store->save();
    store = HiveStore::open(path);
    clsid = store->findChild(store->findChild(store->rootNode(), "ActivatableClasses"), "CLSID");
    EXPECT_EQ(store->childCount(clsid), subkeys + 1);
    EXPECT_NE(store->findChild(clsid, first), kNoNode);
}

// libhivex frees the cells a key's record names when the key is deleted, its values rewritten
// or a subkey added, and stops the program on one that is no cell of the hive.
TEST(HostileHive, AKeyNamingCellsNotItsOwnIsNeverChanged) {
    TempDir dir;
    std::string path = dir.file("UsrClass.dat");
    testing::writeForeignCells(path);
    const std::string before = testing::readFile(path);
    auto store = HiveStore::open(path);
    NodeId root = store->rootNode();
    using testing::storeError;
    for (const char* key : {".class", ".security", ".data"}) {
        SCOPED_TRACE(key);
        NodeId at = store->findChild(root, key);
        std::string damaged = "the cells of the key \"" + std::string(key) + "\"";
        EXPECT_NE(storeError([&] { store->deleteKey(root, key); }).find(damaged),
                  std::string::npos);
        EXPECT_NE(storeError([&] { store->setValue(at, "x", testing::sz("x")); }).find(damaged),
                  std::string::npos);
        EXPECT_NE(storeError([&] { store->createKey(at, "new"); }).find(damaged),
                  std::string::npos);
    }
    store->setValue(store->findChild(root, ".doc"), "", testing::sz("changed"));
    store->save();
    store = HiveStore::open(path);
    EXPECT_EQ(store->findValue(store->findChild(root, ".doc"), ""), testing::sz("changed"));
    EXPECT_NE(store->findChild(store->findChild(root, ".class"), "sub"), kNoNode);
    EXPECT_NE(testing::readFile(path), before);
}

} // namespace
} // namespace moxalo::hive
