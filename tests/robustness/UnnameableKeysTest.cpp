// Keys whose own names no path can give: a backslash inside a name would split it, a NUL would
// end it. A hive holding one is damaged there: the key is reported, listed under a stand-in name
// that leads to no key, and never acted on as another key. The text sources never take one in.

#include "platform/advapi/RegistryApi.h"
#include "registry/Sources.h"
#include "tests/robustness/GeneratedSources.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo;
using namespace moxalo::testing;

namespace {

// U+FFFD, which stands for each character of a name that no path can give.
const std::string kStandIn = "\xEF\xBF\xBD";

// Writes `to` over the one place in the file that holds `from`: the hive writer writes no name
// that a key cannot have.
void patchFile(const std::string& path, const std::string& from, const std::string& to) {
    std::string bytes = readFile(path);
    std::size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.find(from, at + 1), std::string::npos);
    bytes.replace(at, from.size(), to);
    writeFile(path, bytes);
}

// A hive of classes with ".a\b" (beside ".a" and its subkey "b"), ".n<NUL>x" (beside ".n") in
// one-byte names, and ".u€<NUL>x" in UTF-16.
void writeDamagedHive(const std::string& path, bool software) {
    writeHiveFrom(path,
                  unicodeRegFile("Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_CLASSES_ROOT\\.a\\b]\n@=\"real b\"\n"
                                 "[HKEY_CLASSES_ROOT\\.aQb]\n@=\"damaged b\"\n"
                                 "[HKEY_CLASSES_ROOT\\.n]\n@=\"real n\"\n"
                                 "[HKEY_CLASSES_ROOT\\.nQx]\n@=\"damaged n\"\n"
                                 "[HKEY_CLASSES_ROOT\\.u€Qx]\n@=\"damaged u\"\n"
                                 "[HKEY_CLASSES_ROOT\\.z]\n@=\"after\"\n"),
                  software);
    patchFile(path, ".aQb", ".a\\b");
    patchFile(path, ".nQx", std::string(".n\0x", 4));
    patchFile(path, std::string("\xAC\x20Q\0", 4), std::string("\xAC\x20\0\0", 4));
}

std::string defaultValue(const std::string& path) {
    registry::HKEY key = 0;
    if (registry::RegOpenKeyExA(registry::HKEY_CLASSES_ROOT, path.c_str(), 0, registry::KEY_READ,
                                &key) != registry::ERROR_SUCCESS)
        return "(not opened)";
    char text[64] = {};
    registry::DWORD size = sizeof text;
    registry::RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<registry::LPBYTE>(text),
                               &size);
    registry::RegCloseKey(key);
    return text;
}

} // namespace

TEST(UnnameableKeys, AHiveListsThemUnderStandInsThatLeadToNoKey) {
    for (bool software : {false, true}) {
        SCOPED_TRACE(software ? "SOFTWARE with UsrClass.dat" : "UsrClass.dat");
        TempDir dir;
        std::string hive = dir.file(software ? "SOFTWARE" : "UsrClass.dat");
        writeDamagedHive(hive, software);
        std::vector<std::string> sources = {hive};
        if (software) {
            sources.push_back(dir.file("UsrClass.dat"));
            writeHiveFrom(sources.back(), "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\.user]\n", false);
        }

        moxalo::testing::mountRegistry(registry::openRegistry({sources, "test", false})->registry);
        std::vector<std::string> rows;
        for (const auto& row : scanRows())
            rows.push_back(row.Extension);
        std::vector<std::string> expected = {
            "a", "a" + kStandIn + "b", "n", "n" + kStandIn + "x", "u€" + kStandIn + "x", "z"};
        if (software) // merged, in the order of the upper-case names
            expected.insert(expected.begin() + 4, "user");
        EXPECT_EQ(rows, expected);
        for (const std::string& row : rows) {
            if (row == "a" || row == "n" || row == "user" || row == "z")
                continue;
            EXPECT_EQ(defaultValue("." + row), "(not opened)") << row;
            EXPECT_EQ(registry::RegDeleteKeyA(registry::HKEY_CLASSES_ROOT, ("." + row).c_str()),
                      registry::ERROR_FILE_NOT_FOUND)
                << row;
        }
        EXPECT_EQ(defaultValue(".a\\b"), "real b");
        EXPECT_EQ(defaultValue(".n"), "real n");
        EXPECT_TRUE(moxalo::testing::takeRegistryProblems().empty());

        std::vector<std::string> warnings;
        auto opened = registry::openRegistry({sources, "test", false});
        ASSERT_TRUE(opened);
        for (const auto& source : opened->sources)
            warnings.insert(warnings.end(), source.warnings.begin(), source.warnings.end());
        ASSERT_EQ(warnings.size(), 3u);
        const std::string damaged[] = {".a\\\\b", ".n\\0x", ".u€\\0x"};
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(
                warnings[i].starts_with(hive + ": damaged key \"" + damaged[i] + "\" (cell 0x"))
                << warnings[i];
        EXPECT_TRUE(warnings[0].ends_with(": its name holds a backslash, which no key's name can; "
                                          "the key is listed as \".a" +
                                          kStandIn + "b\", which names no key"))
            << warnings[0];

        // A backup of a stand-in finds no key; one of all classes cannot hold the damaged key.
        std::string backup = dir.file("backup.reg");
        CliRun run = regedit({"/e", backup, "HKEY_CLASSES_ROOT\\.a" + kStandIn + "b"}, dir,
                             registryVariable(sources));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.ends_with("\nmoxalo-regedit: HKEY_CLASSES_ROOT\\.a" + kStandIn +
                                      "b: no such key in the registry\n"))
            << run.err;
        run = regedit({"/e", backup}, dir, registryVariable(sources));
        EXPECT_EQ(run.status, 1);
        std::string top = software ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes" : "HKEY_CLASSES_ROOT";
        EXPECT_TRUE(
            run.err.ends_with("\nmoxalo-regedit: cannot write " + top + "\\.a" + kStandIn +
                              "b: its name is not its own: the registry is damaged there\n"))
            << run.err;
        EXPECT_FALSE(std::filesystem::exists(backup));
        // The import of a stand-in creates no key beside the damaged one.
        writeFile(backup, unicodeRegFile("Windows Registry Editor Version 5.00\n\n"
                                         "[HKEY_CLASSES_ROOT\\.n" +
                                         kStandIn + "x]\n@=\"new\"\n"));
        run = regedit({"/s", backup}, dir, registryVariable(sources));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("a damaged key is listed under this name"), std::string::npos)
            << run.err;
        moxalo::testing::mountRegistry(registry::openRegistry({sources, "test", false})->registry);
        EXPECT_EQ(scanRows().size(), expected.size());
    }
}
