#include "tests/support/HostileHives.h"

#include "registry/MemoryStore.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"
#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace moxalo::testing {

namespace {

using namespace hive::layout;
using registry::NodeId;

// The file's bytes, changed where cells are known by their node ids (their file offsets).
class HiveBytes {
public:
    explicit HiveBytes(std::string path) : path_(std::move(path)), bytes_(readFile(path_)) {}
    ~HiveBytes() { writeFile(path_, bytes_); }

    std::uint8_t* at(std::size_t offset) {
        return reinterpret_cast<std::uint8_t*>(bytes_.data()) + offset;
    }
    // Where the subkey list of `key` holds its `index`th subkey.
    std::uint8_t* listEntry(NodeId key, std::size_t index) {
        std::size_t list = kBaseBlockSize + get32(at(key + nk::kSubkeyList));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(at(list + 4)), 2), "lh");
        return at(list + list::kEntries + index * list::kLeafEntrySize);
    }
    static std::uint32_t cell(NodeId key) {
        return static_cast<std::uint32_t>(key - kBaseBlockSize);
    }

private:
    std::string path_;
    std::string bytes_;
};

registry::MemoryStore withDoc() {
    registry::MemoryStore tree;
    put(tree, ".doc", "", sz("docfile"));
    return tree;
}

} // namespace

void writeDoubledChain(const std::string& path, std::size_t levels) {
    registry::MemoryStore tree = withDoc();
    std::string key = ".a";
    for (std::size_t i = 0; i < levels; ++i) {
        tree.createPath(key + "\\x");
        key += "\\k";
    }
    tree.createPath(key);
    hive::writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    auto store = hive::HiveStore::open(path);
    HiveBytes bytes(path);
    NodeId at = store->findChild(store->rootNode(), ".a");
    for (std::size_t i = 0; i < levels; ++i) {
        NodeId k = store->findChild(at, "k");
        ASSERT_EQ(store->childAt(at, 0), k);
        put32(bytes.listEntry(at, 1), HiveBytes::cell(k));
        at = k;
    }
}

void writeStrayListings(const std::string& path) {
    registry::MemoryStore tree = withDoc();
    put(tree, ".loop\\a", "", sz("a"));
    put(tree, ".loop\\b", "", sz("b"));
    put(tree, ".bad\\c", "", sz("c"));
    put(tree, ".shared\\a", "", sz("a"));
    put(tree, ".shared\\b", "", sz("b"));
    hive::writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    auto store = hive::HiveStore::open(path);
    NodeId root = store->rootNode();
    NodeId loop = store->findChild(root, ".loop");
    NodeId bad = store->findChild(root, ".bad");
    NodeId shared = store->findChild(root, ".shared");
    HiveBytes bytes(path);
    put32(bytes.listEntry(loop, 1), HiveBytes::cell(loop));
    put32(bytes.listEntry(bad, 0), HiveBytes::cell(store->findChild(root, ".doc")));
    std::uint32_t values = get32(bytes.at(store->findChild(shared, "a") + nk::kValueList));
    put32(bytes.at(store->findChild(shared, "b") + nk::kValueList), values);
}

void writeDeepChain(const std::string& path, std::size_t levels) {
    registry::MemoryStore tree = withDoc();
    tree.createPath(".deep");
    hive::writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    hive::HiveHandle h = hive::openHive(path, HIVEX_OPEN_WRITE);
    hive_node_h at = hivex_node_get_child(h.get(), hivex_root(h.get()), ".deep");
    for (std::size_t i = 0; i < levels; ++i) {
        at = hivex_node_add_child(h.get(), at, "k");
        ASSERT_NE(at, 0u);
    }
    ASSERT_EQ(hivex_commit(h.get(), path.c_str(), 0), 0);
}

void writeForeignCells(const std::string& path) {
    registry::MemoryStore tree = withDoc();
    put(tree, ".class\\sub", "", sz("sub"));
    put(tree, ".security\\sub", "", sz("sub"));
    put(tree, ".data", "big",
        registry::RegValue{registry::REG_BINARY, std::vector<std::uint8_t>(64, 7)});
    hive::writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    auto store = hive::HiveStore::open(path);
    NodeId root = store->rootNode();
    NodeId doc = store->findChild(root, ".doc");
    HiveBytes bytes(path);
    // Inside .doc's key cell: aligned, but no cell starts there.
    put32(bytes.at(store->findChild(root, ".class") + nk::kClassName), HiveBytes::cell(doc) + 16);
    NodeId security = store->findChild(root, ".security");
    put32(bytes.at(security + nk::kSecurity), HiveBytes::cell(security));
    NodeId data = store->findChild(root, ".data");
    std::uint32_t value =
        get32(bytes.at(kBaseBlockSize + get32(bytes.at(data + nk::kValueList)) + 4));
    put32(bytes.at(kBaseBlockSize + value + vk::kData), HiveBytes::cell(doc) + 16);
}

} // namespace moxalo::testing
