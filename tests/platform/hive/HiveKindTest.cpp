#include "platform/registry/hive/HiveKind.h"

#include "hivewriter/HiveWriter.h"
#include "platform/registry/MemoryStore.h"
#include "platform/registry/hive/HiveStore.h"
#include "tests/platform/hive/HiveTestSupport.h"
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
    writeHive(tree, tree.rootNode(), path);
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
        registry::ClassesLayer layer = classesLayerOf(*hive, c.kind);
        EXPECT_EQ(layer.store, hive.get());
        EXPECT_EQ(layer.user, c.user);
        registry::NodeId txt = hive->findChild(layer.key, ".TXT");
        if (c.kind == HiveKind::UserClasses)
            txt = hive->findChild(hive->findChild(layer.key, "AppID"), ".txt");
        EXPECT_NE(txt, registry::kNoNode);
    }

    auto withoutClasses = hiveWith(dir, "Software\\Microsoft");
    ASSERT_EQ(hiveKind(*withoutClasses), HiveKind::NtUser);
    try {
        classesLayerOf(*withoutClasses, HiveKind::NtUser);
        ADD_FAILURE() << "an NTUSER.DAT without classes gave a layer";
    } catch (const registry::StoreError& e) {
        EXPECT_EQ(std::string(e.what()).find(dir.file("kind.hive") + ": an NTUSER.DAT without"), 0u)
            << e.what();
    }
}

TEST(HiveKind, RealHivesAreRecognised) {
    if (!testing::haveSharedHives())
        GTEST_SKIP() << "no shared hives at " << MOXALO_SHARED_HIVES;
    for (const char* name :
         {"win10-UsrClass.dat", "win11-UsrClass.dat", "win10-regipy-UsrClass.dat",
          "win10-plaso-UsrClass.dat", "win7-small-UsrClass.dat"}) {
        auto hive = HiveStore::open(testing::sharedHive(name));
        EXPECT_EQ(hiveKind(*hive), HiveKind::UserClasses) << name;
    }
    auto user = HiveStore::open(testing::sharedHive("win10-NTUSER.DAT"));
    EXPECT_EQ(hiveKind(*user), HiveKind::NtUser);
    EXPECT_THROW(classesLayerOf(*user, HiveKind::NtUser), registry::StoreError);
}

} // namespace
} // namespace moxalo::hive
