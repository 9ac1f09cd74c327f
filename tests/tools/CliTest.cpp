// moxalo-cli as a user runs it: the commands' output, and what a bad source does.

#include "tests/support/CliRunner.h"
#include "tests/support/SharedHives.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo::testing;

namespace {

std::string conformanceReg() {
    return std::string(MOXALO_FIXTURES) + "/conformance/classes.reg";
}

} // namespace

TEST(Cli, QueryShowsAKeyAsRegQueryDoesAndListsQuoteCommasInCsv) {
    TempDir dir;
    CliRun run = cli({"--registry", conformanceReg(), "query", ".txt"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "\nHKEY_CLASSES_ROOT\\.txt\n"
                       "    (Default)    REG_SZ    txtfile\n"
                       "    Content Type    REG_SZ    text/plain\n"
                       "\nHKEY_CLASSES_ROOT\\.txt\\OpenWithList\n\n");
    run = cli({"--registry", conformanceReg(), "query", "abcfile"}, dir);
    EXPECT_NE(run.out.find("    Bin    REG_BINARY    010203\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("    EditFlags    REG_DWORD    0x10000\n"), std::string::npos);
    run = cli({"--registry", conformanceReg(), "query", ".nothere"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("unable to find"), std::string::npos);

    // A quad word is a number, as a double word is; a comma in a field is quoted in CSV.
    std::string reg = dir.file("classes.reg");
    writeFile(reg, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.q]\r\n@=\"qfile\"\r\n"
                   "\"Size\"=hex(b):88,77,66,55,44,33,22,11\r\n\"Short\"=hex(b):01,02\r\n"
                   "[HKEY_CLASSES_ROOT\\qfile]\r\n@=\"Quads, Words\"\r\n");
    run = cli({"--registry", reg, "query", ".q"}, dir);
    EXPECT_NE(run.out.find("    Size    REG_QWORD    0x1122334455667788\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("    Short    REG_QWORD    0102\n"), std::string::npos) << run.out;
    run = cli({"--registry", reg, "list", "--format", "csv"}, dir);
    EXPECT_NE(run.out.find("q,\"Quads, Words\",No,"), std::string::npos) << run.out;
}

// How each hive was read: a dirty one with its logs replayed, one without logs as it is.
TEST(Cli, SourcesTellHowADirtyHiveWasRead) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir dir;
    std::string logged = sharedHive("win10-UsrClass.dat");
    std::string alone = sharedHive("win11-UsrClass.dat");
    std::string clean = sharedHive("win10-plaso-UsrClass.dat");
    CliRun run =
        cli({"--registry", logged, "--registry", alone, "--registry", clean, "sources"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("UsrClass.dat hive\t" + logged + "\t(dirty; 6 log entries applied)\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("UsrClass.dat hive\t" + alone +
                           "\t(dirty; no logs: what Windows last flushed may be missing)\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("UsrClass.dat hive\t" + clean + "\n"), std::string::npos) << run.out;
}

TEST(Cli, BadSourcesAndUsageFailWithAMessageNamingThem) {
    TempDir dir;
    std::string odd = dir.file("my \"odd\" $(name).reg");
    writeFile(odd, "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\.a]\r\n\"broken=\"x\r\n\"ok\"=\"y\"\r\n");
    CliRun run = cli({"--registry", odd, "query", ".a"}, dir);
    EXPECT_EQ(run.status, 0) << "a malformed line is reported and the rest is read";
    EXPECT_NE(run.err.find(odd + ": line 3:"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("ok    REG_SZ    y"), std::string::npos) << run.out;

    run = cli({"--registry", dir.file("missing.hive"), "list"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(dir.file("missing.hive")), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    EXPECT_EQ(cli({"list", "--format", "xml"}, dir).status, 2);
}

TEST(Cli, ListDetailsAndSaveListOverOneSource) {
    TempDir dir;
    CliRun run = cli({"--registry", conformanceReg(), "list"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "abc\tABC File\tNo\tHKEY_CLASSES_ROOT\\.abc\n"
                       "txt\tTXT File\tYes\tHKEY_CLASSES_ROOT\\.txt\n");
    run = cli({"--registry", conformanceReg(), "list", "--open-with-only", "--format=csv"}, dir);
    EXPECT_EQ(run.out, "File Extension,File Type,In 'Open With' List,Location\n"
                       "txt,TXT File,Yes,HKEY_CLASSES_ROOT\\.txt\n");

    run = cli({"--registry", conformanceReg(), "details", ".abc"}, dir);
    EXPECT_EQ(run.out.substr(0, 53), "Extension: .abc\r\nKey Value: abcfile\r\nContent Type: \r\n");
    EXPECT_NE(run.out.find("File Type Name: ABC File\r\n"), std::string::npos);
    EXPECT_NE(run.out.find("Default Icon: %SystemRoot%\\x.ico\r\n"), std::string::npos);

    std::string file = dir.file("list with blanks.txt");
    run = cli({"--registry", conformanceReg(), "save-list", "--extended", file}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Export complete, file saved as: " + file + "\n");
    EXPECT_EQ(run.err, "") << "no progress bar when stderr is not a terminal";
    std::string text = readFile(file);
    EXPECT_TRUE(text.starts_with("File Extension \\ File Type \\ In 'Open With List' \\ Key path"
                                 "\r\n\r\nabc\tABC File\tNo\tHKEY_CLASSES_ROOT\\.abc\r\n*"));
    EXPECT_NE(text.find("&Print\t\r\n"), std::string::npos);
}

TEST(Cli, CodePageOfEightBitRegFilesFromTheOptionOrTheEnvironment) {
    TempDir dir;
    std::string file = dir.file("ru.reg");
    writeFile(file, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"\xD2\xE5\xEA\xF1\xF2\"\r\n");
    const std::string cyrillic = "(Default)    REG_SZ    \u0422\u0435\u043A\u0441\u0442\n";
    CliRun run = cli({"--code-page=windows-1251", "--registry", file, "query", ".txt"}, dir);
    EXPECT_NE(run.out.find(cyrillic), std::string::npos) << run.out << run.err;
    run = cli({"--registry", file, "query", ".txt"}, dir, {"MOXALO_CODEPAGE=cp1251"});
    EXPECT_NE(run.out.find(cyrillic), std::string::npos) << run.out << run.err;

    run = cli({"--code-page", "1252", "--registry", file, "query", ".txt"}, dir,
              {"MOXALO_CODEPAGE=cp1251"});
    EXPECT_EQ(run.out.find(cyrillic), std::string::npos) << "the option wins";
    run = cli({"--code-page", "klingon", "--registry", file, "query", ".txt"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("moxalo-cli: --code-page: unknown code page \"klingon\""))
        << run.err;
    EXPECT_EQ(cli({"--registry", file, "--code-page"}, dir).status, 2);
}
