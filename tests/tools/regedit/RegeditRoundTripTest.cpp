// Backing up and bringing back: the whole registry exported, its keys deleted and the backup
// imported again into a copy of its sources gives each side of a merged registry its own keys.

#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo::testing;
namespace fs = std::filesystem;

namespace {

const std::string kMachine =
    "REGEDIT4\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n\"Content Type\"=\"text/plain\"\r\n"
    "[HKEY_CLASSES_ROOT\\txtfile]\r\n@=\"Text \\\"Document\\\"\"\r\n"
    "\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,"
    "19,1a,1b,1c,1d\r\n"
    "\"Expand\"=hex(2):25,41,25,00\r\n\"Flags\"=dword:00000001\r\n"
    "\"Multi\"=hex(7):61,00,62,00,00\r\n"
    "[HKEY_CLASSES_ROOT\\txtfile\\shell\\Edit]\r\n"
    "[HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command]\r\n@=\"notepad.exe \\\"%1\\\"\"\r\n";
const std::string kUser = "REGEDIT4\r\n\r\n"
                          "[HKEY_CLASSES_ROOT\\txtfile]\r\n@=\"My Text\"\r\n\"UserOnly\"=\"1\"\r\n"
                          "[HKEY_CLASSES_ROOT\\txtfile\\shell\\print\\command]\r\n@=\"print\"\r\n"
                          "[HKEY_CLASSES_ROOT\\.mine]\r\n@=\"mine\"\r\n";
// The sources in a folder of their own, with a copy beside it to change.
struct Sources {
    TempDir dir;
    std::vector<std::string> original, copy;

    void add(const std::string& name) {
        original.push_back(dir.file("original/" + name));
        copy.push_back(dir.file("copy/" + name));
    }
    void makeCopy() {
        fs::copy(dir.file("original"), dir.file("copy"), fs::copy_options::recursive);
    }
};

void importText(const Sources& s, const std::string& name, const std::string& text) {
    writeFile(s.dir.file(name), text);
    CliRun run = regedit({"/I", s.dir.file(name)}, s.dir, registryVariable(s.copy));
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.err, "");
}

} // namespace

// UsrClass.dat over SOFTWARE, each side with keys of its own and keys both hold.
TEST(RegeditRoundTrip, ExportDeleteImportGivesBackTheKeysOfEachSide) {
    Sources s;
    fs::create_directories(s.dir.file("original"));
    s.add("SOFTWARE");
    s.add("UsrClass.dat");
    writeHiveFrom(s.original[0], kMachine, true);
    writeHiveFrom(s.original[1], kUser, false);
    s.makeCopy();
    ASSERT_EQ(dumpLayers(s.copy), dumpLayers(s.original));

    std::string whole = s.dir.file("reg_backup.reg");
    CliRun run = regedit({"/e", whole}, s.dir, registryVariable(s.original));
    ASSERT_EQ(run.status, 0) << run.err;
    importText(s, "clear.reg",
               "REGEDIT4\r\n[-HKEY_CLASSES_ROOT\\txtfile]\r\n[-HKEY_CLASSES_ROOT\\.txt]\r\n"
               "[-HKEY_CLASSES_ROOT\\.mine]\r\n");
    ASSERT_EQ(dumpClasses(s.copy), "\n");
    run = regedit({"/s", whole}, s.dir, registryVariable(s.copy));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(dumpLayers(s.copy), dumpLayers(s.original));
}
