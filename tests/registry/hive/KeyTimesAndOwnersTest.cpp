// The times, owners and root names hives keep, read as Windows records them, and nothing (never
// a crash) where the cells that hold them are damaged.

#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"
#include "registry/hive/KeyOwner.h"
#include "registry/hivewriter/EmptyHive.h"
#include "tests/registry/hive/HiveTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <functional>
#include <gtest/gtest.h>

namespace moxalo::hive {
namespace {

using namespace layout;
using registry::kNoNode;
using registry::NodeId;
using testing::sharedHive;

const std::string kUser = "S-1-5-21-2290304894-658537038-505560459-1001";

NodeId path(registry::RegistryStore& store, std::initializer_list<const char*> names) {
    NodeId key = store.rootNode();
    for (const char* name : names) {
        key = store.findChild(key, name);
        if (key == kNoNode)
            break;
    }
    return key;
}

TEST(HiveKeyFacts, RealHivesGiveTheUsersOwnershipRootNameAndKeyTimes) {
    MOXALO_NEED_SHARED_HIVES();
    std::string file = sharedHive("win10-NTUSER.DAT");
    auto hive = HiveStore::open(file);
    HiveHandle libhivex = openHive(file, 0);
    NodeId fileExts =
        path(*hive, {"Software", "Microsoft", "Windows", "CurrentVersion", "Explorer", "FileExts"});
    ASSERT_NE(fileExts, kNoNode);
    std::size_t choices = 0;
    for (std::size_t i = 0; i < hive->childCount(fileExts); ++i) {
        NodeId choice = hive->findChild(hive->childAt(fileExts, i), "UserChoice");
        if (choice == kNoNode)
            continue;
        ++choices;
        SCOPED_TRACE(std::string(hive->childName(fileExts, i)));
        EXPECT_EQ(hive->ownerSid(choice), kUser);
        // The same time as libhivex reads from the key's cell.
        EXPECT_EQ(hive->lastWritten(choice),
                  static_cast<std::uint64_t>(hivex_node_timestamp(libhivex.get(), choice)));
    }
    EXPECT_GT(choices, 0u);
    EXPECT_NE(hive->rootName(), std::nullopt);

    auto classes = HiveStore::open(sharedHive("win10-UsrClass.dat"));
    EXPECT_EQ(classes->rootName(), kUser + "_Classes");
}

// An empty hive's root is owned by Administrators; each damage to the way there gives nothing.
TEST(HiveKeyFacts, DamagedSecurityCellsGiveNoOwner) {
    std::vector<std::uint8_t> sound = emptyHiveBytes();
    const std::size_t root = kBaseBlockSize + get32(sound.data() + base::kRootCell);
    const std::size_t sk = kBaseBlockSize + get32(sound.data() + root + nk::kSecurity);
    const std::size_t descriptor = sk + sk::kDescriptor;
    const std::size_t owner = descriptor + get32(sound.data() + descriptor + 4);
    auto ownerOf = [&](const std::function<void(std::vector<std::uint8_t>&)>& damage) {
        std::vector<std::uint8_t> bytes = sound;
        damage(bytes);
        auto store = HiveStore::fromBytes(std::move(bytes), "x");
        return store->ownerSid(store->rootNode());
    };
    EXPECT_EQ(ownerOf([](auto&) {}), "S-1-5-32-544");
    EXPECT_EQ(ownerOf([&](auto& b) { put32(b.data() + root + nk::kSecurity, kNoCell); }),
              std::nullopt);
    EXPECT_EQ(ownerOf([&](auto& b) { put32(b.data() + root + nk::kSecurity, 0x7FFFFFF0); }),
              std::nullopt);
    // The security cell's offset leads to the key itself, no "sk" cell.
    EXPECT_EQ(ownerOf([&](auto& b) {
                  put32(b.data() + root + nk::kSecurity,
                        static_cast<std::uint32_t>(root - kBaseBlockSize));
              }),
              std::nullopt);
    EXPECT_EQ(ownerOf([&](auto& b) { put32(b.data() + sk + sk::kDescriptorSize, 0x10000); }),
              std::nullopt);
    EXPECT_EQ(ownerOf([&](auto& b) { put32(b.data() + descriptor + 4, 0xFFFF); }), std::nullopt);
    EXPECT_EQ(ownerOf([&](auto& b) { b[owner + 1] = 200; }), std::nullopt); // subauthorities
    EXPECT_EQ(ownerOf([&](auto& b) { put32(b.data() + descriptor + 4, 0); }), std::nullopt);
}

TEST(HiveKeyFacts, SidsReadAsWindowsWritesThem) {
    const std::uint8_t system[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
    EXPECT_EQ(sidText(system), "S-1-5-18");
    const std::uint8_t world[] = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(sidText(world), "S-1-1-0");
    // An authority beyond 32 bits is written in hex; subauthorities are unsigned.
    const std::uint8_t wide[] = {1, 1, 0x12, 0x34, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(sidText(wide), "S-1-0x123400000001-4294967295");
    EXPECT_EQ(sidText(std::span(system, 11)), std::nullopt); // its subauthority cut off
    const std::uint8_t revision2[] = {2, 0, 0, 0, 0, 0, 0, 5};
    EXPECT_EQ(sidText(revision2), std::nullopt);
}

// Once a change opens libhivex on the file, times come from there; the owner is no longer
// known, rather than a wrong one.
TEST(HiveKeyFacts, TimesStayKnownAcrossAChange) {
    testing::TempDir dir;
    std::string file = dir.file("UsrClass.dat");
    writeEmptyHive(file);
    auto hive = HiveStore::open(file);
    NodeId root = hive->rootNode();
    std::optional<std::uint64_t> before = hive->lastWritten(root);
    ASSERT_NE(before, std::nullopt);
    EXPECT_EQ(hive->rootName(), "ROOT");
    NodeId added = hive->createKey(root, ".moxalo");
    EXPECT_NE(hive->lastWritten(added), std::nullopt);
    EXPECT_GE(hive->lastWritten(root), before);
    EXPECT_EQ(hive->ownerSid(added), std::nullopt);
    EXPECT_EQ(hive->rootName(), "ROOT");
    hive->save();
    EXPECT_EQ(hive->ownerSid(hive->findChild(hive->rootNode(), ".moxalo")), "S-1-5-32-544");
}

} // namespace
} // namespace moxalo::hive
