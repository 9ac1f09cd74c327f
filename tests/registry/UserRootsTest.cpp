// The user's HKEY_CURRENT_USER and the machine's Software beside HKEY_CLASSES_ROOT, as each
// kind of source holds them.

#include "registry/MemoryStore.h"
#include "registry/Sources.h"
#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

namespace moxalo::registry {
namespace {

using testing::put;
using testing::sz;
using testing::TempDir;

std::string writeHiveOf(const TempDir& dir, const std::string& name,
                        const std::vector<std::string>& keys) {
    MemoryStore tree;
    for (const auto& key : keys)
        put(tree, key, "", sz(name));
    std::string path = dir.file(name);
    hive::writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    return path;
}

Result<OpenedRegistry> openPaths(const std::vector<std::string>& paths) {
    return openRegistry({paths, "--registry", false});
}

// The name of the key a root leads to, and the file it is in.
std::string described(const KeyRef& root) {
    if (!root)
        return "(none)";
    RegistryStore& store = *root.store;
    NodeId key = root.key;
    // A child of the store's root is found by its name there; the root itself is "\".
    NodeId top = store.rootNode();
    for (std::size_t i = 0; i < store.childCount(top); ++i) {
        if (store.childAt(top, i) == key)
            return store.origin() + ":" + std::string(store.childName(top, i));
    }
    return store.origin() + (key == top ? ":\\" : ":?");
}

TEST(UserRoots, HivesGiveTheRootOfTheirKind) {
    TempDir dir;
    std::string ntUser =
        writeHiveOf(dir, "NTUSER.DAT", {"Software\\Microsoft\\Windows", "Environment"});
    std::string ntUserWithClasses =
        writeHiveOf(dir, "ntuser-classes", {"Software\\Classes\\.txt", "Environment"});
    std::string software = writeHiveOf(dir, "SOFTWARE", {"Classes\\.pdf", "Microsoft\\Windows"});
    std::string usrClass = writeHiveOf(dir, "UsrClass.dat", {".jpg", "jpgfile"});

    // An NTUSER.DAT as they are on disk opens: its HKEY_CURRENT_USER is read, with no classes.
    Result<OpenedRegistry> opened = openPaths({ntUser});
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_EQ(opened->sources[0].kind, SourceKind::NtUserHive);
    EXPECT_EQ(described(opened->registry->roots().currentUser), ntUser + ":\\");
    EXPECT_FALSE(opened->registry->roots().machineSoftware);
    EXPECT_EQ(opened->registry->view().childCount(opened->registry->rootKey()), 0u);
    EXPECT_EQ(opened->sources[0].warnings.size(), 1u);

    opened = openPaths({usrClass, ntUser, software});
    ASSERT_TRUE(opened) << opened.error();
    const UserRoots& roots = opened->registry->roots();
    EXPECT_EQ(described(roots.currentUser), ntUser + ":\\");
    EXPECT_EQ(described(roots.machineSoftware), software + ":\\");
    EXPECT_EQ(opened->registry->layers().size(), 2u) << "the NTUSER.DAT holds no classes";
    for (const auto& source : opened->sources)
        EXPECT_EQ(source.warnings, std::vector<std::string>{}) << source.path;

    // Its classes, when it has them, are the user's; a second HKEY_CURRENT_USER is told about.
    opened = openPaths({ntUserWithClasses, ntUser});
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_EQ(described(opened->registry->roots().currentUser), ntUserWithClasses + ":\\");
    ASSERT_EQ(opened->registry->layers().size(), 1u);
    EXPECT_TRUE(opened->registry->layers()[0].user);
    EXPECT_EQ(opened->sources[1].warnings,
              std::vector<std::string>{
                  ntUser + ": its HKEY_CURRENT_USER is not read: " + ntUserWithClasses + "'s is"});

    // A UsrClass.dat alone gives classes and no roots.
    opened = openPaths({usrClass});
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_FALSE(opened->registry->roots().currentUser);
    EXPECT_FALSE(opened->registry->roots().machineSoftware);
}

TEST(UserRoots, WineFilesGiveTheUsersRootAndTheMachinesSoftware) {
    TempDir prefix;
    testing::writeFile(prefix.file("system.reg"),
                       "WINE REGISTRY Version 2\n\n[Software\\\\Classes\\\\.txt] 1\n@=\"txtfile\"\n"
                       "\n[System\\\\CurrentControlSet] 1\n");
    testing::writeFile(prefix.file("user.reg"),
                       "WINE REGISTRY Version 2\n\n[Control Panel\\\\Desktop] 1\n\"A\"=\"b\"\n");
    Result<OpenedRegistry> opened = openPaths({prefix.path()});
    ASSERT_TRUE(opened) << opened.error();
    const UserRoots& roots = opened->registry->roots();
    EXPECT_TRUE(roots.wine);
    EXPECT_EQ(described(roots.currentUser), prefix.file("user.reg") + ":\\");
    EXPECT_EQ(described(roots.machineSoftware), prefix.file("system.reg") + ":Software");

    opened = openPaths({prefix.file("user.reg")});
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_TRUE(opened->registry->roots().wine);
    EXPECT_EQ(described(opened->registry->roots().currentUser), prefix.file("user.reg") + ":\\");
    EXPECT_FALSE(opened->registry->roots().machineSoftware);
}

TEST(UserRoots, ARegFileGivesTheRootsItHolds) {
    TempDir dir;
    std::string both = dir.file("both.reg");
    testing::writeFile(both, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Microsoft]\r\n\r\n"
                             "[hkey_local_machine\\software\\Microsoft]\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\SYSTEM\\Setup]\r\n");
    Result<OpenedRegistry> opened = openPaths({both});
    ASSERT_TRUE(opened) << opened.error();
    const UserRoots& roots = opened->registry->roots();
    EXPECT_EQ(described(roots.currentUser), both + ":HKEY_CURRENT_USER");
    ASSERT_TRUE(roots.machineSoftware);
    EXPECT_NE(roots.machineSoftware.store->findChild(roots.machineSoftware.key, "Microsoft"),
              kNoNode);
    EXPECT_FALSE(roots.wine);

    std::string classes = dir.file("classes.reg");
    testing::writeFile(classes, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n"
                                "\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\Setup]\r\n");
    opened = openPaths({classes});
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_FALSE(opened->registry->roots().currentUser);
    EXPECT_FALSE(opened->registry->roots().machineSoftware);
}

} // namespace
} // namespace moxalo::registry
