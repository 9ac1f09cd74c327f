// A Windows partition as a source: its hives found in any case, the user chosen, and what is
// missing told while the rest is read.

#include "registry/SourceStamp.h"
#include "registry/Sources.h"
#include "registry/WindowsPartition.h"
#include "tests/support/PartitionLayout.h"
#include "tests/support/SharedHives.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace moxalo::registry {
namespace {

using testing::TempDir;
using Names = std::vector<std::string>;

SourceChoice partitionChoice(const TempDir& partition, const std::string& user = {}) {
    SourceChoice choice{{partition.path()}, "--registry", false};
    choice.user = user;
    return choice;
}

// The key at a "\"-separated path from `key`, or kNoNode.
NodeId keyAt(RegistryStore& store, NodeId key, std::string_view path) {
    while (key != kNoNode && !path.empty()) {
        std::size_t end = std::min(path.find('\\'), path.size());
        key = store.findChild(key, path.substr(0, end));
        path.remove_prefix(std::min(end + 1, path.size()));
    }
    return key;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(WindowsPartition, ProfilesWithHivesAreTheUsersAndWindowsOwnAreLeftOut) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir partition;
    testing::layOutPartition(partition, {"zoe", "Alice"});
    testing::addUser(partition, "bob", true, false);
    testing::addUser(partition, "carol", false, true);
    testing::addUser(partition, "Default", true, false);
    testing::addUser(partition, "defaultuser0", true, true);
    std::filesystem::create_directories(partition.file("USERS/Public/Documents"));
    std::filesystem::create_directories(partition.file("USERS/NoHives/Desktop"));

    EXPECT_TRUE(isWindowsPartition(partition.path()));
    Result<std::vector<std::string>> users = windowsPartitionUsers(partition.path());
    ASSERT_TRUE(users) << users.error();
    EXPECT_EQ(*users, (Names{"Alice", "bob", "carol", "zoe"}));

    PartitionHives hives = findPartitionHives(partition.path());
    EXPECT_EQ(hives.software, partition.file(testing::kSoftwarePath));
    ASSERT_EQ(hives.users.size(), 4u);
    EXPECT_EQ(hives.users[1].ntUser, partition.file(testing::ntUserPath("bob")));
    EXPECT_EQ(hives.users[1].usrClass, "");
    EXPECT_EQ(hives.users[2].ntUser, "");
    EXPECT_EQ(hives.users[2].usrClass, partition.file(testing::usrClassPath("carol")));
    // The template profile is still found when named, in any case.
    EXPECT_EQ(findProfileHives(partition.path(), "DEFAULT").ntUser,
              partition.file(testing::ntUserPath("Default")));

    // Every hive is a file of the source, so that a change to any is noticed.
    std::vector<std::string> files = filesOfSource(partition.path());
    EXPECT_EQ(files.size(), 1u + 2 + 1 + 1 + 2 + 1 + 2) << "SOFTWARE, the users', Default's";
    EXPECT_EQ(files.front(), hives.software);

    TempDir other;
    std::filesystem::create_directories(other.file("Program Files"));
    EXPECT_FALSE(isWindowsPartition(other.path()));
    EXPECT_FALSE(windowsPartitionUsers(other.path()));
    EXPECT_FALSE(windowsPartitionUsers(other.file("missing")));
}

TEST(WindowsPartition, TheOnlyUsersHivesAreReadOverTheMachinesClasses) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir partition;
    testing::layOutPartition(partition, {"Alice"});
    Result<OpenedRegistry> opened = openRegistry(partitionChoice(partition));
    ASSERT_TRUE(opened) << opened.error();
    ASSERT_EQ(opened->sources.size(), 1u);
    const OpenedSource& source = opened->sources[0];
    EXPECT_EQ(source.kind, SourceKind::WindowsPartition);
    EXPECT_EQ(source.users, Names{"Alice"});
    EXPECT_EQ(source.user, "Alice");
    EXPECT_EQ(source.warnings, Names{});
    // Both user hives are dirty, and their logs beside them, named in another case, are applied.
    EXPECT_TRUE(source.state.starts_with("UsrClass.DAT: dirty; ")) << source.state;
    EXPECT_NE(source.state.find(" log entries applied; ntuser.dat: dirty; "), std::string::npos)
        << source.state;

