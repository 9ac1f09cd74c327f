// Backups of keys whose names a .reg file cannot carry: regedit /e refuses them, naming the
// key, and writes nothing that an import would take for other keys.

#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo::testing;

namespace {

// A Wine prefix whose machine classes hold these sections, written as wineserver escapes them.
std::string winePrefix(const TempDir& dir, const std::string& sections) {
    std::string prefix = dir.file("prefix");
    writeWinePrefix(prefix, "", "");
    writeFile(prefix + "/system.reg", "WINE REGISTRY Version 2\n\n" + sections);
    return prefix;
}

} // namespace

TEST(RegeditKeyNames, AKeyWhoseNameWouldEndItsLineIsNotWritten) {
    TempDir dir;
    // Written raw, this name ends its key line and adds one that deletes the key .doc.
    const std::string evil = ".evil]\r\n\r\n[-HKEY_CLASSES_ROOT";
    const std::string shown = ".evil]\\r\\n\\r\\n[-HKEY_CLASSES_ROOT";
    std::string prefix = winePrefix(dir, "[Software\\\\Classes\\\\.doc] 0\n@=\"Word\"\n\n"
                                         "[Software\\\\Classes\\\\.evil\\]\\r\\n\\r\\n\\[-HKEY_"
                                         "CLASSES_ROOT\\\\.doc] 0\n@=\"x\"\n");
    const std::string lineBreak = "holds a line break, which would end the key's line in a .reg "
                                  "file\n";
    const std::string why = ": its name " + lineBreak;
    std::string backup = dir.file("backup.reg");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"HKEY_CLASSES_ROOT\\" + evil},
         "HKEY_CLASSES_ROOT\\" + shown + ": a key name in its path " + lineBreak},
        {{"HKEY_CLASSES_ROOT\\" + evil + "\\.doc"},
         "HKEY_CLASSES_ROOT\\" + shown + "\\.doc: a key name in its path " + lineBreak},
        {{"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes"},
         "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + shown + why},
        // The whole registry of a prefix, under the path as its system.reg spells it.
        {{}, "HKEY_LOCAL_MACHINE\\Software\\Classes\\" + shown + why},
    };
    for (const auto& [key, message] : cases) {
        SCOPED_TRACE(message);
        std::vector<std::string> args{"/e", backup};
        args.insert(args.end(), key.begin(), key.end());
        CliRun run = regedit(args, dir, registryVariable({prefix}));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "moxalo-regedit: cannot write " + message);
        EXPECT_FALSE(std::filesystem::exists(backup));
    }
    CliRun run =
        regedit({"/e", backup, "HKEY_CLASSES_ROOT\\.doc"}, dir, registryVariable({prefix}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(backup), unicodeRegFile("Windows Registry Editor Version 5.00\n\n"
                                               "[HKEY_CLASSES_ROOT\\.doc]\n@=\"Word\"\n\n"));
}
