// Backups and imports of files whose names a stranger chose, through the command lines the
// program starts the registry editor with and the way the process layer starts it: each does
// what the user asked and nothing else.

#include "platform/process/CommandLine.h"
#include "runtime/StandIns.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo::testing;
using moxalo::process::programStart;

namespace {

// Names of files in one folder: runs of blanks, quotes, a backslash before a quote and at the
// end, shell syntax, line breaks, blanks at either end. The command lines' own test has more.
const std::vector<std::string> kNames = {
    "My  Backups   x.reg",   "back\\\"slash\\\\\".reg",
    "ends in a backslash\\", "x; touch pwned $(touch pwned) `touch pwned` & | > y.reg",
    "line\nbreak\r\n.reg",   " leading and trailing blanks "};

// The stand-in started as the process layer starts it for a Windows command line.
CliRun startRegedit(const std::string& commandLine, const TempDir& dir,
                    const std::vector<std::string>& env) {
    return regedit(programStart(commandLine, moxalo::runtime::standIns("/unused")).arguments, dir,
                   env);
}

std::string exportLine(const std::string& file, const std::string& key) {
    return "regedit /e \"" + moxalo::process::escapeQuoted(file) + "\" " + key;
}

} // namespace

TEST(RegeditUntrustedNames, EachFileIsWrittenAndImportedUnderItsOwnName) {
    TempDir dir;
    std::string source = dir.file("source.reg");
    writeFile(source, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.a  b]\r\n@=\"two blanks\"\r\n"
                      "[HKEY_CLASSES_ROOT\\.a b]\r\n@=\"one blank\"\r\n");
    std::string target = dir.file("target.reg");
    for (const auto& name : kNames) {
        SCOPED_TRACE(name);
        std::string file = dir.file(name);
        CliRun run = startRegedit(exportLine(file, "HKEY_CLASSES_ROOT\\.a  b"), dir,
                                  registryVariable({source}));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readFile(file),
                  unicodeRegFile("Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_CLASSES_ROOT\\.a  b]\n@=\"two blanks\"\n\n"));

        writeFile(target, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.keep]\r\n");
        run = startRegedit("regedit /I " + file, dir, registryVariable({target}));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(dumpClasses({target}),
                  "\n\\.a  b\n" + stringLine("\\.a  b", "", "two blanks") + "\\.keep\n");
        std::filesystem::remove(file);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("pwned")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.reg")));
}
