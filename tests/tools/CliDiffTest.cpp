// moxalo-cli diff and timeline: a registry against itself and against its own export, a Wine
// prefix before and after a program's classes were imported, a dirty hive with and without its
// logs, and the keys by their last write.

#include "base/Utf16.h"
#include "tests/support/CliRunner.h"
#include "tests/support/LoggedHive.h"
#include "tests/support/PartitionLayout.h"
#include "tests/support/SharedHives.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace moxalo::testing;
namespace fs = std::filesystem;

namespace {

const std::string kFreshPrefix = std::string(MOXALO_FIXTURES) + "/effective/wine-fresh";

// A made-up program's classes, as its installer would import them: two types of its own, and
// its class offered for the .txt files the prefix already opens.
const std::string kProgramClasses =
    "REGEDIT4\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\.mxdoc]\r\n@=\"Moxtest.Document\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\.mxsheet]\r\n@=\"Moxtest.Sheet\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\Moxtest.Document]\r\n@=\"Moxtest Document\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\Moxtest.Document\\DefaultIcon]\r\n"
    "@=\"C:\\\\Moxtest\\\\moxtest.exe,1\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\Moxtest.Document\\shell\\open\\command]\r\n"
    "@=\"C:\\\\Moxtest\\\\moxtest.exe \\\"%1\\\"\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\.txt\\OpenWithProgids]\r\n\"Moxtest.Document\"=\"\"\r\n";

// Its update: the document opened for viewing, with another icon.
const std::string kProgramUpdate = "REGEDIT4\r\n\r\n"
                                   "[HKEY_CLASSES_ROOT\\Moxtest.Document\\DefaultIcon]\r\n"
                                   "@=\"C:\\\\Moxtest\\\\moxtest.exe,2\"\r\n\r\n"
                                   "[HKEY_CLASSES_ROOT\\Moxtest.Document\\shell\\open\\command]\r\n"
                                   "@=\"C:\\\\Moxtest\\\\moxtest.exe /view \\\"%1\\\"\"\r\n";

const std::string kSmallExport =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt]\r\n@=\"txtfile\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\txtfile]\r\n@=\"Text Document\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\txtfile\\shell\\open\\command]\r\n"
    "@=\"notepad.exe %1\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.txt"
    "\\UserChoice]\r\n\"ProgId\"=\"txtfile\"\r\n";

std::string copyOfFreshPrefix(const TempDir& dir, const std::string& name) {
    std::string prefix = dir.file(name);
    fs::create_directories(prefix);
    fs::copy_file(kFreshPrefix + "/system.reg", prefix + "/system.reg");
    fs::copy_file(kFreshPrefix + "/user.reg", prefix + "/user.reg");
    return prefix;
}

void import(const TempDir& dir, const std::string& prefix, const std::string& text) {
    std::string file = dir.file("import.reg");
    writeFile(file, text);
    CliRun run = regedit({"/I", file}, dir, {"MOXALO_REGISTRY=" + prefix});
    ASSERT_EQ(run.status, 0) << run.err;
}

CliRun diff(const TempDir& dir, const std::string& a, const std::string& b,
            std::vector<std::string> more = {}) {
    std::vector<std::string> args{"--registry", a, "diff", "--registry-b", b};
    args.insert(args.end(), more.begin(), more.end());
    return cli(args, dir, {}, 300);
}

void expectSameAsItself(const TempDir& dir, const std::string& source) {
    SCOPED_TRACE(source);
    CliRun text = diff(dir, source, source);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "");
    CliRun json = diff(dir, source, source, {"--format", "json"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.find('{'), std::string::npos) << json.out;
}

} // namespace

