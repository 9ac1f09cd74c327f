// regedit /I and /s: what a .reg file changes, where in a merged registry it goes, and what
// stops it.

#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo::testing;

namespace {

const std::string kSource = "REGEDIT4\r\n\r\n"
                            "[HKEY_CLASSES_ROOT\\.keep]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\r\n"
                            "[HKEY_CLASSES_ROOT\\.old\\shell\\open]\r\n@=\"x\"\r\n";

} // namespace

TEST(RegeditImport, KeysGoToTheSideWindowsPutsThem) {
    TempDir dir;
    std::string prefix = dir.file("prefix");
    writeWinePrefix(prefix,
                    "[.txt]\n@=\"txtfile\"\n\"Shared\"=\"machine\"\n[txtfile]\n@=\"Text\"\n",
                    "[.txt]\n@=\"usertxt\"\n[.mine]\n@=\"mine\"\n");
    std::string file = dir.file("place.reg");
    writeFile(file, "REGEDIT4\r\n\r\n"
                    "[HKEY_CLASSES_ROOT\\.txt]\r\n\"Content Type\"=\"text/plain\"\r\n"
                    "[HKEY_CLASSES_ROOT\\.mine\\OpenWithList\\a.exe]\r\n"
                    "[HKEY_CLASSES_ROOT\\.brand]\r\n@=\"new\"\r\n"
                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.mine]\r\n\"m\"=\"1\"\r\n"
                    "[HKEY_CURRENT_USER\\Software\\Classes\\txtfile]\r\n\"u\"=\"2\"\r\n"
                    "[HKEY_USERS\\S-1-5-18\\x]\r\n\"z\"=\"1\"\r\n");
    CliRun run = regedit({"/I", file}, dir, registryVariable({prefix}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.starts_with("moxalo-regedit: " + file + ": line 12: key \"HKEY_USERS"))
        << run.err;
    EXPECT_NE(run.err.find(file + ": line 13: value \"z\" skipped"), std::string::npos);
    const std::string user = "\\.mine\n" + stringLine("\\.mine", "", "mine") + "\\.txt\n" +
                             stringLine("\\.txt", "", "usertxt") +
                             stringLine("\\.txt", "Content Type", "text/plain") + "\\txtfile\n" +
                             stringLine("\\txtfile", "u", "2");
    const std::string machine = "\\.brand\n" + stringLine("\\.brand", "", "new") + "\\.mine\n" +
                                stringLine("\\.mine", "m", "1") +
                                "\\.mine\\OpenWithList\n\\.mine\\OpenWithList\\a.exe\n\\.txt\n" +
                                stringLine("\\.txt", "", "txtfile") +
                                stringLine("\\.txt", "Shared", "machine") + "\\txtfile\n" +
                                stringLine("\\txtfile", "", "Text");
    EXPECT_EQ(dumpLayers({prefix}), "user\n\n" + user + "machine\n\n" + machine);

    // A deletion takes the key or value from every side, so that none shows through.
    writeFile(file, "REGEDIT4\r\n[-HKEY_CLASSES_ROOT\\.txt]\r\n[HKEY_CLASSES_ROOT\\.mine]\r\n"
                    "\"m\"=-\r\n@=-\r\n");
    run = regedit({"/I", file}, dir, registryVariable({prefix}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(dumpClasses({prefix}), "\n\\.brand\n" + stringLine("\\.brand", "", "new") +
                                         "\\.mine\n\\.mine\\OpenWithList\n"
                                         "\\.mine\\OpenWithList\\a.exe\n\\txtfile\n" +
                                         stringLine("\\txtfile", "u", "2") +
                                         stringLine("\\txtfile", "", "Text"));
}

TEST(RegeditImport, AReadOnlySourceOrAnUnknownCodePageLeavesTheSourceAsItWas) {
    TempDir dir;
    std::string file = dir.file("new.reg");
    writeFile(file, "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\.new]\r\n@=\"n\"\r\n");

    std::string source = dir.file("classes.reg");
    writeFile(source, kSource);
    std::filesystem::permissions(source, std::filesystem::perms::owner_read);
    CliRun run = regedit({"/I", file}, dir, registryVariable({source}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "moxalo-regedit: " + file + ": not imported: " + source + " is read-only\n");
    EXPECT_EQ(readFile(source), kSource);

    // A code page the system does not know is told, and nothing is read or written.
    std::filesystem::permissions(source, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    run = regedit({"--code-page", "9999", "/s", file}, dir, registryVariable({source}));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("moxalo-regedit: " + file +
                                    ": not imported: unknown code page \"9999\""))
        << run.err;
    EXPECT_EQ(readFile(source), kSource);
}
