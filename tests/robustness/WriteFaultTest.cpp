// Faults while a file is written: a full disk and a read-only folder, for each file the
// program writes (a list file, a backup, a registry source an import changes, the settings
// file). The file that was there stays as it was, no temporary file is left, and the user is
// told what failed and where.

#include "platform/profile/Profile.h"
#include "tests/robustness/GeneratedSources.h"
#include "tests/support/CliRunner.h"
#include "tests/support/DiskFull.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo;
using namespace moxalo::testing;
namespace fs = std::filesystem;

namespace {

// Enough room for the programs' messages, too little for any file written here.
constexpr rlim_t kRoomLeft = 64 * 1024;

// Keys enough that what is written of a source with them fills kRoomLeft.
constexpr std::size_t kKeys = 3000;

// Every regular file below `folder` with its bytes, to compare before and after: a temporary
// file left behind shows as one more.
std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

enum class Fault { DiskFull, ReadOnlyFolder };

// Runs `write` with the fault in place on `folder`.
template <typename Write> auto withFault(Fault fault, const std::string& folder, Write write) {
    if (fault == Fault::DiskFull) {
        DiskFull full(kRoomLeft);
        return write();
    }
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    auto result = write();
    fs::permissions(folder, fs::perms::owner_all);
    return result;
}

const char* describe(Fault fault) {
    return fault == Fault::DiskFull ? "a full disk" : "a read-only folder";
}

} // namespace

// A list file that moxalo-cli saves, and a backup that moxalo-regedit writes.
TEST(WriteFaults, AListFileAndABackupAreKeptAndTheUserTold) {
    TempDir dir;
    std::string source = writeSource(dir, GeneratedKind::RegFile, numberedExtensions(kKeys));
    fs::create_directory(dir.file("Backups"));
    std::string list = dir.file("Backups/list.txt"), backup = dir.file("Backups/reg_backup.reg");
    for (Fault fault : {Fault::DiskFull, Fault::ReadOnlyFolder}) {
        SCOPED_TRACE(describe(fault));
        writeFile(list, "the list saved before\r\n");
        writeFile(backup, "the backup made before");
        CliRun run = withFault(fault, dir.file("Backups"), [&] {
            return cli({"--registry", source, "save-list", "--extended", list}, dir);
        });
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("moxalo-cli: " + list, 0), 0u) << run.err;
        run = withFault(fault, dir.file("Backups"), [&] {
            return regedit({"/e", backup, ""}, dir, registryVariable({source}));
        });
        EXPECT_EQ(run.status, 1);
        std::string why = fault == Fault::DiskFull ? ": cannot write: File too large\n"
                                                   : ": the folder " + dir.file("Backups") +
                                                         " is read-only; nothing was written\n";
        EXPECT_EQ(run.err, "moxalo-regedit: " + backup + why);
        EXPECT_EQ(snapshot(dir.file("Backups")),
                  (std::map<std::string, std::string>{{list, "the list saved before\r\n"},
                                                      {backup, "the backup made before"}}));
    }
}

TEST(WriteFaults, AnImportLeavesEveryKindOfSourceAsItWas) {
    for (GeneratedKind kind : kAllKinds) {
        for (Fault fault : {Fault::DiskFull, Fault::ReadOnlyFolder}) {
            SCOPED_TRACE(describe(kind) + " on " + describe(fault));
            TempDir dir, sourceDir;
            std::string source = writeSource(sourceDir, kind, numberedExtensions(kKeys));
            std::string folder =
                fs::is_directory(source) ? source : fs::path(source).parent_path().string();
            std::string file = dir.file("new.reg");
            writeFile(file, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.new]\r\n@=\"n\"\r\n");
            auto before = snapshot(sourceDir.path());
            CliRun run = withFault(fault, folder, [&] {
                return regedit({"/s", file}, dir, registryVariable({source}));
            });
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err.rfind("moxalo-regedit: " + file + ": not imported: ", 0), 0u)
                << run.err;
            EXPECT_EQ(snapshot(sourceDir.path()), before);
        }
    }
}
