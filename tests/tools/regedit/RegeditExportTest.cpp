// regedit /e: the file it writes, byte for byte, and how it fails.

#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo::testing;

namespace {

std::string fixture(const std::string& name) {
    return readFile(std::string(MOXALO_FIXTURES) + "/regedit/" + name);
}

// A registry source with one of each value form, and the folder it sits in.
struct Source {
    TempDir dir;
    std::string path = dir.file("source.reg");
    Source() { writeFile(path, fixture("source-regedit4.reg")); }
    std::vector<std::string> env() const { return registryVariable({path}); }
};

} // namespace

TEST(RegeditExport, WritesAKeyAndEverythingAsRegeditDoes) {
    Source source;
    std::string file = source.dir.file("txtfile.reg");
    CliRun run = regedit({"/e", file, "HKEY_CLASSES_ROOT\\txtfile"}, source.dir, source.env());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(file), fixture("txtfile.reg"));

    // An empty key (the command line ends in the blank after the file) exports all classes.
    std::string whole = source.dir.file("reg_backup.reg");
    run = regedit({"/e", whole}, source.dir, source.env());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(whole), fixture("whole.reg"));

    // The switch in either case and with "-"; the path as typed, less a trailing backslash;
    // an existing file is replaced.
    run = regedit({"-E", file, "hkey_classes_root\\TXTFILE\\shell\\open\\"}, source.dir,
                  source.env());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(file), unicodeRegFile("Windows Registry Editor Version 5.00\n\n"
                                             "[hkey_classes_root\\TXTFILE\\shell\\open]\n\n"
                                             "[hkey_classes_root\\TXTFILE\\shell\\open\\command]\n"
                                             "@=\"notepad.exe \\\"%1\\\"\"\n\n"));

    // A key named with blanks is joined from its arguments with one blank.
    writeFile(source.path, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\My  Type\\x]\r\n"
                           "[HKEY_CLASSES_ROOT\\My Type\\shell]\r\n@=\"open\"\r\n");
    run = regedit({"/e", file, "HKEY_CLASSES_ROOT\\My", "Type"}, source.dir, source.env());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(file), unicodeRegFile("Windows Registry Editor Version 5.00\n\n"
                                             "[HKEY_CLASSES_ROOT\\My Type]\n\n"
                                             "[HKEY_CLASSES_ROOT\\My Type\\shell]\n"
                                             "@=\"open\"\n\n"));
}

TEST(RegeditExport, FailuresLeaveTheOldFileAndSayWhy) {
    Source source;
    std::string file = source.dir.file("old.reg");
    writeFile(file, "old backup");
    struct Case {
        std::vector<std::string> key;
        std::string message;
    };
    const Case cases[] = {
        {{"HKEY_CLASSES_ROOT\\.nope"},
         "moxalo-regedit: HKEY_CLASSES_ROOT\\.nope: no such key in the registry\n"},
        {{"HKCR\\.txt"}, "moxalo-regedit: HKCR\\.txt: unknown root key \"HKCR\""},
        {{"HKEY_USERS\\.DEFAULT"},
         "moxalo-regedit: HKEY_USERS\\.DEFAULT: the registry holds "
         "only HKEY_CLASSES_ROOT"},
        {{"HKEY_CURRENT_USER\\Software\\Classes\\.txt"},
         "moxalo-regedit: HKEY_CURRENT_USER\\Software\\Classes\\.txt: the registry has no user "
         "classes\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"/e", file};
        args.insert(args.end(), c.key.begin(), c.key.end());
        CliRun run = regedit(args, source.dir, source.env());
        EXPECT_EQ(run.status, 1) << c.key[0];
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
        EXPECT_EQ(readFile(file), "old backup");
    }

    // A backup the user marked read-only stays as it is.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    CliRun run = regedit({"/e", file, "HKEY_CLASSES_ROOT\\.txt"}, source.dir, source.env());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "moxalo-regedit: " + file + " is read-only; it was not replaced\n");
    EXPECT_EQ(readFile(file), "old backup");
}

TEST(RegeditExport, UsageErrorsExitWithTwo) {
    TempDir dir;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"/e"}, {"/e", ""}, {"/I"}, {"/x", "file.reg"}, {"--registry"}}) {
        CliRun run = regedit(args, dir);
        EXPECT_EQ(run.status, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_EQ(run.err.rfind("moxalo-regedit: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Usage: moxalo-regedit"), std::string::npos);
    }
    EXPECT_EQ(regedit({"/?"}, dir).status, 0);
}
