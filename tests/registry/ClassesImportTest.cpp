// Where a .reg file's keys go in a registry of one source, and what a side that cannot be
// written stops.

#include "registry/ClassesImport.h"

#include "registry/regedit/RegFileImport.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

using namespace moxalo::registry;
using namespace moxalo::testing;

namespace {

// A store that counts the saves asked of it.
class SavedStore : public MemoryStore {
public:
    using MemoryStore::MemoryStore;
    std::unique_ptr<PendingSave> prepareSave() override {
        ++saves;
        return nullptr;
    }
    int saves = 0;
};

Registry registryOf(MemoryStore* user, MemoryStore* machine) {
    std::vector<ClassesLayer> layers;
    if (user)
        layers.push_back({user, user->rootNode(), true});
    if (machine)
        layers.push_back({machine, machine->rootNode(), false});
    return Registry({}, layers);
}

std::vector<std::string> problems(const moxalo::regfile::ImportResult& result) {
    std::vector<std::string> lines;
    for (const auto& d : result.diagnostics)
        lines.push_back(std::to_string(d.line) + ": " + d.message);
    return lines;
}

} // namespace

TEST(ClassesImport, ASideThatCannotBeWrittenStopsOnlyTheFilesThatWriteToIt) {
    SavedStore user("user"), machine("machine");
    put(user, ".u", "", sz("user"));
    machine.setReadOnly("machine is read-only");
    Registry registry = registryOf(&user, &machine);

    ClassesImport userOnly(registry.layers());
    auto result = moxalo::regfile::importRegFile(
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Classes\\.u\\x]\r\n", userOnly);
    ASSERT_TRUE(result);
    EXPECT_EQ(problems(*result), std::vector<std::string>{});
    EXPECT_NE(user.findPath(user.rootNode(), ".u\\x"), kNoNode);

    // A new key goes to the machine's side, though its parent is the user's only.
    ClassesImport below(registry.layers());
    auto refused =
        moxalo::regfile::importRegFile("REGEDIT4\r\n[HKEY_CLASSES_ROOT\\.u\\y]\r\n", below);
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.accessDenied());

    ClassesImport userValues(registry.layers());
    result = moxalo::regfile::importRegFile(
        "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\.u]\r\n@=\"changed\"\r\n", userValues);
    ASSERT_TRUE(result);
    EXPECT_EQ(problems(*result), std::vector<std::string>{});
    ASSERT_TRUE(userValues.save());
    EXPECT_EQ(user.saves, 1);
    EXPECT_EQ(machine.saves, 0);
}
