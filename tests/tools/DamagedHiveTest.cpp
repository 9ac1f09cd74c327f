// A real hive with one offset or length of one cell broken at a time, as a disk error or a
// careless tool leaves it: every command ends, with a message that says where, and none aborts
// or hangs.

#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveStore.h"
#include "tests/support/CliRunner.h"
#include "tests/support/SharedHives.h"

#include <gtest/gtest.h>

namespace moxalo::testing {
namespace {

using namespace hive::layout;
using registry::NodeId;

struct Target {
    const char* what;
    std::uint32_t offset; // relative to the first hive bin, as cells name each other
    // The start of a real cell of another kind: wrong only where a cell's kind is known. A
    // class name or value data may be any cell's bytes, as far as anyone can tell.
    bool listsOnly = false;
};

// A key of the hive to break, and the commands that read it.
struct KeyCell {
    std::string path; // below the root, "" for the root
    std::size_t cell = 0;
};

class DamagedHive : public ::testing::Test {
protected:
    void SetUp() override {
        MOXALO_NEED_SHARED_HIVES();
        good = readFile(sharedHive("win10-UsrClass.dat"));
        auto store = hive::HiveStore::open(sharedHive("win10-UsrClass.dat"));
        findKeys(*store);
        targets = {
            {"inside the first page", 0x10},
            {"past the end", 0x7FFFFFF0},
            {"into the middle of another cell", rel(keys[2].cell) + 8},
            {"at another key's subkey list", get32(at(keys[0].cell) + nk::kSubkeyList), true}};
    }

    const std::uint8_t* at(std::size_t offset) const {
        return reinterpret_cast<const std::uint8_t*>(good.data()) + offset;
    }
    static std::uint32_t rel(std::size_t cell) {
        return static_cast<std::uint32_t>(cell - kBaseBlockSize);
    }

    // The root; an extension key with subkeys; one of those with values; a key holding a value
    // whose data lies in a cell of its own.
    void findKeys(hive::HiveStore& store) {
        NodeId root = store.rootNode();
        keys.push_back({"", root});
        for (std::size_t i = 0; i < store.childCount(root) && keys.size() < 2; ++i) {
            NodeId ext = store.childAt(root, i);
            std::string name(store.childName(root, i));
            if (!name.starts_with(".") || store.childCount(ext) == 0)
                continue;
            keys.push_back({name, ext});
            NodeId sub = store.childAt(ext, 0);
            ASSERT_GT(store.valueCount(sub), 0u);
            keys.push_back({name + "\\" + std::string(store.childName(ext, 0)), sub});
        }
        for (std::size_t i = 0; i < store.childCount(root) && !valueCell; ++i) {
            NodeId key = store.childAt(root, i);
            if (store.valueCount(key) == 0)
                continue;
            std::size_t list = kBaseBlockSize + get32(at(key) + nk::kValueList);
            std::size_t vk = kBaseBlockSize + get32(at(list) + 4);
            std::uint32_t length = get32(at(vk) + vk::kDataLength);
            if ((length & vk::kInlineData) == 0 && length > 4) {
                keys.push_back({std::string(store.childName(root, i)), key});
                valueCell = vk;
            }
        }
        ASSERT_EQ(keys.size(), 4u);
        ASSERT_NE(valueCell, 0u);
    }

    // Every command on the hive with `change` made; each must end with a message naming it.
    void expectMessages(const std::string& damage, std::size_t offset, std::uint32_t value,
                        std::size_t width = 4) {
        std::string bytes = good;
        auto* p = reinterpret_cast<std::uint8_t*>(bytes.data()) + offset;
        width == 4 ? put32(p, value) : put16(p, static_cast<std::uint16_t>(value));
        writeFile(hivePath, bytes);
        std::vector<std::vector<std::string>> commands = {
            {"list"}, {"details", keys[1].path.substr(1)}, {"save-list", "--extended", listPath}};
        for (const auto& key : keys)
            commands.push_back({"query", key.path});
        for (auto command : commands) {
            command.insert(command.begin(), {"--registry", hivePath});
            CliRun run = cli(command, dir, {}, 30);
            std::string label =
                damage + ", " + command[2] + " " + (command.size() > 3 ? command[3] : "");
            EXPECT_FALSE(run.crashed) << label << "\n" << run.err;
            EXPECT_FALSE(run.hung) << label;
            EXPECT_TRUE(run.status == 0 || run.status == 1) << label << ": " << run.status;
            EXPECT_NE(run.err.find(hivePath + ": "), std::string::npos) << label << "\n" << run.err;
        }
    }

