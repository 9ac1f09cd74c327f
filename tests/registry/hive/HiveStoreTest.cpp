#include "registry/hive/HiveStore.h"

#include "registry/MemoryStore.h"
#include "registry/hive/HiveKind.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveMapping.h"
#include "registry/hivewriter/HiveWriter.h"
#include "tests/registry/hive/HiveTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace moxalo::hive {
namespace {

using registry::kNoNode;
using testing::sharedHive;
using testing::sz;
using testing::TempDir;

struct RootFacts {
    const char* file;
    std::size_t subkeys, extensions, withOpenWithProgids, withDefault;
};

// Counted independently with libhivex, as listed in the hives' README.
constexpr RootFacts kUserClasses[] = {
    {"win10-UsrClass.dat", 407, 141, 134, 0},
    {"win11-UsrClass.dat", 396, 151, 139, 0},
    {"win10-regipy-UsrClass.dat", 379, 115, 104, 11},
    {"win10-plaso-UsrClass.dat", 146, 40, 40, 0},
};

// Each real hive is of its kind and sound: no damage is told and every key can be changed.
std::unique_ptr<HiveStore> openSound(const char* name, HiveKind kind) {
    SCOPED_TRACE(name);
    auto hive = HiveStore::open(sharedHive(name));
    EXPECT_EQ(hiveKind(*hive), kind);
    EXPECT_EQ(hive->damage(), std::vector<std::string>{});
    EXPECT_EQ(HiveMapping(sharedHive(name)).keysUnsafeToChange().size(), 0u);
    return hive;
}

TEST(HiveStore, RealHivesOpenSoundWithTheirKnownKeys) {
    MOXALO_NEED_SHARED_HIVES();
    for (const RootFacts& facts : kUserClasses) {
        SCOPED_TRACE(facts.file);
        auto hive = openSound(facts.file, HiveKind::UserClasses);
        registry::NodeId root = hive->rootNode();
        RootFacts counted{facts.file, hive->childCount(root), 0, 0, 0};
        for (std::size_t i = 0; i < counted.subkeys; ++i) {
            std::string_view name = hive->childName(root, i);
            registry::NodeId key = hive->findChild(root, name);
            ASSERT_EQ(key, hive->childAt(root, i));
            if (name.starts_with(".")) {
                ++counted.extensions;
                counted.withOpenWithProgids += hive->findChild(key, "openwithprogids") != kNoNode;
                counted.withDefault += hive->findValue(key, "").has_value();
            }
        }
        EXPECT_EQ(counted.subkeys, facts.subkeys);
        EXPECT_EQ(counted.extensions, facts.extensions);
        EXPECT_EQ(counted.withOpenWithProgids, facts.withOpenWithProgids);
        EXPECT_EQ(counted.withDefault, facts.withDefault);
    }

    auto small = openSound("win7-small-UsrClass.dat", HiveKind::UserClasses);
    EXPECT_EQ(small->childCount(small->rootNode()), 4u);

    openSound("win10-NTUSER.DAT", HiveKind::NtUser);
}

TEST(HiveStore, ChangesToACopyOfARealHiveAreSavedAndReadBack) {
    MOXALO_NEED_SHARED_HIVES();
    // A dirty hive (its sequence numbers differ): it opens and saves without its logs.
    std::string original = sharedHive("win10-UsrClass.dat");
    namespace fs = std::filesystem;
    TempDir dir;
    std::string path = dir.file("UsrClass.dat");
    fs::copy_file(original, path);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    auto hive = HiveStore::open(path);
    EXPECT_EQ(hive->whyReadOnly(), std::nullopt);
    registry::NodeId root = hive->rootNode();
    std::size_t before = hive->childCount(root);
    std::string doomed(hive->childName(root, 1));
    ASSERT_TRUE(doomed.starts_with("."));

    registry::NodeId added = hive->createKey(root, ".moxalo");
    EXPECT_EQ(hive->createKey(root, ".MOXALO"), added);
    hive->setValue(added, "", sz("Moxalo.Document"));
    hive->setValue(added, "Content Type", sz("text/x-moxalo"));
    hive->setValue(added, "content type", sz("text/plain"));
    hive->setValue(added, "gone", testing::dword(1));
    hive->deleteValue(added, "GONE");
    hive->createKey(hive->createKey(added, "OpenWithProgids"), "deep");
    hive->deleteKey(root, doomed);
    hive->deleteKey(root, ".no-such-key");
    EXPECT_EQ(hive->childCount(root), before);
    EXPECT_EQ(hive->findChild(root, doomed), kNoNode);
    EXPECT_THROW(hive->createKey(root, "bad\\name"), registry::StoreError);
    hive->save();

    for (auto& store : {std::move(hive), HiveStore::open(path)}) {
        root = store->rootNode();
        EXPECT_EQ(store->childCount(root), before);
        EXPECT_EQ(store->findChild(root, doomed), kNoNode);
        registry::NodeId key = store->findChild(root, ".Moxalo");
        ASSERT_NE(key, kNoNode);
        EXPECT_EQ(moxalo::testing::valueNames(*store, key),
                  (std::vector<std::string>{"", "Content Type"}));
        EXPECT_EQ(store->findValue(key, "CONTENT TYPE"), sz("text/plain"));
        EXPECT_NE(store->findChild(store->findChild(key, "openwithprogids"), "DEEP"), kNoNode);
    }
}

// A hive in memory (a file with its logs replayed, say) reads as the same hive from its file,
// whether the bytes are borrowed or its own, and its messages name it as told ("x").
TEST(HiveStore, AHiveReadFromMemoryIsTheHiveOfItsFile) {
    MOXALO_NEED_SHARED_HIVES();
    std::string path = sharedHive("win11-UsrClass.dat");
    std::string text = testing::readFile(path);
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    auto file = HiveStore::open(path);
    auto borrowed = HiveStore::fromBytes(std::span<const std::uint8_t>(bytes), "x");
    testing::expectSameTree(*file, file->rootNode(), *borrowed, borrowed->rootNode());
    auto owned = HiveStore::fromBytes(std::vector<std::uint8_t>(bytes), "x");
    testing::expectSameTree(*file, file->rootNode(), *owned, owned->rootNode());
    EXPECT_TRUE(owned->whyReadOnly());

    bytes.resize(4096); // the base block alone: its root key is not there
    std::string why = testing::storeError([&] { HiveStore::fromBytes(std::move(bytes), "x"); });
    EXPECT_TRUE(why.starts_with("x: ")) << why;
}

} // namespace
} // namespace moxalo::hive
