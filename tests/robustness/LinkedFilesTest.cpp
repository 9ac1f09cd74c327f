// Files the program writes, reached through symbolic links (a Wine prefix whose system.reg lives
// elsewhere, a hive or a list file linked into place): the file the link leads to gets the new
// content, and the link stays a link.

#include "platform/profile/Profile.h"
#include "tests/robustness/GeneratedSources.h"
#include "tests/support/CliRunner.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo;
using namespace moxalo::testing;
namespace fs = std::filesystem;

namespace {

// A link in `folder` to each file of `source` (a file, or a Wine prefix's folder): returns
// what names the linked source.
std::string linkInto(const std::string& folder, const std::string& source) {
    if (!fs::is_directory(source)) {
        std::string link = folder + "/" + fs::path(source).filename().string();
        fs::create_symlink(source, link);
        return link;
    }
    std::string prefix = folder + "/prefix";
    fs::create_directory(prefix);
    for (const auto& entry : fs::directory_iterator(source))
        fs::create_symlink(entry.path(), prefix + "/" + entry.path().filename().string());
    return prefix;
}

// Every entry below `folder` is a symbolic link.
bool onlyLinks(const std::string& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_symlink() && !entry.is_directory())
            return false;
    }
    return true;
}

} // namespace

TEST(LinkedFiles, AnImportWritesThroughALinkedSourceOfEveryKind) {
    for (GeneratedKind kind : kAllKinds) {
        SCOPED_TRACE(describe(kind));
        TempDir real, linked, dir;
        std::string source = writeSource(real, kind, numberedExtensions(3));
        std::string viaLink = linkInto(linked.path(), source);
        std::string file = dir.file("new.reg");
        writeFile(file, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.new]\r\n@=\"n\"\r\n");

        CliRun run = regedit({"/s", file}, dir, registryVariable({viaLink}));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(onlyLinks(linked.path()));
        EXPECT_NE(dumpClasses({source}).find(".new"), std::string::npos);
    }
}

TEST(LinkedFiles, AListFileAndTheSettingsFileAreWrittenThroughTheirLinks) {
    TempDir real, linked, dir;
    std::string source = writeSource(dir, GeneratedKind::RegFile, numberedExtensions(3));
    writeFile(real.file("list.txt"), "the list before");
    writeFile(real.file("Moxalo.ini"), "[Settings]\r\nOpenWith=0\r\n");
    fs::create_symlink(real.file("list.txt"), linked.file("list.txt"));
    fs::create_symlink(real.file("Moxalo.ini"), linked.file("Moxalo.ini"));

    CliRun run = cli({"--registry", source, "save-list", linked.file("list.txt")}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(readFile(real.file("list.txt")).find(".e000002"), std::string::npos);
    EXPECT_EQ(profile::WritePrivateProfileStringA("Settings", "OpenWith", "1",
                                                  linked.file("Moxalo.ini").c_str()),
              1);
    EXPECT_EQ(readFile(real.file("Moxalo.ini")), "[Settings]\r\nOpenWith=1\r\n");
    EXPECT_TRUE(onlyLinks(linked.path()));
}