TEST(CliDiff, ARegistryDiffersInNothingFromItselfNorFromItsOwnExport) {
    TempDir dir;
    std::string reg = dir.file("small.reg");
    writeFile(reg, kSmallExport);
    expectSameAsItself(dir, kFreshPrefix);
    expectSameAsItself(dir, reg);

    // The prefix exported whole by the registry editor reads as the prefix does.
    std::string exported = dir.file("whole prefix.reg");
    CliRun run = regedit({"/e", exported}, dir, {"MOXALO_REGISTRY=" + kFreshPrefix});
    ASSERT_EQ(run.status, 0) << run.err;
    run = diff(dir, kFreshPrefix, exported);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");

    // Two registries that differ are told apart, both ways round.
    run = diff(dir, reg, kFreshPrefix);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_GT(lines(run.out).size(), 40u) << run.out;
    CliRun back = diff(dir, kFreshPrefix, reg);
    EXPECT_EQ(back.status, 3);
    EXPECT_EQ(lines(back.out).size(), lines(run.out).size());
}

TEST(CliDiff, HivesAndAPartitionDifferInNothingFromThemselvesNorAHiveFromItsExport) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir dir;
    std::string hive = sharedHive("win10-UsrClass.dat");
    expectSameAsItself(dir, hive);
    // Its classes exported by the registry editor: thousands of keys, AppX classes and all.
    std::string exported = dir.file("classes.reg");
    ASSERT_EQ(regedit({"/e", exported}, dir, {"MOXALO_REGISTRY=" + hive}).status, 0);
    CliRun run = diff(dir, hive, exported);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    TempDir partition;
    layOutPartition(partition, {"alice"});
    expectSameAsItself(dir, partition.path());
}

TEST(CliDiff, AProgramsImportedClassesAreExactlyWhatIsAdded) {
    TempDir dir;
    std::string before = copyOfFreshPrefix(dir, "before");
    std::string after = copyOfFreshPrefix(dir, "after");
    import(dir, after, kProgramClasses);

    CliRun run = diff(dir, before, after);
    EXPECT_EQ(run.status, 3) << run.err;
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 3u) << run.out;
    EXPECT_EQ(out[0], "+ .mxdoc added (Moxtest.Document)");
    EXPECT_EQ(out[1], "+ .mxsheet added (Moxtest.Sheet)");
    // .txt is offered the program besides what it was offered before.
    const std::string openWith = "~ .txt Open-With list: ";
    ASSERT_TRUE(out[2].starts_with(openWith)) << out[2];
    std::string was = out[2].substr(openWith.size(), out[2].find(" -> ") - openWith.size());
    std::string is = out[2].substr(out[2].find(" -> ") + 4);
    EXPECT_EQ(was.find("Moxtest.Document"), std::string::npos) << was;
    EXPECT_NE(is.find("Moxtest.Document"), std::string::npos) << is;
    EXPECT_EQ(is, was == "(none)" ? "Moxtest.Document" : was + ", Moxtest.Document");

    // The other way round, the types are removed; csv and jsonl carry the same changes.
    run = diff(dir, after, before, {"--format", "csv"});
    EXPECT_EQ(run.status, 3);
    out = lines(run.out);
    ASSERT_EQ(out.size(), 4u) << run.out;
    EXPECT_EQ(out[0], "Change,Type,Aspect,Before,After");
    EXPECT_EQ(out[1], "removed,.mxdoc,,Moxtest.Document,");
    EXPECT_TRUE(out[3].starts_with("changed,.txt,Open-With list,")) << out[3];
    run = diff(dir, before, after, {"--format", "jsonl", "--label", "install"});
    out = lines(run.out);
    ASSERT_EQ(out.size(), 3u) << run.out;
    EXPECT_EQ(out[1], "{\"label\": \"install\", \"record\": \"change\", \"change\": \"added\", "
                      "\"type\": \".mxsheet\", \"aspect\": \"\", \"before\": \"\", "
                      "\"after\": \"Moxtest.Sheet\"}");

    // An update that changes the command's arguments and the icon changes those two only.
    std::string updated = copyOfFreshPrefix(dir, "updated");
    import(dir, updated, kProgramClasses);
    import(dir, updated, kProgramUpdate);
    run = diff(dir, after, updated);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.out, "~ .mxdoc command: C:\\Moxtest\\moxtest.exe \"%1\" -> "
                       "C:\\Moxtest\\moxtest.exe /view \"%1\"\n"
                       "~ .mxdoc icon: C:\\Moxtest\\moxtest.exe,1 -> C:\\Moxtest\\moxtest.exe,2\n");
}

