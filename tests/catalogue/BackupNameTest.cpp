// The backup file of an extension whose name a stranger chose: it lies in the Backups folder,
// names a file Windows could hold, and no two extensions share one.

#include "catalogue/BackupName.h"

#include "base/TextFile.h"
#include "catalogue/Backups.h"
#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace moxalo::catalogue;

namespace fs = std::filesystem;

namespace {

const std::string kProgram = "/home/sam/.local/opt/moxalo";

// Extensions (the key names without their first dot) that reach another folder, hold what a
// Windows file name cannot, or are too long for a file name.
const std::vector<std::string> kHostile = {"/../../../../.wine/system",
                                           "a/b",
                                           ".",
                                           "..",
                                           "",
                                           "con:*?",
                                           "line\r\nbreak",
                                           "a:b",
                                           "a%3Ab",
                                           "a%b",
                                           "back\\slash",
                                           "\"<>|\t\x7F",
                                           std::string("nul\0inside", 10),
                                           "\xFF\xFE not UTF-8",
                                           std::string(300, 'x'),
                                           std::string(299, 'x') + "y",
                                           std::string(100, ':'),
                                           "txt",
                                           "Ünïcödé 日本"};

std::string nameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

} // namespace

TEST(BackupName, EveryExtensionNamesItsOwnFileInsideTheBackupsFolder) {
    moxalo::testing::TempDir program;
    fs::create_directory(program.file("Backups"));
    const std::string kProgram = program.path();
    std::set<std::string> names;
    for (const auto& extension : kHostile) {
        SCOPED_TRACE(extension);
        RowBackup backup = RowBackupFor(kProgram, extension);
        // A key no .reg file can name is refused, but its file would be inside all the same.
        bool inRegFiles =
            extension.find_first_of(std::string("\r\n\\\0", 4)) == std::string::npos &&
            extension.size() < 255;
        EXPECT_EQ(backup.refusal.has_value(), !inRegFiles) << backup.refusal.value_or("");
        std::string name = nameOf(backup.path);
        EXPECT_EQ(backup.path, kProgram + "/Backups/" + name);
        EXPECT_LE(name.size(), kMaxBackupName);
        EXPECT_TRUE(moxalo::text::isValidUtf8(name));
        for (char c : name) {
            EXPECT_EQ(std::string_view("\\/:*?\"<>|").find(c), std::string_view::npos);
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F);
        }
        names.insert(name);
    }
    EXPECT_EQ(names.size(), kHostile.size()) << "two extensions share a file";

    // Ordinary names stay as they are; the rest is written as %XX.
    EXPECT_EQ(RowBackupName("txt"), "txt.reg");
    EXPECT_EQ(RowBackupName("Ünïcödé 日本"), "Ünïcödé 日本.reg");
    EXPECT_EQ(RowBackupName("a%3Ab"), "a%253Ab.reg");
    EXPECT_EQ(RowBackupName("\"<>|\t\x7F"), "%22%3C%3E%7C%09%7F.reg");
    EXPECT_EQ(RowBackupName("\xFF\xFE not UTF-8"), "%FF%FE not UTF-8.reg");
    // ".reg" follows, so that no name is "." or ".." itself.
    EXPECT_EQ(RowBackupName(""), ".reg");
    EXPECT_EQ(RowBackupName(".."), "...reg");
}

TEST(BackupName, ANameTooLongIsCutBetweenCharactersAndKeepsAHashOfTheWhole) {
    const std::size_t fits = kMaxBackupName - 4;
    EXPECT_EQ(RowBackupName(std::string(fits, 'x')), std::string(fits, 'x') + ".reg");

    std::string cut = RowBackupName(std::string(fits + 1, 'x'));
    EXPECT_EQ(cut.size(), kMaxBackupName);
    EXPECT_TRUE(cut.starts_with(std::string(kMaxBackupName - 38, 'x') + "%~")) << cut;
    EXPECT_TRUE(cut.ends_with(".reg"));
    EXPECT_EQ(cut.find_first_not_of("0123456789ABCDEF", kMaxBackupName - 36), cut.size() - 4)
        << cut;
    EXPECT_NE(RowBackupName(std::string(300, 'x')), RowBackupName(std::string(299, 'x') + "y"));

    // Neither a character nor an escape is cut in two: 210 bytes fit before the hash.
    std::string letters = std::string(75, 'a');
    for (int i = 0; i < 100; ++i)
        letters += "ä";
    std::string name = RowBackupName(letters);
    EXPECT_EQ(name.find("%~"), 75u + 2 * 67) << name;
    EXPECT_TRUE(moxalo::text::isValidUtf8(name));
    std::string colons = RowBackupName(std::string(100, ':'));
    EXPECT_EQ(colons.find("%~"), 3u * 70) << colons;
    EXPECT_EQ(colons.substr(0, 210).find_first_not_of("%3A"), std::string::npos) << colons;

    // A short name written as a long one's file is not taken for it: its "%" is escaped.
    std::string forged = cut.substr(0, cut.size() - 4);
    EXPECT_NE(RowBackupName(forged), cut);
}

TEST(BackupName, APathThatIsNoFileRightInsideTheBackupsFolderIsRefused) {
    EXPECT_FALSE(OutsideBackups(kProgram, kProgram + "/Backups/txt.reg"));
    EXPECT_FALSE(OutsideBackups(kProgram, kProgram + "/Backups/..reg"));
    for (const std::string& path :
         {kProgram + "/Backups/../../../../.wine/system.reg", kProgram + "/Backups/a/b.reg",
          kProgram + "/Backups/", kProgram + "/Backups/.", kProgram + "/Backups/..",
          kProgram + "/Backups", kProgram + "/Backupsx.reg", kProgram + "/Moxalo.ini",
          std::string("/home/sam/.wine/system.reg"), kProgram + "/Backups/a" + '\0' + "b.reg"}) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(OutsideBackups(kProgram, path));
    }
}

TEST(BackupName, TheBackupsFolderIsListedByNameWithoutRegardToCase) {
    moxalo::testing::TempDir program;
    fs::create_directory(program.file("Backups"));
    for (const char* name : {"tgz.reg", "jpeg.reg", "Inf.reg", "a_b.reg", "ab.reg", "INI.reg"})
        moxalo::testing::writeFile(program.file("Backups/") + name, "REGEDIT4\r\n");
    EXPECT_EQ(ListBackups(program.path()),
              (std::vector<std::string>{"ab.reg", "a_b.reg", "Inf.reg", "INI.reg", "jpeg.reg",
                                        "tgz.reg"}));
}
