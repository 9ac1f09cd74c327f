// A real hive with a key's name length or subkey list broken, as a disk error or a careless
// tool leaves it: the list shows the rows before the damage, tells it once, and fails.

#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"
#include "tests/support/CliRunner.h"
#include "tests/support/SharedHives.h"

#include <gtest/gtest.h>

namespace moxalo::testing {
namespace {

using namespace hive::layout;
using registry::NodeId;

// The hive with the four bytes at `offset` (two where `width` is 2) set to `value`.
std::string broken(const std::string& good, std::size_t offset, std::uint32_t value,
                   std::size_t width = 4) {
    std::string bytes = good;
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data()) + offset;
    width == 4 ? put32(p, value) : put16(p, static_cast<std::uint16_t>(value));
    return bytes;
}

TEST(DamagedHive, TheListKeepsTheRowsBeforeTheDamage) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir dir;
    std::string hivePath = dir.file("damaged UsrClass.dat");
    std::string good = readFile(sharedHive("win10-UsrClass.dat"));
    auto store = hive::HiveStore::open(sharedHive("win10-UsrClass.dat"));
    NodeId root = store->rootNode();
    // The fifth extension key, so that rows come before it.
    NodeId extension = registry::kNoNode;
    for (std::size_t i = 0, seen = 0; i < store->childCount(root) && seen < 5; ++i) {
        if (store->childName(root, i).starts_with(".") && ++seen == 5)
            extension = store->childAt(root, i);
    }
    ASSERT_NE(extension, registry::kNoNode);

    CliRun whole = cli({"--registry", sharedHive("win10-UsrClass.dat"), "list"}, dir);
    ASSERT_EQ(whole.status, 0) << whole.err;
    writeFile(hivePath, broken(good, extension + nk::kNameLength, 0xFFFF, 2));
    CliRun run = cli({"--registry", hivePath, "list"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.crashed);
    EXPECT_NE(run.out, "");
    EXPECT_TRUE(whole.out.starts_with(run.out));
    std::string message = hivePath + ": cannot read the name of the key at offset";
    std::size_t first = run.err.find(message);
    ASSERT_NE(first, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(message, first + 1), std::string::npos) << "told once:\n" << run.err;

    writeFile(hivePath, broken(good, root + nk::kSubkeyList, 0x7FFFFFF0));
    run = cli({"--registry", hivePath, "list"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("cannot read the subkeys of the key"), std::string::npos) << run.err;
}

} // namespace
} // namespace moxalo::testing