// The real logs of win10-UsrClass.dat add keys under Local Settings\MrtCache only, and those of
// win10-NTUSER.DAT touch no FileExts key: the hives read with them differ from the hives alone,
// but in no type.
TEST(CliDiff, TheRealLogsOfDirtyHivesChangeNoType) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir dir;
    std::vector<std::string> alone, logged;
    for (const char* name : {"win10-NTUSER.DAT", "win10-UsrClass.dat"}) {
        alone.push_back(dir.file(name));
        fs::copy_file(sharedHive(name), alone.back());
        logged.push_back(sharedHive(name));
    }
    CliRun run = cli({"-r", alone[0], "-r", alone[1], "diff", "--registry-b", logged[0],
                      "--registry-b", logged[1]},
                     dir);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    // The B side did read the logs, and they do change the classes.
    EXPECT_NE(cli({"-r", logged[1], "sources"}, dir).out.find("log entries applied"),
              std::string::npos);
    std::string before = dir.file("alone.reg"), after = dir.file("logged.reg");
    ASSERT_EQ(regedit({"/e", before}, dir, {"MOXALO_REGISTRY=" + alone[1]}).status, 0);
    ASSERT_EQ(regedit({"/e", after}, dir, {"MOXALO_REGISTRY=" + logged[1]}).status, 0);
    EXPECT_GT(readFile(after).size(), readFile(before).size());
}

// A log that names another class for an extension: read with the log, the hive's type is the
// other class's, in each aspect that follows from it.
TEST(CliDiff, ADirtyHivesLogShowsAsTheChangesItMakes) {
    TempDir dir;
    moxalo::registry::MemoryStore tree;
    put(tree, ".mxdoc", "", sz("Moxtest.Document"));
    put(tree, "Moxtest.Document", "", sz("Moxtest Document"));
    put(tree, "Moxtest.Document\\shell\\open\\command", "", sz("moxtest.exe \"%1\""));
    put(tree, "Moxtest.Workbook", "", sz("Moxtest Workbook"));
    put(tree, "Moxtest.Workbook\\shell\\open\\command", "", sz("moxtest.exe /book \"%1\""));
    fs::create_directories(dir.file("logged"));
    fs::create_directories(dir.file("alone"));
    std::string logged = dir.file("logged/UsrClass.dat"), alone = dir.file("alone/UsrClass.dat");
    writeLoggedHive(tree, logged, "Moxtest.Document", "Moxtest.Workbook");
    fs::copy_file(logged, alone);
    ASSERT_NE(cli({"-r", logged, "sources"}, dir).out.find("1 log entry applied"),
              std::string::npos);

    CliRun run = diff(dir, alone, logged);
    EXPECT_EQ(run.status, 3) << run.err;
    std::vector<std::string> out = lines(run.out);
    ASSERT_EQ(out.size(), 4u) << run.out;
    EXPECT_EQ(out[0], "~ .mxdoc type name: Moxtest Document -> Moxtest Workbook");
    EXPECT_EQ(out[1], "~ .mxdoc ProgID: Moxtest.Document -> Moxtest.Workbook");
    EXPECT_EQ(out[2], "~ .mxdoc command: moxtest.exe \"%1\" -> moxtest.exe /book \"%1\"");
    EXPECT_TRUE(out[3].starts_with("~ .mxdoc default app: ")) << out[3];
    EXPECT_TRUE(out[3].ends_with("(Moxtest.Workbook)")) << out[3];
    EXPECT_EQ(diff(dir, logged, logged).out, "");
}

