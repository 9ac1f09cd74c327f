// A hive key with more subkeys than a hive can be read with: none is added, and one that holds
// more is named in a message rather than shown empty or cut.

#include "registry/Registry.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"
#include "tests/robustness/GeneratedSources.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace moxalo;
using namespace moxalo::testing;

// Saved, a 70 001st subkey would make the whole hive unreadable; a hive from Windows may hold
// one all the same.
TEST(BigRegistry, AHiveKeyGetsNoMoreSubkeysThanCanBeReadAndOneWithMoreIsNamed) {
    TempDir dir;
    std::string path = writeSource(dir, GeneratedKind::Hive, numberedExtensions(70000));
    std::string bytes = readFile(path);
    auto store = hive::HiveStore::open(path);
    try {
        store->createKey(store->rootNode(), ".zzz");
        ADD_FAILURE() << "a 70 001st subkey was added";
    } catch (const registry::StoreError& e) {
        EXPECT_EQ(std::string(e.what()),
                  path + ": cannot add the key \".zzz\" to the key \"ROOT\": it has 70000 "
                         "subkeys, the most a hive can be read with");
    }
    store->save();
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(store->childCount(store->rootNode()), 70000u);
    store.reset();

    std::uint32_t root = 0;
    std::memcpy(&root, bytes.data() + hive::layout::base::kRootCell, sizeof root);
    std::uint32_t count = 70001;
    std::memcpy(bytes.data() + hive::layout::kBaseBlockSize + root + hive::layout::nk::kSubkeyCount,
                &count, sizeof count);
    writeFile(path, bytes);
    Result<> mounted = mountSource(path);
    ASSERT_FALSE(mounted) << "opened, with " << scanRows().size() << " rows";
    EXPECT_EQ(mounted.error(), path + ": cannot read the subkeys of the key \"ROOT\": "
                                      "it has more than 70000, the most that can be read");
}
