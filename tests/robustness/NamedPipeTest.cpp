// A named pipe where a registry file is expected (a prefix unpacked from a stranger's archive
// may hold one) is refused at once: reading it would wait for a writer that never comes.

#include "tests/robustness/GeneratedSources.h"
#include "tests/support/CliRunner.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace moxalo::testing;

namespace {

constexpr int kSecondsAllowed = 20;

std::string makePipe(const std::string& path) {
    EXPECT_EQ(mkfifo(path.c_str(), 0644), 0);
    return path;
}

} // namespace

TEST(NamedPipes, AreRefusedWithoutWaiting) {
    TempDir dir;
    std::string prefix = writeSource(dir, GeneratedKind::WinePrefix, numberedExtensions(1));
    std::filesystem::remove(prefix + "/user.reg");
    std::string inPrefix = makePipe(prefix + "/user.reg");
    std::string pipe = makePipe(dir.file("pipe.reg"));
    std::string source = writeSource(dir, GeneratedKind::RegFile, numberedExtensions(1));
    std::string backup = makePipe(dir.file("backup.reg"));
    const std::pair<CliRun, std::string> runs[] = {
        {cli({"--registry", prefix, "list"}, dir, {}, kSecondsAllowed),
         "moxalo-cli: " + inPrefix + ": is not a regular file\n"},
        {cli({"--registry", pipe, "list"}, dir, {}, kSecondsAllowed),
         "moxalo-cli: " + pipe + ": not a registry source: not a regular file\n"},
        {regedit({"/s", backup}, dir, registryVariable({source}), kSecondsAllowed),
         "moxalo-regedit: " + backup + ": is not a regular file\n"},
    };
    for (const auto& [run, err] : runs) {
        EXPECT_FALSE(run.hung) << err;
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, err);
    }
}
