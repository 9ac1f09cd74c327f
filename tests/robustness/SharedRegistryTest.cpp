// One registry shared by several processes: a write applies to the files as they are when it
// is made, two writers never undo each other, and a reader answers from what is on disk now.

#include "platform/advapi/RegistryApi.h"
#include "registry/SourceLock.h"
#include "registry/Sources.h"
#include "tests/support/CliRunner.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace moxalo::registry;
using namespace moxalo::testing;

namespace {

std::string oneKey(const std::string& name, const std::string& value) {
    return "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\" + name + "]\r\n@=\"" + value + "\"\r\n";
}

std::string defaultValueOf(HKEY key) {
    char data[260] = {};
    DWORD size = sizeof data;
    LONG rc = RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<LPBYTE>(data), &size);
    return rc == ERROR_SUCCESS ? std::string(data) : "error " + std::to_string(rc);
}

// Longer than the registry functions wait before they look at the files again.
void letTheReaderLook() {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

// The source as the program opens it, mounted as HKEY_CLASSES_ROOT.
void mount(const std::string& source) {
    mountRegistry(openRegistry(SourceChoice{{source}, "test", false}).registry);
}

struct Source {
    std::string path;
    std::string file; // the file a write replaces
};

std::vector<Source> writableSources(const TempDir& dir) {
    std::string prefix = dir.file("prefix");
    writeWinePrefix(prefix, "[.rtf]\n@=\"rtffile\"\n", "");
    std::string reg = dir.file("classes.reg");
    writeFile(reg, oneKey(".rtf", "rtffile"));
    return {{prefix, prefix + "/system.reg"}, {reg, reg}};
}

} // namespace

TEST(SharedRegistry, TheWindowsDeleteKeepsWhatAnotherProcessImportedMeanwhile) {
    TempDir dir;
    for (const Source& source : writableSources(dir)) {
        mount(source.path);
        HKEY rtf = 0;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".rtf", 0, KEY_READ, &rtf), ERROR_SUCCESS);
        writeFile(dir.file("wri.reg"), oneKey(".wri", "wrifile"));
        CliRun run = regedit({"/s", dir.file("wri.reg")}, dir, registryVariable({source.path}));
        ASSERT_EQ(run.status, 0) << run.err;

        EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".rtf"), ERROR_SUCCESS) << lastRegistryError();
        std::string classes = dumpClasses({source.path});
        EXPECT_NE(classes.find("\\.wri"), std::string::npos) << source.path << "\n" << classes;
        EXPECT_EQ(classes.find("\\.rtf"), std::string::npos) << source.path << "\n" << classes;
        EXPECT_EQ(defaultValueOf(rtf), "error " + std::to_string(ERROR_KEY_DELETED));
        RegCloseKey(rtf);
        mountRegistry(nullptr);
    }
}

TEST(SharedRegistry, ReadersSeeWhatAnotherProcessWroteAndHandlesFollowTheirKeys) {
    TempDir dir;
    for (const Source& source : writableSources(dir)) {
        mount(source.path);
        HKEY rtf = 0;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".rtf", 0, KEY_READ, &rtf), ERROR_SUCCESS);
        EXPECT_EQ(defaultValueOf(rtf), "rtffile");

        writeFile(dir.file("change.reg"), oneKey(".rtf", "Word.RTF.8") + "\r\n" +
                                              "[HKEY_CLASSES_ROOT\\.new]\r\n@=\"newfile\"\r\n");
        ASSERT_EQ(
            regedit({"/s", dir.file("change.reg")}, dir, registryVariable({source.path})).status,
            0);
        letTheReaderLook();
        EXPECT_EQ(defaultValueOf(rtf), "Word.RTF.8") << "the handle opened before leads on";
        EXPECT_EQ(subkeysOf(""), (std::vector<std::string>{".new", ".rtf"}));

        writeFile(dir.file("delete.reg"), "REGEDIT4\r\n\r\n[-HKEY_CLASSES_ROOT\\.rtf]\r\n");
        ASSERT_EQ(
            regedit({"/s", dir.file("delete.reg")}, dir, registryVariable({source.path})).status,
            0);
        letTheReaderLook();
        EXPECT_EQ(defaultValueOf(rtf), "error " + std::to_string(ERROR_KEY_DELETED));
        RegCloseKey(rtf);
        mountRegistry(nullptr);
    }
}