// B is read with A's code page, its sources may be many, and a type is the same whatever the
// case of its extension.
TEST(CliDiff, TheSecondRegistryIsReadAsTheFirst) {
    TempDir dir;
    const std::string body = "[HKEY_CLASSES_ROOT\\.TXT]\r\n@=\"txtfile\"\r\n\r\n"
                             "[HKEY_CLASSES_ROOT\\txtfile]\r\n@=\"\xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81"
                             "\xD1\x82\"\r\n\r\n"; // "Текст"
    std::vector<std::uint8_t> unicode = moxalo::text::utf8ToUtf16le(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n" + body);
    std::string a = dir.file("unicode.reg"), b = dir.file("cp1251.reg");
    writeFile(a, std::string(unicode.begin(), unicode.end()));
    writeFile(b, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt]\r\n@=\"txtfile\"\r\n\r\n"
                 "[HKEY_CLASSES_ROOT\\txtfile]\r\n@=\"\xD2\xE5\xEA\xF1\xF2\"\r\n\r\n");
    CliRun run = cli({"--code-page", "1251", "-r", a, "diff", "--registry-b", b}, dir);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    run = cli({"--code-page", "1252", "-r", a, "diff", "--registry-b", b}, dir);
    EXPECT_EQ(run.status, 3) << run.err;
    // A type is named as the second registry spells it.
    EXPECT_EQ(run.out, "~ .txt type name: \xD0\xA2\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82 -> "
                       "\xC3\x92\xC3\xA5\xC3\xAA\xC3\xB1\xC3\xB2\n"); // "Òåêñò"

    // A second source of B offers the user another program for .txt.
    std::string choice = dir.file("choice.reg");
    writeFile(choice, "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\Moxtest.Document\\shell\\open\\command]"
                      "\r\n@=\"moxtest.exe %1\"\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"
                      "\\FileExts\\.txt\\OpenWithProgids]\r\n\"Moxtest.Document\"=\"\"\r\n");
    run = cli({"--code-page=1251", "-r", a, "diff", "--registry-b", b, "--registry-b=" + choice},
              dir);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.out, "~ .txt Open-With list: (none) -> Moxtest.Document\n");
}

