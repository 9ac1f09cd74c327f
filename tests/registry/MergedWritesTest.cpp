// Changes through HKEY_CLASSES_ROOT when it is made of several sources: memory and the files
// stay in step, whatever fails.

#include "platform/advapi/RegistryApi.h"
#include "registry/LayeredStore.h"
#include "registry/Sources.h"
#include "tests/support/DiskFull.h"
#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo::registry;
using namespace moxalo::testing;

namespace {

// Room for the user's file, not for the machine's.
constexpr rlim_t kRoomLeft = 4096;

std::vector<std::string> folder(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(MergedWrites, ADeleteThatCannotBeSavedChangesNeitherMemoryNorAnyFile) {
    TempDir dir;
    std::string user = dir.file("user.reg");
    std::string machine = dir.file("machine.reg");
    writeFile(user, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Classes\\.a]\r\n"
                    "@=\"user a\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Classes\\.u]\r\n");
    // Larger than the room left below, so that its save fails only once the user's file is
    // already written beside its own.
    writeFile(machine, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.a]\r\n"
                       "\"Content Type\"=\"text/a\"\r\n\r\n"
                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.m]\r\n@=\"" +
                           std::string(kRoomLeft, 'm') + "\"\r\n");
    std::string userBefore = readFile(user), machineBefore = readFile(machine);
    auto opened = *openRegistry(SourceChoice{{user, machine}, "test", false});
    mountRegistry(opened.registry);
    HKEY held = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".a", 0, KEY_READ, &held), ERROR_SUCCESS);

    {
        DiskFull full(kRoomLeft);
        EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".a"), ERROR_WRITE_FAULT);
    }
    EXPECT_NE(lastRegistryError().find(machine), std::string::npos) << lastRegistryError();
    EXPECT_EQ(readFile(user), userBefore);
    EXPECT_EQ(readFile(machine), machineBefore);
    EXPECT_EQ(folder(dir), (std::vector<std::string>{"machine.reg", "user.reg"}))
        << "no temporary file is left behind";
    EXPECT_EQ(subkeysOf(""), (std::vector<std::string>{".a", ".m", ".u"}));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(held, "Content Type", nullptr, nullptr, nullptr, &size),
              ERROR_SUCCESS)
        << "a handle to the key is still good";

    // A delete that can be saved goes to every layer that holds the key, and handles to it go.
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".u"), ERROR_SUCCESS) << lastRegistryError();
    EXPECT_EQ(subkeysOf(""), (std::vector<std::string>{".a", ".m"}));
    EXPECT_EQ(readFile(user).find(".u]"), std::string::npos);
    EXPECT_EQ(readFile(machine), machineBefore);
    RegCloseKey(held);
    mountRegistry(nullptr);
}

