// What moxalo-cli takes on its command line and how it writes what users grep or parse.

#include "tests/support/CliRunner.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

using namespace moxalo::testing;

namespace {

std::string conformanceReg() {
    return std::string(MOXALO_FIXTURES) + "/conformance/classes.reg";
}

} // namespace

TEST(CliOptions, GlobalOptionsStandBeforeOrAfterTheCommandAndEveryCommandHasHelp) {
    TempDir dir;
    CliRun before = cli({"--registry", conformanceReg(), "list", "--format", "csv"}, dir);
    CliRun after = cli({"list", "--format", "csv", "--registry", conformanceReg()}, dir);
    CliRun between = cli({"list", "-r", conformanceReg(), "--format=csv"}, dir);
    EXPECT_EQ(before.status, 0) << before.err;
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_EQ(after.out, before.out);
    EXPECT_EQ(between.out, before.out);

    // What the help says is held against the manual page by its own check.
    for (const std::string command : {"sources", "query", "list", "details", "save-list", "resolve",
                                      "open-with", "apps", "wine-exports"}) {
        CliRun help = cli({command, "--help"}, dir);
        EXPECT_EQ(help.status, 0) << command << ": " << help.err;
        EXPECT_TRUE(help.out.starts_with("Usage: moxalo-cli [--registry SOURCE]... " + command))
            << help.out;
    }
    CliRun version = cli({"--version"}, dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with(std::string("moxalo-cli ") + MOXALO_VERSION + "\n"))
        << version.out;

    CliRun unknown = cli({"list", "--frobnicate"}, dir);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown option --frobnicate"), std::string::npos) << unknown.err;
    EXPECT_EQ(cli({"--registry"}, dir).status, 2);
}

TEST(CliOptions, JsonCarriesEveryTextExactly) {
    TempDir dir;
    CliRun run = cli({"--registry", conformanceReg(), "list", "--format", "json"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "[\n"
                       "  {\"extension\": \"abc\", \"typeName\": \"ABC File\", \"inOpenWithList\": "
                       "\"No\", \"keyPath\": \"HKEY_CLASSES_ROOT\\\\.abc\"},\n"
                       "  {\"extension\": \"txt\", \"typeName\": \"TXT File\", \"inOpenWithList\": "
                       "\"Yes\", \"keyPath\": \"HKEY_CLASSES_ROOT\\\\.txt\"}\n"
                       "]\n");
    run = cli({"--registry", conformanceReg(), "details", "abc", "--format", "json"}, dir);
    EXPECT_EQ(run.out, "{\n"
                       "  \"extensionKey\": \".abc\",\n"
                       "  \"keyValue\": \"abcfile\",\n"
                       "  \"contentType\": \"\",\n"
                       "  \"typeKey\": \"abcfile\",\n"
                       "  \"defaultIcon\": \"%SystemRoot%\\\\x.ico\",\n"
                       "  \"defaultAction\": \"\",\n"
                       "  \"typeName\": \"ABC File\",\n"
                       "  \"actions\": [\n"
                       "    {\"action\": \"open\", \"command\": \"notepad %1\"},\n"
                       "    {\"action\": \"&Print\", \"command\": \"\"}\n"
                       "  ]\n"
                       "}\n");

    std::string odd = dir.file("odd.reg");
    // An 8-bit file: hex(1) data are the bytes of the text.
    writeFile(odd, "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\.q\"x]\r\n"
                   "@=\"odd\\\\type\"\r\n\r\n[HKEY_CLASSES_ROOT\\odd\\type]\r\n"
                   "@=hex(1):22,61,09,0a,01,00\r\n");
    run = cli({"--registry", odd, "list", "--format=json"}, dir);
    EXPECT_NE(run.out.find("{\"extension\": \"q\\\"x\", \"typeName\": \"\\\"a\\t\\n\\u0001\""),
              std::string::npos)
        << run.out;
}

// A TAB or line break in a name must not add a column or a row to the text output.
TEST(CliOptions, TextListKeepsEachRowOnOneLineOfFourColumns) {
    TempDir dir;
    std::string reg = dir.file("tabs.reg");
    writeFile(reg, "Windows Registry Editor Version 5.00\r\n\r\n"
                   "[HKEY_CLASSES_ROOT\\.t\tab]\r\n@=\"tabtype\"\r\n\r\n"
                   "[HKEY_CLASSES_ROOT\\tabtype]\r\n"
                   "@=hex(1):41,09,42,0d,0a,43,00\r\n\r\n"
                   "[HKEY_CLASSES_ROOT\\.zip]\r\n");
    CliRun run = cli({"--registry", reg, "list"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "t\\tab\tA\\tB\\r\\nC\tNo\tHKEY_CLASSES_ROOT\\.t\\tab\n"
                       "zip\tZIP File\tNo\tHKEY_CLASSES_ROOT\\.zip\n");
}
