// Key lines: which paths open which keys, what makes a key line fail, and key deletion.

#include "tests/registry/regedit/RegFileTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace moxalo::regfile::test {
namespace {

using ::testing::HasSubstr;

std::vector<std::string> subkeyNames(Imported& imported, std::string_view path) {
    std::vector<std::string> names;
    registry::NodeId key = imported.key(path);
    for (std::size_t i = 0; key != registry::kNoNode && i < imported.store.childCount(key); ++i)
        names.emplace_back(imported.store.childName(key, i));
    return names;
}

TEST(RegFileImportKeys, KeyLinesOpenTheKeysRegeditOpens) {
    auto imported = importBody("[hkey_CURRENT_user\\Software\\Test]\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Test\\x]y] ; trailing\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Test\\Subkey1c ]\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Test\\Subkey1e\\]\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Test\\\\\\Deep\\\\Er]\r\n"
                               "  [HKEY_CURRENT_USER\\Software\\Test\\Subkey\"1]\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Test\\https://winehq.org;a:b]\r\n"
                               "[HKEY_CLASSES_ROOT]\r\n"
                               "@=\"on the root\"\r\n");
    EXPECT_TRUE(imported->result.diagnostics.empty()) << imported->diagnostics();
    EXPECT_THAT(subkeyNames(*imported, ""),
                ::testing::ElementsAre("HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER"));
    EXPECT_THAT(subkeyNames(*imported, "HKEY_CURRENT_USER\\Software\\Test"),
                ::testing::UnorderedElementsAre("x]y", "Subkey1c ", "Subkey1e", "Deep", "Subkey\"1",
                                                "https://winehq.org;a:b"));
    EXPECT_NE(imported->key("HKEY_CURRENT_USER\\Software\\Test\\Deep\\Er"), registry::kNoNode);
    EXPECT_EQ(imported->text("HKEY_CLASSES_ROOT", ""), "on the root");
    auto node = [&](std::string_view path) {
        return registry::MemoryStore::node(imported->key(path));
    };
    EXPECT_FALSE(node("HKEY_CURRENT_USER\\Software")->listed) << "only an ancestor";
    EXPECT_TRUE(node("HKEY_CURRENT_USER\\Software\\Test")->listed);
    EXPECT_FALSE(node("HKEY_CURRENT_USER\\Software\\Test\\Deep")->listed);
    EXPECT_TRUE(node("HKEY_CURRENT_USER\\Software\\Test\\Deep\\Er")->listed);
}

TEST(RegFileImportKeys, ValuesBelowAFailedKeyLineAreDropped) {
    std::string longName(256, 'k');
    auto imported = importBody("[HKEY_CURRENT_USER\\Software\\Good]\r\n"   // 2
                               "[HKCU\\Software\\Test]\r\n"                // 3
                               "\"a\"=\"1\"\r\n"                           // 4
                               "[HKEY_CURRENT_USERS\\Software\\Test]\r\n"  // 5
                               "\"b\"=hex:01,\\\r\n  02\r\n"               // 6, 7
                               "[HKEY_CURRENT_USER\\\\Software\\Lead]\r\n" // 8
                               "[HKEY_DYN_DATA\\x]\r\n"                    // 9
                               "[HKEY_CURRENT_USER\\" +
                               longName +
                               "]\r\n"                                     // 10
                               "[HKEY_CURRENT_USER\\Software\\Good]\r\n"   // 11
                               "\"d\"=\"4\"\r\n"                           // 12
                               "[ HKEY_CURRENT_USER\\Software\\Blank]\r\n" // 13
                               "\"e\"=\"5\"\r\n"                           // 14
                               "[HKEY_CURRENT_USER\\Software\\NoClose\r\n" // 15
                               "\"f\"=\"6\"\r\n"                           // 16
                               "[HKEY_CURRENT_USER\\" +
                               longName.substr(1) + "]\r\n");
    EXPECT_THAT(subkeyNames(*imported, ""), ::testing::ElementsAre("HKEY_CURRENT_USER"));
    EXPECT_THAT(subkeyNames(*imported, "HKEY_CURRENT_USER"),
                ::testing::UnorderedElementsAre("Software", longName.substr(1)));
    EXPECT_THAT(subkeyNames(*imported, "HKEY_CURRENT_USER\\Software"),
                ::testing::ElementsAre("Good"));
    // A key line regedit skips leaves the key before it open.
    for (const char* name : {"d", "e", "f"})
        EXPECT_NE(imported->text("HKEY_CURRENT_USER\\Software\\Good", name), "<missing>") << name;
    EXPECT_THAT(imported->lines(), ::testing::ElementsAre(3, 4, 5, 6, 8, 9, 10, 13, 15));
    const auto& d = imported->result.diagnostics;
    EXPECT_THAT(d[0].message, HasSubstr("unknown root key \"HKCU\""));
    EXPECT_THAT(d[1].message, HasSubstr("value \"a\" skipped"));
    EXPECT_THAT(d[4].message, HasSubstr("starts with a backslash"));
    EXPECT_THAT(d[5].message, HasSubstr("Windows 9x"));
    EXPECT_THAT(d[6].message, HasSubstr("longer than 255"));
}

TEST(RegFileImportKeys, DeletionRemovesWholeSubtrees) {
    auto imported = importBody("[HKEY_CURRENT_USER\\Software\\Test\\Sub1\\Deep]\r\n" // 2
                               "\"v\"=\"1\"\r\n"                                     // 3
                               "[HKEY_CURRENT_USER\\Software\\Test\\Sub2]\r\n"       // 4
                               "[HKEY_CURRENT_USER\\Software\\Test\\Sub3]\r\n"       // 5
                               "[-hKeY_cUrReNt_UsEr\\SoFtWaRe\\TeSt\\sUb1]\r\n"      // 6
                               "\"after\"=\"x\"\r\n"                                 // 7
                               "[ -HKEY_CURRENT_USER\\Software\\Test\\Sub2]\r\n"     // 8
                               "[- HKEY_CURRENT_USER\\Software\\Test\\Sub2]\r\n"     // 9
                               "[-xHKEY_CURRENT_USER\\Software\\Test\\Sub2]\r\n"     // 10
                               "[-HKEY_CURRENT_USER\\Software\\Test\\Missing]\r\n"   // 11
                               "[-HKEY_CURRENT_USER]\r\n"                            // 12
                               "[-HKEY_BOGUS\\x]\r\n"                                // 13
                               "[HKEY_CURRENT_USER\\Software\\Test\\Sub3]\r\n"       // 14
                               "\"later\"=\"y\"\r\n");                               // 15
    EXPECT_THAT(subkeyNames(*imported, "HKEY_CURRENT_USER\\Software\\Test"),
                ::testing::ElementsAre("Sub2", "Sub3"));
    EXPECT_EQ(imported->text("HKEY_CURRENT_USER\\Software\\Test\\Sub3", "later"), "y");
    EXPECT_THAT(imported->lines(), ::testing::ElementsAre(7, 8, 9, 10, 12, 13));
    EXPECT_THAT(imported->result.diagnostics[0].message, HasSubstr("key deletion on line 6"));
    EXPECT_THAT(imported->result.diagnostics[4].message, HasSubstr("root key cannot be deleted"));
    EXPECT_THAT(imported->result.diagnostics[5].message, HasSubstr("HKEY_BOGUS"));
}

TEST(RegFileImportKeys, Windows31FileSetsDefaultValues) {
    std::string text = "REGEDIT\r\n"
                       "HKEY_CLASSES_ROOT\\.txt = txtfile\r\n"
                       "HKEY_CLASSES_ROOT\\txtfile =  Text Document \r\n"
                       "HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command notepad.exe %1\r\n"
                       "HKEY_CLASSES_ROOT\\empty\r\n"
                       " HKEY_CLASSES_ROOT\\.indented = x\r\n"
                       "hkey_classes_root\\.lower = x\r\n";
    Imported imported;
    imported.result = importRegFile(text, imported.store);
    EXPECT_EQ(imported.result.version, 3);
    EXPECT_EQ(imported.text("HKEY_CLASSES_ROOT\\.txt", ""), "txtfile");
    EXPECT_EQ(imported.text("HKEY_CLASSES_ROOT\\txtfile", ""), " Text Document ");
    EXPECT_EQ(imported.text("HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command", ""),
              "notepad.exe %1");
    EXPECT_EQ(imported.text("HKEY_CLASSES_ROOT\\empty", ""), "");
    EXPECT_THAT(subkeyNames(imported, "HKEY_CLASSES_ROOT"),
                ::testing::ElementsAre(".txt", "empty", "txtfile"));
    EXPECT_THAT(imported.lines(), ::testing::ElementsAre(6, 7));
}

} // namespace
} // namespace moxalo::regfile::test
