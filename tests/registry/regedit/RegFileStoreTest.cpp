// The .reg store: opening files, the classes it offers, saving back and refusing bad files.

#include "registry/regedit/RegFileStore.h"

#include "tests/registry/regedit/RegFileTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace moxalo::registry {
namespace {

using moxalo::testing::readFile;
using moxalo::testing::writeFile;
using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace fs = std::filesystem;

std::string fixturePath(const std::string& name) {
    return std::string(MOXALO_FIXTURES) + "/regfile/" + name;
}

std::string openError(const std::string& path) {
    try {
        RegFileStore::open(path);
    } catch (const StoreError& e) {
        return e.what();
    }
    return "<no error>";
}

class RegFileStoreTest : public ::testing::Test {
protected:
    // A writable copy of a fixture.
    std::string copyOf(const std::string& name) {
        std::string path = dir_.file(name);
        fs::copy_file(fixturePath(name), path);
        return path;
    }
    testing::TempDir dir_;
};

std::string text(RegistryStore& store, NodeId key, std::string_view name) {
    auto value = store.findValue(key, name);
    return value ? text::utf16leToUtf8(value->data.data(), value->data.size() - 2) : "<missing>";
}

TEST_F(RegFileStoreTest, OffersTheClassesOfTheFile) {
    std::string path = fixturePath("classes.reg");
    auto store = RegFileStore::open(path);
    EXPECT_EQ(store->origin(), path);
    ASSERT_EQ(store->diagnostics().size(), 1u);
    EXPECT_EQ(store->diagnostics()[0].line, 6);
    EXPECT_THAT(store->diagnostics()[0].message, HasSubstr("closing quote"));
    auto layers = store->classesLayers();
    ASSERT_EQ(layers.size(), 3u);
    NodeId root = store->rootNode();
    EXPECT_EQ(layers[0].key, store->findPath(root, "HKEY_CLASSES_ROOT"));
    EXPECT_EQ(layers[1].key, store->findPath(root, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes"));
    EXPECT_EQ(layers[2].key, store->findPath(root, "HKEY_CURRENT_USER\\Software\\Classes"));
    EXPECT_FALSE(layers[0].user);
    EXPECT_FALSE(layers[1].user);
    EXPECT_TRUE(layers[2].user);
    EXPECT_EQ(layers[0].store, store.get());
    EXPECT_EQ(text(*store, store->findChild(layers[0].key, ".TXT"), "content type"), "text/plain");
    EXPECT_EQ(text(*store, store->findChild(layers[2].key, ".txt"),
                   "Gr\xC3\xB6\xC3\x9F"
                   "e"),
              "gro\xC3\x9F");
    EXPECT_EQ(text(*store, store->findPath(layers[0].key, "txtfile\\DefaultIcon"), ""),
              "%SystemRoot%\\icon.dll");
}

TEST_F(RegFileStoreTest, RefusesFilesItCannotUse) {
    std::string missing = dir_.file("missing.reg");
    EXPECT_THAT(openError(missing), StartsWith(missing + ": cannot open: No such file"));
    EXPECT_THAT(openError(dir_.path()), StartsWith(dir_.path() + ": is a folder"));
    std::string noClasses = fixturePath("no-classes.reg");
    EXPECT_THAT(openError(noClasses),
                StartsWith(noClasses + ": holds no keys under HKEY_CLASSES_ROOT, "
                                       "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes or "
                                       "HKEY_CURRENT_USER\\Software\\Classes"));
}

TEST_F(RegFileStoreTest, SaveWritesEveryRootBackInTheFilesFormat) {
    std::string path = copyOf("classes.reg");
    {
        auto store = RegFileStore::open(path);
        EXPECT_EQ(store->whyReadOnly(), std::nullopt);
        NodeId classes = store->classesLayers()[0].key;
        store->setValue(store->findChild(classes, ".txt"), "Added", regfile::test::sz("yes"));
        store->createKey(classes, ".new");
        store->deleteKey(classes, "txtfile");
        store->save();
    }
    std::string saved = readFile(path);
    EXPECT_EQ(saved.substr(0, 8), std::string("\xFF\xFEW\0i\0n\0", 8));
    auto store = RegFileStore::open(path);
    EXPECT_TRUE(store->diagnostics().empty());
    NodeId root = store->rootNode();
    EXPECT_EQ(text(*store, store->findPath(root, "HKEY_CLASSES_ROOT\\.txt"), "Added"), "yes");
    EXPECT_NE(store->findPath(root, "HKEY_CLASSES_ROOT\\.new"), kNoNode);
    EXPECT_EQ(store->findPath(root, "HKEY_CLASSES_ROOT\\txtfile"), kNoNode);
    auto kept =
        store->findValue(store->findPath(root, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Other"), "Kept");
    EXPECT_EQ(kept, (RegValue{REG_DWORD, {0x2A, 0, 0, 0}}));

    std::string ansiPath = copyOf("classes-regedit4.reg");
    RegFileStore::open(ansiPath)->save();
    std::string ansi = readFile(ansiPath);
    EXPECT_THAT(ansi,
                StartsWith("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.cafe]\r\n@=\"caf\xE9\"\r\n"));
    auto reread = RegFileStore::open(ansiPath);
    NodeId cafe = reread->findPath(reread->rootNode(), "HKEY_CLASSES_ROOT\\.cafe");
    EXPECT_EQ(text(*reread, cafe, "Path"), "%PATH%");
    EXPECT_EQ(reread->findValue(cafe, "Flags"), (RegValue{REG_DWORD, {1, 0, 0, 0}}));
}

TEST_F(RegFileStoreTest, AnEightBitFileIsSavedInItsCodePage) {
    // In the form the store writes, so that an unchanged file comes back byte for byte.
    const std::string original = "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.\x80]\r\n"
                                 "@=\"\x93quoted\x94 caf\xC3\xA9\"\r\n"
                                 "\"Undefined\"=\"\x81\x8D\x8F\x90\x9D\"\r\n"
                                 "\"Path\"=hex(2):25,80,25,00\r\n\r\n";
    std::string path = dir_.file("ansi.reg");
    writeFile(path, original);
    auto store = RegFileStore::open(path);
    store->save();
    EXPECT_EQ(readFile(path), original);
    NodeId euro = store->findPath(store->rootNode(), "HKEY_CLASSES_ROOT\\.\u20AC");
    ASSERT_NE(euro, kNoNode);
    EXPECT_EQ(text(*store, euro, "Path"), "%\u20AC%");
    store->setValue(euro, "Neu", regfile::test::sz("Gr\u00F6\u00DFe \u20AC \u0416"));
    store->save();
    // Windows, too, writes "?" for what the code page cannot hold.
    EXPECT_EQ(readFile(path), original.substr(0, original.size() - 2) + "\"Neu\"=\"Gr\xF6\xDF"
                                                                        "e \x80 ?\"\r\n\r\n");

    std::string cyrillic = dir_.file("cyrillic.reg");
    writeFile(cyrillic,
              "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"\xD2\xE5\xEA\xF1\xF2\"\r\n");
    store = RegFileStore::open(cyrillic, *text::CodePage::named("1251"));
    NodeId txt = store->findPath(store->rootNode(), "HKEY_CLASSES_ROOT\\.txt");
    EXPECT_EQ(text(*store, txt, ""), "\u0422\u0435\u043A\u0441\u0442");
    store->setValue(txt, "\u0418\u043C\u044F", regfile::test::sz("\u0414\u0430"));
    store->save();
    EXPECT_EQ(readFile(cyrillic),
              "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n"
              "@=\"\xD2\xE5\xEA\xF1\xF2\"\r\n\"\xC8\xEC\xFF\"=\"\xC4\xE0\"\r\n\r\n");
}

TEST_F(RegFileStoreTest, ReadOnlyFilesAreNotWritten) {
    std::string locked = copyOf("classes.reg");
    chmod(locked.c_str(), 0444);
    EXPECT_THAT(RegFileStore::open(locked)->whyReadOnly().value_or(""), HasSubstr("read-only"));

    std::string sample = copyOf("classes-regedit4.reg");
    std::string before = readFile(sample);
    auto store = RegFileStore::open(sample);
    store->setReadOnly("the installed sample is read-only");
    EXPECT_EQ(store->whyReadOnly(), "the installed sample is read-only");
    store->createKey(store->rootNode(), "HKEY_USERS");
    EXPECT_THROW(store->save(), AccessDenied);
    EXPECT_EQ(readFile(sample), before);

    auto win31 = RegFileStore::open(copyOf("win31.reg"));
    EXPECT_THAT(win31->whyReadOnly().value_or(""), HasSubstr("Windows 3.1"));
    EXPECT_THROW(win31->save(), AccessDenied);
}

} // namespace
} // namespace moxalo::registry
