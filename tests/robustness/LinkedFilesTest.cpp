// Registry sources reached through symbolic links (a Wine prefix whose system.reg lives
// elsewhere, a hive linked into place): an import writes the file the link leads to, and the
// link stays a link. Every file is written so (see AtomicFileTest).

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