    Registry& registry = *opened->registry;
    ASSERT_EQ(registry.layers().size(), 2u);
    EXPECT_TRUE(registry.layers()[0].user);
    EXPECT_EQ(registry.layers()[0].store->origin(), partition.file(testing::usrClassPath("Alice")));
    RegistryStore& view = registry.view();
    EXPECT_NE(view.findChild(registry.rootKey(), ".pdf"), kNoNode) << "the machine's class";
    EXPECT_NE(view.findChild(registry.rootKey(), ".jpg"), kNoNode) << "the user's class";

    const UserRoots& roots = registry.roots();
    ASSERT_TRUE(roots.currentUser);
    EXPECT_EQ(roots.currentUser.store->origin(), partition.file(testing::ntUserPath("Alice")));
    EXPECT_NE(keyAt(*roots.currentUser.store, roots.currentUser.key,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.txt"),
              kNoNode);
    ASSERT_TRUE(roots.machineSoftware);
    EXPECT_NE(keyAt(*roots.machineSoftware.store, roots.machineSoftware.key,
                    "Microsoft\\Windows\\CurrentVersion"),
              kNoNode);
    EXPECT_FALSE(roots.wine);
    EXPECT_FALSE(userToChoose(partitionChoice(partition)));
}

TEST(WindowsPartition, SeveralUsersNeedOneNamedInAnyCase) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir partition;
    testing::layOutPartition(partition, {"alice", "bob"});
    Result<OpenedRegistry> opened = openRegistry(partitionChoice(partition));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error(), partition.path() + ": holds the hives of several users: alice, bob; "
                                                 "choose one with --user NAME");
    std::optional<UserQuestion> question = userToChoose(partitionChoice(partition));
    ASSERT_TRUE(question);
    EXPECT_EQ(question->partition, partition.path());
    EXPECT_EQ(question->users, (Names{"alice", "bob"}));

    opened = openRegistry(partitionChoice(partition, "BOB"));
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_EQ(opened->sources[0].user, "bob");
    EXPECT_EQ(opened->sources[0].users, (Names{"alice", "bob"}));
    EXPECT_EQ(opened->registry->roots().currentUser.store->origin(),
              partition.file(testing::ntUserPath("bob")));
    EXPECT_FALSE(userToChoose(partitionChoice(partition, "bob")));

    opened = openRegistry(partitionChoice(partition, "carol"));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error(), partition.path() +
                                  ": no user \"carol\" with an NTUSER.DAT or a UsrClass.dat "
                                  "under Users (its users: alice, bob)");
}