TEST(SharedRegistry, ConcurrentImportsKeepEveryKey) {
    TempDir dir;
    std::string prefix = dir.file("prefix");
    writeWinePrefix(prefix, "[.old]\n@=\"old\"\n", "");
    for (int round = 0; round < 20; ++round) {
        std::string a = ".a" + std::to_string(round), b = ".b" + std::to_string(round);
        TempDir first, second;
        writeFile(first.file("a.reg"), oneKey(a, "a"));
        writeFile(second.file("b.reg"), oneKey(b, "b"));
        CliRun runA, runB;
        std::thread other([&] {
            runB = regedit({"/s", second.file("b.reg")}, second, registryVariable({prefix}));
        });
        runA = regedit({"/s", first.file("a.reg")}, first, registryVariable({prefix}));
        other.join();
        ASSERT_EQ(runA.status, 0) << runA.err;
        ASSERT_EQ(runB.status, 0) << runB.err;
        std::string classes = dumpClasses({prefix});
        ASSERT_NE(classes.find("\\" + a + "\n"), std::string::npos) << "round " << round;
        ASSERT_NE(classes.find("\\" + b + "\n"), std::string::npos) << "round " << round;
    }
}

TEST(SharedRegistry, AWriterThatCannotHaveTheLockChangesNothingAndSaysSo) {
    TempDir dir;
    for (const Source& source : writableSources(dir)) {
        mount(source.path);
        std::string before = readFile(source.file);
        writeFile(dir.file("wri.reg"), oneKey(".wri", "wrifile"));
        {
            // The registry editor and the window's delete wait for it side by side.
            SourceLock held({source.path});
            CliRun run;
            std::thread editor([&] {
                run = regedit({"/s", dir.file("wri.reg")}, dir, registryVariable({source.path}));
            });
            EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".rtf"), ERROR_ACCESS_DENIED);
            EXPECT_NE(lastRegistryError().find("another program"), std::string::npos);
            editor.join();
            EXPECT_EQ(run.status, 1);
            EXPECT_NE(run.err.find("another program is changing the registry"), std::string::npos)
                << run.err;
            EXPECT_NE(run.err.find(dir.file("wri.reg") + ": not imported"), std::string::npos)
                << run.err;
            EXPECT_EQ(readFile(source.file), before);
        }
        // Let go, the lock is free for the next writer at once.
        EXPECT_NO_THROW(SourceLock({source.path}, std::chrono::milliseconds(0)));
        EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".rtf"), ERROR_SUCCESS) << lastRegistryError();
        mountRegistry(nullptr);
    }
}

TEST(SharedRegistry, AReaderDuringAStreamOfImportsAlwaysReadsAWholeRegistry) {
    TempDir dir;
    std::string prefix = dir.file("prefix");
    writeWinePrefix(prefix, "[.txt]\n@=\"v0\"\n[.txt\\\\ShellNew]\n@=\"v0\"\n", "");
    mount(prefix);
    std::atomic<bool> done = false;
    std::thread writer([&] {
        TempDir out;
        for (int i = 1; i <= 15; ++i) {
            std::string v = "v" + std::to_string(i);
            writeFile(out.file("x.reg"), oneKey(".txt", v) +
                                             "\r\n[HKEY_CLASSES_ROOT\\.txt\\ShellNew]\r\n@=\"" + v +
                                             "\"\r\n");
            regedit({"/s", out.file("x.reg")}, out, registryVariable({prefix}));
        }
        done = true;
    });
    int reads = 0;
    TempDir reader;
    while (!done) {
        HKEY txt = 0, shellNew = 0;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, KEY_READ, &txt), ERROR_SUCCESS);
        ASSERT_EQ(RegOpenKeyExA(txt, "ShellNew", 0, KEY_READ, &shellNew), ERROR_SUCCESS);
        std::string outer = defaultValueOf(txt), inner = defaultValueOf(shellNew);
        ASSERT_EQ(outer.substr(0, 1), "v") << outer;
        ASSERT_EQ(inner.substr(0, 1), "v") << inner;
        RegCloseKey(shellNew);
        RegCloseKey(txt);
        // And a reader of its own, reading the files afresh at any moment of a write.
        CliRun query = cli({"query", ".txt"}, reader, registryVariable({prefix}));
        ASSERT_EQ(query.status, 0) << query.err;
        ASSERT_NE(query.out.find("(Default)    REG_SZ    v"), std::string::npos) << query.out;
        ++reads;
        letTheReaderLook();
    }
    writer.join();
    letTheReaderLook();
    HKEY txt = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, KEY_READ, &txt), ERROR_SUCCESS);
    EXPECT_EQ(defaultValueOf(txt), "v15");
    EXPECT_GT(reads, 0);
    RegCloseKey(txt);
    mountRegistry(nullptr);
}
