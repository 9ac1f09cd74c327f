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
    mountRegistry(openRegistry(SourceChoice{{source}, "test", false})->registry);
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

// What another process writes reaches the handles open before, and a delete keeps what another
// process imported meanwhile.
TEST(SharedRegistry, ReadersSeeWhatAnotherProcessWroteAndWritesKeepIt) {
    TempDir dir;
    for (const Source& source : writableSources(dir)) {
        mount(source.path);
        HKEY rtf = 0, added = 0;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".rtf", 0, KEY_READ, &rtf), ERROR_SUCCESS);
        EXPECT_EQ(defaultValueOf(rtf), "rtffile");
        auto import = [&](const std::string& text) {
            writeFile(dir.file("change.reg"), text);
            CliRun run =
                regedit({"/s", dir.file("change.reg")}, dir, registryVariable({source.path}));
            ASSERT_EQ(run.status, 0) << run.err;
            letTheReaderLook();
        };

        import(oneKey(".rtf", "Word.RTF.8") + "\r\n[HKEY_CLASSES_ROOT\\.new]\r\n@=\"newfile\"\r\n");
        EXPECT_EQ(defaultValueOf(rtf), "Word.RTF.8") << "the handle opened before leads on";
        EXPECT_EQ(subkeysOf(""), (std::vector<std::string>{".new", ".rtf"}));
        ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".new", 0, KEY_READ, &added), ERROR_SUCCESS);

        import(oneKey(".wri", "wrifile") + "\r\n[-HKEY_CLASSES_ROOT\\.new]\r\n");
        EXPECT_EQ(defaultValueOf(added), "error " + std::to_string(ERROR_KEY_DELETED));
        EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".rtf"), ERROR_SUCCESS) << lastRegistryError();
        std::string classes = dumpClasses({source.path});
        EXPECT_NE(classes.find("\\.wri"), std::string::npos) << source.path << "\n" << classes;
        EXPECT_EQ(classes.find("\\.rtf"), std::string::npos) << source.path << "\n" << classes;
        EXPECT_EQ(defaultValueOf(rtf), "error " + std::to_string(ERROR_KEY_DELETED));
        RegCloseKey(rtf);
        RegCloseKey(added);
        mountRegistry(nullptr);
    }
}

// A write looks at the files at once, however soon after the last look: a key another process
// has just added can be deleted.
TEST(SharedRegistry, AWriteSeesAChangeMadeJustBeforeIt) {
    TempDir dir;
    std::string source = dir.file("classes.reg");
    writeFile(source, oneKey(".rtf", "rtffile"));
    mount(source);
    HKEY rtf = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".rtf", 0, KEY_READ, &rtf), ERROR_SUCCESS);
    writeFile(source, oneKey(".rtf", "rtffile") + "\r\n[HKEY_CLASSES_ROOT\\.wri]\r\n");
    EXPECT_EQ(RegDeleteKeyA(HKEY_CLASSES_ROOT, ".wri"), ERROR_SUCCESS) << lastRegistryError();
    EXPECT_EQ(dumpClasses({source}).find("\\.wri"), std::string::npos);
    RegCloseKey(rtf);
    mountRegistry(nullptr);
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
