// Backups and imports of files and keys whose names a stranger chose, through the command lines
// the program starts the registry editor with and the way the process layer starts it: each
// does what the user asked and nothing else.

#include "catalogue/Backups.h"
#include "platform/process/CommandLine.h"
#include "runtime/ChooseSources.h"
#include "runtime/StandIns.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace moxalo::testing;
using moxalo::process::programStart;

namespace {

// Names of files in one folder: runs of blanks, a tab, quotes, a backslash before a quote and
// at the end, shell syntax, line breaks, non-ASCII letters, blanks at either end.
const std::vector<std::string> kNames = {
    "My  Backups   x.reg",           "tab\there.reg",
    "\"quoted\" name.reg",           "back\\\"slash\\\\\".reg",
    "ends in a backslash\\",         "x; touch pwned $(touch pwned) `touch pwned` & | > y.reg",
    "line\nbreak\r\n.reg",           "Ünïcödé Ελληνικά 日本.reg",
    " leading and trailing blanks ",
};

// The stand-in started as the process layer starts it for a Windows command line.
CliRun startRegedit(const std::string& commandLine, const TempDir& dir,
                    const std::vector<std::string>& env) {
    return regedit(programStart(commandLine, moxalo::runtime::standIns("/unused")).arguments, dir,
                   env);
}

std::string exportLine(const std::string& file, const std::string& key) {
    return "regedit /e \"" + moxalo::process::escapeQuoted(file) + "\" " + key;
}

// The environment the window gives the programs it starts when it reads `sources`.
std::vector<std::string> passedFromWindow(const std::vector<std::string>& sources) {
    std::vector<std::string> env;
    for (const auto& variable :
         moxalo::runtime::passedOn(moxalo::registry::SourceChoice{sources, "--registry", false}))
        env.push_back(variable.name + "=" + variable.value);
    return env;
}

// Every file below `folder`, by its path, the registry editor's output among them.
std::set<std::string> filesBelow(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_directory())
            files.insert(entry.path().string());
    }
    return files;
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

TEST(RegeditUntrustedNames, EveryRowIsBackedUpToItsOwnFileInsideTheBackupsFolder) {
    TempDir dir; // the user's home
    std::string program = dir.file(".local/opt/moxalo");
    std::filesystem::create_directories(moxalo::catalogue::BackupsFolder(program));
    std::string wine = dir.file(".wine/system.reg");
    std::filesystem::create_directories(dir.file(".wine"));
    writeFile(wine, "WINE REGISTRY Version 2\n");
    std::string letters;
    for (int i = 0; i < 200; ++i)
        letters += "ä";
    const std::vector<std::string> extensions = {
        "/../../../../.wine/system", "a/b", "..", "con:*?", "a:b", "a%3Ab", letters, "txt"};
    std::string source = dir.file("source.reg");
    std::string text = "Windows Registry Editor Version 5.00\n";
    for (const auto& extension : extensions)
        text += "\n[HKEY_CLASSES_ROOT\\." + extension + "]\n@=\"" + extension + "\"\n";
    writeFile(source, unicodeRegFile(text));

    std::set<std::string> backups;
    for (const auto& extension : extensions) {
        SCOPED_TRACE(extension);
        auto backup = moxalo::catalogue::RowBackupFor(program, extension);
        ASSERT_FALSE(backup.refusal);
        std::string key = "HKEY_CLASSES_ROOT\\." + extension;
        CliRun run = startRegedit(exportLine(backup.path, key), dir, passedFromWindow({source}));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(readFile(backup.path).find(unicodeRegFile("[" + key + "]\n").substr(2)),
                  std::string::npos);
        backups.insert(backup.path);
    }
    EXPECT_EQ(backups.size(), extensions.size());
    std::set<std::string> written = backups;
    written.insert({source, wine, dir.file("stdout"), dir.file("stderr")});
    EXPECT_EQ(filesBelow(dir.path()), written);
    EXPECT_EQ(readFile(wine), "WINE REGISTRY Version 2\n");
}