TEST(MergedWrites, HandlesOfADeletedKeyAnswerKeyDeleted) {
    auto machine = std::make_unique<MemoryStore>("machine");
    auto user = std::make_unique<MemoryStore>("user");
    put(*machine, ".gone", "", sz("type"));
    put(*user, ".gone", "x", sz("y"));
    put(*user, ".goner", "", sz("k")); // begins with the deleted key's name
    mountLayers(std::move(user), std::move(machine));

    HKEY gone = 0, kept = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".GONE", 0, KEY_READ, &gone), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".goner", 0, KEY_READ, &kept), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".gone"), ERROR_SUCCESS);
    char name[MAX_PATH];
    DWORD size = MAX_PATH;
    HKEY sub = 0;
    EXPECT_EQ(RegQueryValueExA(gone, "", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegEnumKeyExA(gone, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(RegEnumValueA(gone, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(RegOpenKeyExA(gone, "", 0, KEY_READ, &sub), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(gone), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(kept, "", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    RegCloseKey(kept);
    mountRegistry(nullptr);
}

// A merged key met again after a change is the same key: its id does not change, and the
// view does not grow with every change.
TEST(MergedWrites, MergedKeysKeepTheirIdsAcrossChanges) {
    MemoryStore machine("machine"), user("user");
    put(machine, ".a", "", sz("machine a"));
    put(user, ".a", "", sz("user a"));
    put(machine, ".b", "", sz("b"));
    LayeredStore view({{&user, user.rootNode(), true}, {&machine, machine.rootNode(), false}});
    NodeId a = view.findChild(view.rootNode(), ".a");
    NodeId b = view.findChild(view.rootNode(), ".B");
    for (int round = 0; round < 3; ++round) {
        NodeId c = view.createKey(view.rootNode(), ".c");
        view.setValue(c, "", {REG_SZ, {'c', 0, 0, 0}});
        EXPECT_EQ(view.findChild(view.rootNode(), ".a"), a);
        EXPECT_EQ(view.findChild(view.rootNode(), ".b"), b);
        EXPECT_EQ(view.childCount(view.rootNode()), 3u);
        view.deleteKey(view.rootNode(), ".c");
        EXPECT_EQ(view.findChild(view.rootNode(), ".c"), kNoNode);
        EXPECT_EQ(view.findChild(view.rootNode(), ".a"), a);
    }
    EXPECT_EQ(view.findValue(a, "")->data, sz("user a").data);
    view.deleteKey(view.rootNode(), ".a");
    EXPECT_EQ(view.findChild(view.rootNode(), ".a"), kNoNode);
    EXPECT_EQ(view.childCount(a), 0u) << "a key gone from every layer has nothing below it";
}

// A key created below a merged key whose subkeys were listed is listed with them.
TEST(MergedWrites, ANewKeyIsListedBelowAMergedKeyListedBefore) {
    MemoryStore machine("machine"), user("user");
    put(machine, ".a\\m", "", sz("m"));
    put(user, ".a\\u", "", sz("u"));
    LayeredStore view({{&user, user.rootNode(), true}, {&machine, machine.rootNode(), false}});
    NodeId a = view.findChild(view.rootNode(), ".a");
    ASSERT_EQ(view.childCount(a), 2u);
    view.createKey(a, "new");
    ASSERT_EQ(view.childCount(a), 3u);
    EXPECT_EQ(view.childName(a, 0), "m");
    EXPECT_EQ(view.childName(a, 1), "new");
}

// The merged view can be written while any one layer can; the reason is given when none can.
TEST(MergedWrites, TheViewIsReadOnlyOnlyWhenEveryLayerIs) {
    MemoryStore machine("machine"), user("user");
    LayeredStore view({{&user, user.rootNode(), true}, {&machine, machine.rootNode(), false}});
    machine.setReadOnly("the machine's file is read-only");
    EXPECT_EQ(view.whyReadOnly(), std::nullopt);
    user.setReadOnly("the user's file is read-only");
    EXPECT_EQ(view.whyReadOnly(), "the user's file is read-only");
}

// A key that one layer alone holds is read from that layer and written to it, with the keys
// below it, and keeps its id across changes like a merged key.
TEST(MergedWrites, AKeyOneLayerHoldsIsThatLayersKey) {
    MemoryStore machine("machine"), user("user");
    put(machine, ".m", "", sz("mfile"));
    put(machine, ".m\\shell\\open", "", sz("Open"));
    put(machine, ".both", "", sz("machine both"));
    put(user, ".both", "", sz("user both"));
    put(user, ".u", "", sz("ufile"));
    LayeredStore view({{&user, user.rootNode(), true}, {&machine, machine.rootNode(), false}});
    NodeId root = view.rootNode();

    NodeId m = view.findChild(root, ".M");
    ASSERT_NE(m, kNoNode);
    EXPECT_EQ(view.findValue(m, "")->data, sz("mfile").data);
    EXPECT_EQ(view.valueCount(m), 1u);
    EXPECT_EQ(view.valueName(m, 0), "");
    ASSERT_EQ(view.childCount(m), 1u);
    EXPECT_EQ(view.childName(m, 0), "shell");
    NodeId open = view.findChild(view.childAt(m, 0), "OPEN");
    EXPECT_EQ(view.valueAt(open, 0).data, sz("Open").data);
    EXPECT_EQ(view.findChild(m, "nothing"), kNoNode);

    NodeId added = view.createKey(m, "new");
    view.setValue(added, "v", {REG_SZ, sz("x").data});
    view.setValue(m, "Content Type", {REG_SZ, sz("text/m").data});
    NodeId inMachine = machine.findPath(machine.rootNode(), ".m\\new");
    ASSERT_NE(inMachine, kNoNode) << "a key below a machine key is made in the machine's layer";
    EXPECT_EQ(machine.findValue(inMachine, "v")->data, sz("x").data);
    EXPECT_EQ(user.findChild(user.rootNode(), ".m"), kNoNode);
    EXPECT_TRUE(machine.findValue(machine.findChild(machine.rootNode(), ".m"), "Content Type"));
    EXPECT_EQ(view.findChild(root, ".m"), m);
    EXPECT_EQ(view.childCount(m), 2u);
    view.deleteValue(m, "Content Type");
    view.deleteKey(m, "new");
    EXPECT_EQ(machine.findPath(machine.rootNode(), ".m\\new"), kNoNode);
    EXPECT_FALSE(view.findValue(m, "Content Type"));

    // A new key at the top goes to the user's layer.
    view.createKey(root, ".fresh");
    EXPECT_NE(user.findChild(user.rootNode(), ".fresh"), kNoNode);
    EXPECT_EQ(machine.findChild(machine.rootNode(), ".fresh"), kNoNode);

    machine.setReadOnly("the machine's file is read-only");
    EXPECT_THROW(view.setValue(m, "w", {REG_SZ, sz("w").data}), AccessDenied);
    EXPECT_THROW(view.createKey(m, "other"), AccessDenied);
    EXPECT_FALSE(view.findValue(m, "w"));
    EXPECT_EQ(view.findChild(m, "other"), kNoNode);
}