TEST(CliDiff, WrongUseAndUnreadableSourcesAreToldApart) {
    TempDir dir;
    CliRun run = cli({"--registry", kFreshPrefix, "diff"}, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--registry-b SOURCE"), std::string::npos) << run.err;
    run = diff(dir, kFreshPrefix, kFreshPrefix, {"--format", "xml"});
    EXPECT_EQ(run.status, 2);
    for (const char* empty : {"--registry-b=", "--registry-b"}) {
        run = cli({"--registry", kFreshPrefix, "diff", "--registry-b", kFreshPrefix, empty}, dir);
        EXPECT_EQ(run.status, 2) << empty;
        EXPECT_NE(run.err.find("--registry-b needs a SOURCE"), std::string::npos) << run.err;
    }
    std::string missing = dir.file("no such.reg");
    run = diff(dir, kFreshPrefix, missing);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;
}

TEST(CliTimeline, TheKeysAProgramImportedComeFirstAndAnExportSaysItHasNoTimes) {
    TempDir dir;
    std::string prefix = copyOfFreshPrefix(dir, "prefix");
    import(dir, prefix, kProgramClasses);
    CliRun run = cli({"--registry", prefix, "timeline", "--format", "csv"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    // Wine writes no time for a key it writes no line of (wrifile, which has only subkeys).
    EXPECT_EQ(run.err.find("keeps no key times"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(prefix + "/system.reg keeps no time for 1 of its"), std::string::npos)
        << run.err;
    std::vector<std::string> out = lines(run.out);
    ASSERT_GT(out.size(), 10u);
    EXPECT_EQ(out[0], "Written (UTC),Key,Types,Source");
    EXPECT_EQ(out.back(), ",HKLM\\Software\\Classes\\wrifile,.wri," + prefix + "/system.reg");
    std::regex row(R"(^((?:\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)?),([^,]+),(.*),(.*)$)");
    std::vector<std::string> times, keys, types;
    for (std::size_t i = 1; i < out.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(out[i], m, row)) << out[i];
        times.push_back(m[1]);
        keys.push_back(m[2]);
        types.push_back(m[3]);
    }
    EXPECT_TRUE(std::is_sorted(times.rbegin(), times.rend())) << run.out;
    // The program's keys were written last, and only they: its classes, and .txt, whose new
    // subkey changed it as Windows counts a change.
    const std::vector<std::string> imported{
        "HKLM\\Software\\Classes\\.mxdoc",
        "HKLM\\Software\\Classes\\.mxsheet",
        "HKLM\\Software\\Classes\\.txt",
        "HKLM\\Software\\Classes\\.txt\\OpenWithProgids",
        "HKLM\\Software\\Classes\\Moxtest.Document",
        "HKLM\\Software\\Classes\\Moxtest.Document\\DefaultIcon",
        "HKLM\\Software\\Classes\\Moxtest.Document\\shell\\open\\command"};
    std::vector<std::string> newest(keys.begin(), keys.begin() + imported.size());
    std::sort(newest.begin(), newest.end());
    EXPECT_EQ(newest, imported) << run.out;
    EXPECT_GT(times[imported.size() - 1], times[imported.size()]) << run.out;
    for (std::size_t i = 0; i < imported.size(); ++i) {
        if (keys[i].find("Moxtest.Document") != std::string::npos) {
            EXPECT_EQ(types[i], ".mxdoc") << keys[i];
        }
    }

    // A .reg file keeps no times: said on stderr and in the output, its keys listed all the same.
    std::string reg = dir.file("small.reg");
    writeFile(reg, kSmallExport);
    run = cli({"--registry", reg, "timeline"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(reg + " keeps no key times"), std::string::npos) << run.err;
    out = lines(run.out);
    ASSERT_EQ(out.size(), 7u) << run.out;
    EXPECT_TRUE(out[0].starts_with("Note: " + reg + " keeps no key times")) << out[0];
    for (std::size_t i = 2; i < out.size(); ++i)
        EXPECT_TRUE(out[i].starts_with("(no time)  ")) << out[i];
    run = cli({"--registry", reg, "timeline", "--format", "json"}, dir);
    EXPECT_NE(run.out.find("{\"source\": \"" + reg + "\", \"untimed\": 5, \"timed\": 0"),
              std::string::npos)
        << run.out;
}

// Wine writes each key's last write twice: as a FILETIME, which the timeline reads, and in
// seconds since 1970 after the key's name, which this test reads.
TEST(CliTimeline, TimesAreTheKeysLastWritesInUtc) {
    TempDir dir;
    CliRun run = cli({"--registry", kFreshPrefix, "timeline", "--format", "jsonl"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string system = readFile(kFreshPrefix + "/system.reg");
    for (const char* progId : {"chm.file", "txtfile", "xmlfile"}) {
        std::string heading = "[Software\\\\Classes\\\\" + std::string(progId) + "] ";
        std::size_t at = system.find("\n" + heading);
        ASSERT_NE(at, std::string::npos) << heading;
        std::time_t seconds = std::stoll(system.substr(at + 1 + heading.size(), 12));
        std::tm utc{};
        gmtime_r(&seconds, &utc);
        char iso[32];
        std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%SZ", &utc);
        std::string line = "\"record\": \"key\", \"written\": \"" + std::string(iso) +
                           "\", \"key\": \"HKLM\\\\Software\\\\Classes\\\\" + progId + "\"";
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    // The one key Wine wrote no line of comes after a note naming its file.
    std::vector<std::string> out = lines(run.out);
    ASSERT_FALSE(out.empty());
    EXPECT_TRUE(out[0].starts_with("{\"label\": \"" + kFreshPrefix + "\", \"record\": \"note\""))
        << out[0];
}
