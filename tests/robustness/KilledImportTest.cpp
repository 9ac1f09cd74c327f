// An import into a registry source is one atomic step: killed while it writes, the registry
// editor's stand-in leaves each file of the source old or new.

#include "registry/SourceLock.h"
#include "tests/robustness/GeneratedSources.h"
#include "tests/support/CliRunner.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

using namespace moxalo::testing;
using moxalo::registry::SourceLock;
namespace fs = std::filesystem;

namespace {

// Starts `regedit /s file` on the source, not waiting for it; 0 when it could not be started.
pid_t startImport(const std::string& file, const std::string& source) {
    std::vector<std::string> args{MOXALO_REGEDIT, "/s", file};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string variable = registryVariable({source}).front();
    char* env[] = {variable.data(), nullptr};
    pid_t pid = 0;
    return posix_spawn(&pid, MOXALO_REGEDIT, nullptr, nullptr, argv.data(), env) == 0 ? pid : 0;
}

} // namespace

// Killed at any moment, also between the renames of the two files an import changes, the
// registry editor leaves each file old or new, readable, and its lock free for the next writer.
TEST(KilledImport, KilledAtAnyMomentEachFileIsOldOrNewAndTheLockGoes) {
    TempDir dir;
    std::string prefix = dir.file("prefix");
    std::string machine;
    for (int i = 0; i < 20000; ++i)
        machine += "[.e" + std::to_string(i) + "]\n@=\"t\"\n";
    writeWinePrefix(prefix, machine, "[.old]\n@=\"o\"\n");
    const std::string system = readFile(prefix + "/system.reg");
    const std::string user = readFile(prefix + "/user.reg");
    std::string file = dir.file("both.reg");
    writeFile(file, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.m]\r\n@=\"m\"\r\n\r\n"
                    "[HKEY_CURRENT_USER\\Software\\Classes\\.u]\r\n@=\"u\"\r\n");
    // Each layer's keys before and after a whole import.
    auto layers = [&] {
        std::string dump = dumpLayers({prefix});
        std::size_t machineStart = dump.find("\nmachine\n");
        return std::pair(dump.substr(0, machineStart), dump.substr(machineStart));
    };
    const auto before = layers();
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(regedit({"/s", file}, dir, registryVariable({prefix})).status, 0);
    auto runTime = std::chrono::steady_clock::now() - started;
    const auto after = layers();
    ASSERT_NE(before.first, after.first);
    ASSERT_NE(before.second, after.second);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(runTime).count());
    for (int attempt = 0; attempt < 12; ++attempt) {
        writeFile(prefix + "/system.reg", system);
        writeFile(prefix + "/user.reg", user);
        pid_t pid = startImport(file, prefix);
        ASSERT_NE(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const auto now = layers();
        EXPECT_TRUE(now.first == before.first || now.first == after.first) << attempt;
        EXPECT_TRUE(now.second == before.second || now.second == after.second) << attempt;
        EXPECT_TRUE(SourceLock::take({prefix}, std::chrono::milliseconds(0))) << attempt;
    }
}
