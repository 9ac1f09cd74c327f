// The memory store's tree: subkeys in order and found by name whatever order they came in,
// deletions and their undoing, and paths opened one after the other as files name them.

#include "registry/MemoryStore.h"

#include "base/NameFold.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace moxalo::registry {
namespace {

// A store that keeps its changes from keepChanges() on, as the stores of files do once they
// are loaded.
class UndoingStore : public MemoryStore {
public:
    void keepChanges() { keepUndo(true); }
};

// Enough names to be found through the index, in cases and scripts whose upper-case order
// differs from their byte order ("_" sorts after the letters).
std::vector<std::string> someNames() {
    std::vector<std::string> names;
    for (int i = 0; i < 100; ++i) {
        std::string n = std::to_string(i);
        for (const char* stem : {"key", "Key_", "_", "\xC3\xA4pfel", "zz"})
            names.push_back(stem + n);
    }
    return names;
}

// The name spelled in the other case: ASCII letters flipped, "ä" as "Ä".
std::string otherCase(std::string name) {
    for (char& c : name) {
        if (std::isalpha(static_cast<unsigned char>(c)))
            c = static_cast<char>(c ^ 0x20);
        else if (c == '\xA4')
            c = '\x84';
    }
    return name;
}

std::vector<std::string> subkeys(MemoryStore& store, NodeId key) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < store.childCount(key); ++i)
        names.emplace_back(store.childName(key, i));
    return names;
}

std::vector<std::string> inRegistryOrder(std::vector<std::string> names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return foldName(a) < foldName(b); });
    return names;
}

TEST(MemoryStore, SubkeysAreInOrderAndFoundWhateverOrderTheyCameIn) {
    const std::vector<std::string> names = someNames();
    std::vector<std::string> reversed = inRegistryOrder(names);
    std::reverse(reversed.begin(), reversed.end());
    std::vector<std::string> shuffled = names;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    for (const auto& order : {inRegistryOrder(names), reversed, shuffled}) {
        MemoryStore store;
        NodeId root = store.rootNode();
        std::map<std::string, NodeId> ids;
        for (const std::string& name : order)
            ids[name] = store.createKey(root, name);
        EXPECT_EQ(subkeys(store, root), inRegistryOrder(names));
        for (const std::string& name : names) {
            EXPECT_EQ(store.findChild(root, otherCase(name)), ids[name]) << name;
            EXPECT_EQ(store.createKey(root, otherCase(name)), ids[name]) << name;
        }
        EXPECT_EQ(store.childCount(root), names.size());
        // A key added once the others were put in order takes its place among them.
        store.createKey(root, "Key_50a");
        std::vector<std::string> more = names;
        more.push_back("Key_50a");
        EXPECT_EQ(subkeys(store, root), inRegistryOrder(more));
    }
}

TEST(MemoryStore, ADeletedKeyIsGoneUntilTheDeletionIsTakenBack) {
    for (std::size_t count : {3u, 40u}) { // searched name by name, and through the index
        UndoingStore store;
        NodeId root = store.rootNode();
        std::vector<std::string> names;
        for (std::size_t i = 0; i < count; ++i)
            names.push_back("k" + std::to_string(100 + i));
        for (const std::string& name : names)
            store.createKey(root, name);
        store.keepChanges();
        NodeId doomed = store.findChild(root, "K101");
        ASSERT_NE(doomed, kNoNode);
        store.deleteKey(root, "k101");
        EXPECT_EQ(store.findChild(root, "k101"), kNoNode);
        EXPECT_EQ(store.childCount(root), count - 1);
        NodeId again = store.createKey(root, "K101");
        EXPECT_NE(again, doomed);
        store.discardChanges();
        EXPECT_EQ(store.findChild(root, "k101"), doomed) << count;
        EXPECT_EQ(subkeys(store, root), names) << count;
    }
}

// A key's values are found in any case, name by name and, past a few dozen, through an index;
// a value set again keeps the spelling it had, and a delete moves the ones after it.
TEST(MemoryStore, ValuesAreFoundInAnyCaseWhateverTheirNumber) {
    auto dword = [](std::size_t n) { return RegValue{REG_DWORD, {std::uint8_t(n), 0, 0, 0}}; };
    // "äpfel" in one case and the other
    auto lower = [](std::size_t i) { return "\xC3\xA4pfel" + std::to_string(i); };
    auto upper = [](std::size_t i) { return "\xC3\x84PFEL" + std::to_string(i); };
    for (std::size_t count : {3u, 40u}) {
        UndoingStore store;
        NodeId key = store.createKey(store.rootNode(), "k");
        for (std::size_t i = 0; i < count; ++i)
            store.setValue(key, lower(i), dword(i));
        store.keepChanges();
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(store.findValue(key, upper(i)), dword(i)) << count;
        store.setValue(key, upper(2), dword(99));
        EXPECT_EQ(store.valueName(key, 2), lower(2));
        EXPECT_EQ(store.valueAt(key, 2), dword(99));
        store.deleteValue(key, upper(1));
        EXPECT_FALSE(store.findValue(key, lower(1)));
        EXPECT_EQ(store.findValue(key, lower(2)), dword(99)) << count;
        EXPECT_EQ(store.valueCount(key), count - 1);
        store.discardChanges();
        EXPECT_EQ(store.findValue(key, upper(1)), dword(1)) << count;
        EXPECT_EQ(store.findValue(key, upper(2)), dword(2)) << count;
    }
}

} // namespace
} // namespace moxalo::registry
