#include "registry/hive/HiveKind.h"

#include "registry/MemoryStore.h"
#include "registry/hive/HiveStore.h"
#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/registry/hive/HiveTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace moxalo::hive {
namespace {

using testing::TempDir;

std::unique_ptr<HiveStore> hiveWith(const TempDir& dir, const std::string& keyPath) {
    registry::MemoryStore tree;
    testing::put(tree, keyPath + "\\.txt", "", testing::sz("txtfile"));
    testing::put(tree, "Other", "", testing::sz(""));
    std::string path = dir.file("kind.hive");
    writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    return HiveStore::open(path);
}

TEST(HiveKind, ClassesAreFoundWhereEachKindKeepsThem) {
    TempDir dir;
    struct Case {
        std::string keyPath;
        HiveKind kind;
        bool user;
    };
    for (const Case& c : {Case{"Classes", HiveKind::Software, false},
                          Case{"SOFTWARE\\Classes", HiveKind::NtUser, true},
                          Case{"AppID", HiveKind::UserClasses, true}}) {
        SCOPED_TRACE(c.keyPath);
        auto hive = hiveWith(dir, c.keyPath);
        ASSERT_EQ(hiveKind(*hive), c.kind);
        std::optional<registry::ClassesLayer> found = classesLayerOf(*hive, c.kind);
        ASSERT_TRUE(found);
        registry::ClassesLayer layer = *found;
        EXPECT_EQ(layer.store, hive.get());
        EXPECT_EQ(layer.user, c.user);
        registry::NodeId txt = hive->findChild(layer.key, ".TXT");
        if (c.kind == HiveKind::UserClasses)
            txt = hive->findChild(hive->findChild(layer.key, "AppID"), ".txt");
        EXPECT_NE(txt, registry::kNoNode);
    }

    // An NTUSER.DAT as they are on disk, and a hive placed as a SOFTWARE without Classes,
    // hold no classes: they are read for their other keys.
    auto withoutClasses = hiveWith(dir, "Software\\Microsoft");
    ASSERT_EQ(hiveKind(*withoutClasses), HiveKind::NtUser);
    EXPECT_FALSE(classesLayerOf(*withoutClasses, HiveKind::NtUser));
    EXPECT_FALSE(classesLayerOf(*withoutClasses, HiveKind::Software));
}

} // namespace
} // namespace moxalo::hive
