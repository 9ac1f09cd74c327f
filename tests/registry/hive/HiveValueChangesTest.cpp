// Value changes in a hive: the store shows each change at once, as a store in memory does, and
// refuses what it could not write back.

#include "registry/MemoryStore.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"
#include "registry/hivewriter/EmptyHive.h"
#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/registry/hive/HiveTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>
#include <random>

namespace moxalo::hive {
namespace {

using registry::kNoNode;
using registry::NodeId;
using registry::RegValue;
using testing::dword;
using testing::sz;
using testing::TempDir;

RegValue binary(std::size_t size, std::uint8_t seed) {
    RegValue value{registry::REG_BINARY, std::vector<std::uint8_t>(size)};
    for (std::size_t i = 0; i < size; ++i)
        value.data[i] = static_cast<std::uint8_t>(seed + i * 7);
    return value;
}

// The key at `path` ("top" or "top\sub") below the root, or kNoNode.
NodeId keyAt(registry::RegistryStore& store, const std::string& path) {
    NodeId at = store.rootNode();
    std::size_t slash = path.find('\\');
    at = store.findChild(at, path.substr(0, slash));
    if (at != kNoNode && slash != std::string::npos)
        at = store.findChild(at, path.substr(slash + 1));
    return at;
}

NodeId createPath(registry::RegistryStore& store, const std::string& path) {
    NodeId at = store.rootNode();
    std::size_t slash = path.find('\\');
    at = store.createKey(at, path.substr(0, slash));
    if (slash != std::string::npos)
        at = store.createKey(at, path.substr(slash + 1));
    return at;
}

void expectSameValues(registry::RegistryStore& expected, registry::RegistryStore& actual,
                      const std::string& path) {
    NodeId want = keyAt(expected, path), have = keyAt(actual, path);
    ASSERT_EQ(have == kNoNode, want == kNoNode) << path;
    if (want == kNoNode)
        return;
    auto names = moxalo::testing::valueNames(expected, want);
    ASSERT_EQ(moxalo::testing::valueNames(actual, have), names) << path;
    for (std::size_t i = 0; i < names.size(); ++i)
        ASSERT_EQ(actual.valueAt(have, i), expected.valueAt(want, i)) << path << " " << names[i];
}

TEST(HiveValueChanges, RandomChangesReadAsInMemoryBeforeAndAfterEachSave) {
    registry::MemoryStore model;
    testing::put(model, "k0", "", sz("zero"));
    testing::put(model, "k0", "big", binary(40000, 1));
    testing::put(model, "k1", "a", dword(1));
    testing::put(model, "k1", "B", dword(2));
    testing::put(model, "k2\\sub", "c", sz("c"));
    TempDir dir;
    std::string path = dir.file("changed.hive");
    writeHive(model, model.rootNode(), path, runtime::kHolderKeyPrefix);
    auto hive = HiveStore::open(path);

    const std::vector<std::string> tops = {"k0", "k1", "k2", "new0", "new1"};
    const std::vector<std::vector<std::string>> spellings = {
        {""}, {"a", "A"}, {"b", "B"}, {"dd", "Dd", "DD"}, {"ünï", "ÜNÏ"}, {"big", "BIG"}};
    std::mt19937 random(20240611);
    auto pick = [&](const auto& from) { return from[random() % from.size()]; };
    for (int step = 0; step < 3000; ++step) {
        std::string top = pick(tops);
        std::string where = random() % 3 == 0 ? top + "\\sub" : top;
        std::string name = pick(pick(spellings));
        unsigned op = random() % 20;
        SCOPED_TRACE("step " + std::to_string(step) + ", op " + std::to_string(op) + " on " +
                     where + ", value \"" + name + "\"");
        if (op < 2) {
            model.deleteKey(model.rootNode(), top);
            hive->deleteKey(hive->rootNode(), top);
        } else if (op < 12) {
            RegValue value = op == 2
                                 ? binary(20000 + random() % 100, static_cast<std::uint8_t>(step))
                                 : dword(static_cast<std::uint32_t>(random()));
            model.setValue(createPath(model, where), name, value);
            hive->setValue(createPath(*hive, where), name, value);
        } else if (op < 16) {
            if (keyAt(model, where) != kNoNode) {
                model.deleteValue(keyAt(model, where), name);
                hive->deleteValue(keyAt(*hive, where), name);
            }
        } else if (op == 16) {
            hive->save();
        }
        expectSameValues(model, *hive, where);
        if (::testing::Test::HasFatalFailure())
            return;
    }
    testing::expectSameTree(model, model.rootNode(), *hive, hive->rootNode());
    hive->save();
    testing::expectSameTree(model, model.rootNode(), *hive, hive->rootNode());
    auto reopened = HiveStore::open(path);
    testing::expectSameTree(model, model.rootNode(), *reopened, reopened->rootNode());

    // Changes taken back leave the values as saved, in keys old and new alike.
    NodeId k1 = createPath(*hive, "k1");
    hive->setValue(k1, "a", sz("changed"));
    hive->setValue(k1, "added", sz("added"));
    hive->deleteValue(k1, "b");
    hive->setValue(createPath(*hive, "new2\\sub"), "x", dword(1));
    hive->discardChanges();
    testing::expectSameTree(model, model.rootNode(), *hive, hive->rootNode());
}

// Rewriting the values of a key one of whose names cannot be read would give that value
// another name (the default value's): the change is refused, naming the key.
TEST(HiveValueChanges, AKeyWithAnUnreadableValueNameKeepsItsValues) {
    registry::MemoryStore tree;
    testing::put(tree, "damaged", "", sz("default"));
    testing::put(tree, "damaged", "named", sz("named"));
    TempDir dir;
    std::string path = dir.file("damaged.hive");
    writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    hive_value_h named = 0;
    {
        HiveHandle h = openHive(path, 0);
        hive_node_h key = hivex_node_get_child(h.get(), hivex_root(h.get()), "damaged");
        named = hivex_node_get_value(h.get(), key, "named");
        ASSERT_NE(named, 0u);
    }
    std::string bytes = testing::readFile(path);
    layout::put16(reinterpret_cast<std::uint8_t*>(bytes.data()) + named + layout::vk::kNameLength,
                  0xFFFF);
    testing::writeFile(path, bytes);

    auto hive = HiveStore::open(path);
    NodeId key = hive->findChild(hive->rootNode(), "damaged");
    EXPECT_EQ(testing::storeError([&] { hive->setValue(key, "other", sz("other")); }),
              path + ": the values of the key \"damaged\" cannot be changed: one of their names "
                     "cannot be read");
    hive->createKey(hive->rootNode(), "elsewhere");
    hive->save();
    HiveHandle h = openHive(path, 0);
    hive_node_h saved = hivex_node_get_child(h.get(), hivex_root(h.get()), "damaged");
    std::unique_ptr<hive_value_h, decltype(&std::free)> values(hivex_node_values(h.get(), saved),
                                                               &std::free);
    ASSERT_TRUE(values);
    EXPECT_EQ(values.get()[2], 0u) << "the key has more than its two values";
    EXPECT_EQ(hive->findValue(hive->findChild(hive->rootNode(), "damaged"), ""), sz("default"));
}

// What libhivex cannot write or read back is refused when it is set, not when the save writes
// the key, so that the rest of the key, and of the save, goes through.
TEST(HiveValueChanges, ValuesAHiveCannotHoldAreRefusedAndTheKeyStillSaves) {
    TempDir dir;
    std::string path = dir.file("limits.hive");
    writeEmptyHive(path);
    auto hive = HiveStore::open(path);
    NodeId key = hive->createKey(hive->rootNode(), "large");
    RegValue largest = binary(layout::kMaxWritableValueData, 3);
    RegValue tooLarge = binary(layout::kMaxWritableValueData + 1, 3);
    hive->setValue(key, "first", sz("1"));
    EXPECT_EQ(testing::storeError([&] { hive->setValue(key, "huge", tooLarge); }),
              path + ": cannot set the value \"huge\" of the key \"large\": its data has " +
                  std::to_string(tooLarge.data.size()) + " bytes, more than the " +
                  std::to_string(largest.data.size()) + " a hive value can be written with");
    hive->setValue(key, "largest", largest);

    NodeId full = hive->createKey(hive->rootNode(), "full");
    for (std::size_t i = 0; i < layout::kMaxReadableValues; ++i)
        hive->setValue(full, "v" + std::to_string(i), dword(static_cast<std::uint32_t>(i)));
    EXPECT_THROW(hive->setValue(full, "one more", dword(0)), registry::StoreError);
    hive->setValue(full, "V0", dword(7));
    hive->save();

    auto again = HiveStore::open(path);
    key = again->findChild(again->rootNode(), "large");
    EXPECT_EQ(moxalo::testing::valueNames(*again, key),
              (std::vector<std::string>{"first", "largest"}));
    EXPECT_EQ(again->findValue(key, "largest"), largest);
    full = again->findChild(again->rootNode(), "full");
    EXPECT_EQ(again->valueCount(full), layout::kMaxReadableValues);
    EXPECT_EQ(again->findValue(full, "v0"), dword(7));
}

} // namespace
} // namespace moxalo::hive
