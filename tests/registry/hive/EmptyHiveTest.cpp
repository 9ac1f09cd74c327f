#include "registry/hivewriter/EmptyHive.h"

#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveStore.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace moxalo::hive {
namespace {

using testing::TempDir;

TEST(EmptyHive, IsASmallValidHiveThatLibhivexCanGrow) {
    TempDir dir;
    std::string path = dir.file("empty.hive");
    writeEmptyHive(path);
    {
        auto store = HiveStore::open(path);
        EXPECT_EQ(store->childCount(store->rootNode()), 0u);
        EXPECT_TRUE(moxalo::testing::valueNames(*store, store->rootNode()).empty());
    }

    HiveHandle h = openHive(path, HIVEX_OPEN_WRITE);
    hive_node_h child = hivex_node_add_child(h.get(), hivex_root(h.get()), "Child");
    ASSERT_NE(child, 0u);
    char data[] = {'x', 0, 0, 0};
    hive_set_value value{const_cast<char*>(""), hive_t_REG_SZ, sizeof data, data};
    ASSERT_EQ(hivex_node_set_values(h.get(), child, 1, &value, 0), 0);
    ASSERT_EQ(hivex_commit(h.get(), path.c_str(), 0), 0);
    h.reset();

    auto store = HiveStore::open(path);
    registry::NodeId found = store->findChild(store->rootNode(), "CHILD");
    ASSERT_NE(found, registry::kNoNode);
    EXPECT_EQ(store->findValue(found, ""), (registry::RegValue{registry::REG_SZ, {'x', 0, 0, 0}}));
}

} // namespace
} // namespace moxalo::hive