    void breakOffsets(const KeyCell& key, const std::string& name) {
        const std::uint8_t* p = at(key.cell);
        for (const Target& target : targets) {
            std::string where = std::string(" ") + target.what;
            if (get32(p + nk::kSubkeyCount) > 0 && get32(p + nk::kSubkeyList) != target.offset)
                expectMessages(name + " subkey list" + where, key.cell + nk::kSubkeyList,
                               target.offset);
            if (get32(p + nk::kValueCount) > 0)
                expectMessages(name + " value list" + where, key.cell + nk::kValueList,
                               target.offset);
            if (target.listsOnly)
                continue;
            std::string withClass = good;
            put16(reinterpret_cast<std::uint8_t*>(withClass.data()) + key.cell +
                      nk::kClassNameLength,
                  12);
            std::swap(good, withClass);
            expectMessages(name + " class name" + where, key.cell + nk::kClassName, target.offset);
            std::swap(good, withClass);
        }
        expectMessages(name + " name length 65535", key.cell + nk::kNameLength, 0xFFFF, 2);
        expectMessages(name + " name length 0", key.cell + nk::kNameLength, 0, 2);
    }

    TempDir dir;
    std::string hivePath = dir.file("damaged UsrClass.dat");
    std::string listPath = dir.file("list.txt");
    std::string good;
    std::vector<KeyCell> keys;
    std::size_t valueCell = 0;
    std::vector<Target> targets;
};

TEST_F(DamagedHive, TheRootKey) {
    breakOffsets(keys[0], "root key");
}

TEST_F(DamagedHive, AnExtensionKey) {
    breakOffsets(keys[1], "extension key");
}

TEST_F(DamagedHive, AKeyBelowAnExtension) {
    breakOffsets(keys[2], "key below an extension");
}

TEST_F(DamagedHive, AValuesData) {
    for (const Target& target : targets) {
        if (!target.listsOnly)
            expectMessages(std::string("value data ") + target.what, valueCell + vk::kData,
                           target.offset);
    }
}

// What a user sees of the damage the scan meets: the rows before it, the message once, and a
// failing status.
TEST_F(DamagedHive, TheListKeepsTheRowsBeforeTheDamage) {
    CliRun whole = cli({"--registry", sharedHive("win10-UsrClass.dat"), "list"}, dir);
    ASSERT_EQ(whole.status, 0) << whole.err;
    std::string bytes = good;
    put16(reinterpret_cast<std::uint8_t*>(bytes.data()) + keys[1].cell + nk::kNameLength, 0xFFFF);
    writeFile(hivePath, bytes);
    CliRun run = cli({"--registry", hivePath, "list"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(whole.out.starts_with(run.out));
    std::string message = hivePath + ": cannot read the name of the key at offset";
    std::size_t first = run.err.find(message);
    ASSERT_NE(first, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(message, first + 1), std::string::npos) << "told once:\n" << run.err;

    bytes = good;
    put32(reinterpret_cast<std::uint8_t*>(bytes.data()) + keys[0].cell + nk::kSubkeyList,
          0x7FFFFFF0);
    writeFile(hivePath, bytes);
    run = cli({"--registry", hivePath, "list"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("cannot read the subkeys of the key"), std::string::npos) << run.err;
}

} // namespace
} // namespace moxalo::testing