TEST(WindowsPartition, WhatIsMissingIsToldAndTheRestRead) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir partition;
    testing::addUser(partition, "Alice", false, true);
    Result<OpenedRegistry> opened = openRegistry(partitionChoice(partition));
    ASSERT_TRUE(opened) << opened.error();
    const Names& warnings = opened->sources[0].warnings;
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], partition.path() + ": holds no Windows\\System32\\config\\SOFTWARE: "
                                              "the machine's classes are not read");
    EXPECT_EQ(warnings[1], partition.path() + ": Users\\Alice holds no NTUSER.DAT: the user's "
                                              "HKEY_CURRENT_USER is not read");
    EXPECT_FALSE(opened->registry->roots().currentUser);
    EXPECT_FALSE(opened->registry->roots().machineSoftware);
    EXPECT_EQ(opened->registry->layers().size(), 1u);

    // Only the user's HKEY_CURRENT_USER: it opens with no classes, and says where they are.
    TempDir bare;
    testing::addUser(bare, "Alice", true, false);
    opened = openRegistry(partitionChoice(bare));
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_TRUE(opened->registry->roots().currentUser);
    EXPECT_EQ(opened->registry->view().childCount(opened->registry->rootKey()), 0u);
    EXPECT_NE(opened->registry->view().whyReadOnly(), std::nullopt);
    const Names& told = opened->sources[0].warnings;
    ASSERT_EQ(told.size(), 3u);
    EXPECT_TRUE(endsWith(told[1], "holds no AppData\\Local\\Microsoft\\Windows\\UsrClass.dat: "
                                  "the user's classes are not read"))
        << told[1];
    EXPECT_TRUE(told[2].starts_with("no source holds classes, so HKEY_CLASSES_ROOT is empty"));

    // The machine alone, and nothing at all.
    TempDir machine;
    testing::writeSoftwareHive(machine.file(testing::kSoftwarePath));
    std::filesystem::create_directories(machine.file("Users/Public"));
    opened = openRegistry(partitionChoice(machine));
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_EQ(opened->sources[0].user, "");
    EXPECT_EQ(opened->sources[0].warnings,
              Names{machine.path() + ": no user under Users holds an NTUSER.DAT or a "
                                     "UsrClass.dat: only the machine's classes are read"});
    std::filesystem::remove(machine.file(testing::kSoftwarePath));
    opened = openRegistry(partitionChoice(machine));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error(), machine.path() + ": a Windows partition without Windows\\System32\\"
                                               "config\\SOFTWARE or any user's NTUSER.DAT or "
                                               "UsrClass.dat");
}

TEST(WindowsPartition, AFolderIsAWinePrefixByItsSystemRegAndNeitherWithout) {
    TempDir folder;
    std::filesystem::create_directories(folder.file("Users/alice"));
    testing::writeFile(
        folder.file("system.reg"),
        "WINE REGISTRY Version 2\n\n[Software\\\\Classes\\\\.txt] 1\n@=\"txtfile\"\n");
    Result<OpenedRegistry> opened = openRegistry({{folder.path()}, "--registry", false});
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_EQ(opened->sources[0].kind, SourceKind::WinePrefix);

    TempDir neither;
    std::filesystem::create_directories(neither.file("drive_c"));
    opened = openRegistry({{neither.path()}, "--registry", false});
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error(), neither.path() + ": a folder that is neither a Wine prefix (it "
                                               "holds no system.reg) nor a Windows partition "
                                               "(it holds neither Windows\\System32\\config nor "
                                               "Users)");
}

// Each of a partition's hives is read as Windows loads it, and the source tells how, hive by
// hive: the user's UsrClass.dat with its logs replayed (named in another case than the hive),
// NTUSER.DAT without the logs it lacks.
TEST(WindowsPartition, ItsDirtyHivesAreReadWithTheirLogs) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir partition;
    testing::layOutPartition(partition, {"ann"});
    namespace fs = std::filesystem;
    fs::path usrClass = partition.file(testing::usrClassPath("ann"));
    fs::path ntUser = partition.file(testing::ntUserPath("ann"));
    for (std::string log : {".LOG1", ".LOG2"})
        ASSERT_TRUE(fs::remove(ntUser.string() + log));
    Result<OpenedRegistry> opened = openRegistry(partitionChoice(partition));
    ASSERT_TRUE(opened) << opened.error();
    const std::string& state = opened->sources.at(0).state;
    EXPECT_NE(state.find(usrClass.filename().string() + ": dirty; 6 log entries applied"),
              std::string::npos)
        << state;
    EXPECT_NE(state.find(ntUser.filename().string() +
                         ": dirty; no logs: what Windows last flushed may be missing"),
              std::string::npos)
        << state;
    EXPECT_NE(whySourcesReadOnly(partitionChoice(partition)), std::nullopt);
}

} // namespace
} // namespace moxalo::registry
