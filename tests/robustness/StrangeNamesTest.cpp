// Names and values at and past the registry's limits, from each kind of source: read, listed,
// detailed, saved in the list files and exported with the text a user expects, or refused
// with a message that says where.

#include "base/Utf16.h"
#include "catalogue/DetailsReport.h"
#include "catalogue/KeyDetails.h"
#include "catalogue/ListFile.h"
#include "platform/advapi/RegistryApi.h"
#include "registry/Registry.h"
#include "registry/Sources.h"
#include "registry/regedit/RegFileExport.h"
#include "registry/regedit/RegFileImport.h"
#include "tests/robustness/GeneratedSources.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <gtest/gtest.h>

using namespace moxalo;
using namespace moxalo::testing;

namespace {

// A REG_SZ of 1 MiB, in UTF-16 units. libhivex writes no cell larger than 1 000 000 bytes, so
// a hive's is somewhat smaller.
std::size_t bigText(GeneratedKind kind) {
    return kind == GeneratedKind::Hive ? 400000 : std::size_t{512} << 10;
}
const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";
// Below HKEY_CLASSES_ROOT, as deep as Windows nests keys below HKEY_LOCAL_MACHINE: 512 levels
// with SOFTWARE and Classes.
constexpr std::size_t kDeepest = 510;

std::string deepPath() {
    std::string path = ".deep";
    for (std::size_t i = 1; i < kDeepest; ++i)
        path += "\\k";
    return path;
}

GeneratedKey plain(const std::string& path, const std::string& name, const std::string& text) {
    std::string line = (name.empty() ? "@" : "\"" + name + "\"") + "=\"" + text + "\"";
    return {path, {line}, {line}};
}

// libhivex writes no value name as long as the longest the registry allows either, so a hive
// goes without that one.
std::vector<GeneratedKey> strangeKeys(GeneratedKind kind) {
    const std::string nul = "@=hex(1):74,00,78,00,00,00,66,00,00,00";
    std::vector<GeneratedKey> keys = {
        plain("." + std::string(254, 'a'), "", "longfile"),
        plain(".big", "", "bigfile"),
        plain(".big", "Content Type", std::string(bigText(kind), 'x')),
        plain(".deep", "", "deepfile"),
        plain(deepPath(), "", "deepest"),
        {".nul", {nul}, {nul}},
        plain(".TXT", "", "upper"),
        plain(".txt", "x", "lower"),
        plain(".ü日本", "", "Ünï"),
        plain("bigfile\\shell\\open\\command", "", std::string(bigText(kind), 'y')),
    };
    if (kind != GeneratedKind::Hive)
        keys.push_back(plain(".vname", std::string(16383, 'v'), "long name"));
    return keys;
}

// The export of one key below HKEY_CLASSES_ROOT of the mounted registry, as regedit /e writes
// it, as UTF-8 text with LF line ends.
std::string exported(const std::string& path) {
    auto registry = moxalo::testing::mountedRegistry();
    auto& view = registry->view();
    registry::NodeId key = registry->rootKey();
    for (std::size_t start = 0; key != registry::kNoNode && start <= path.size();) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        key = view.findChild(key, path.substr(start, end - start));
        start = end + 1;
    }
    if (key == registry::kNoNode)
        return "(no key " + path + ")";
    std::string bytes = regfile::exportRegFile(view, key, "HKEY_CLASSES_ROOT\\" + path);
    std::string text = text::utf16leToUtf8(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2,
                                           bytes.size() - 2);
    std::erase(text, '\r');
    return text;
}

} // namespace

TEST(StrangeNames, EachIsListedWithItsText) {
    for (GeneratedKind kind : kAllKinds) {
        SCOPED_TRACE(describe(kind));
        TempDir dir;
        mountSource(writeSource(dir, kind, strangeKeys(kind)));
        std::vector<std::string> listed;
        for (const auto& row : scanRows())
            listed.push_back(row.Extension + "|" + row.TypeName);
        // The shell's record holds 80 characters of a type name.
        std::vector<std::string> expected = {std::string(254, 'a') + "|" + std::string(79, 'A'),
                                             "big|BIG File",
                                             "deep|DEEP File",
                                             "nul|NUL File",
                                             "TXT|TXT File",
                                             "ü日本|Ü日本 File"};
        if (kind != GeneratedKind::Hive)
            expected.insert(expected.end() - 1, "vname|VNAME File");
        EXPECT_EQ(listed, expected);
        EXPECT_TRUE(moxalo::testing::takeRegistryProblems().empty());
    }
}

TEST(StrangeNames, EachIsDetailedAndSavedWhole) {
    for (GeneratedKind kind : kAllKinds) {
        SCOPED_TRACE(describe(kind));
        TempDir dir;
        mountSource(writeSource(dir, kind, strangeKeys(kind)));
        auto big = catalogue::ReadKeyDetails("big");
        EXPECT_EQ(big.ContentType, std::string(bigText(kind), 'x'));
        ASSERT_EQ(big.Actions.size(), 1u);
        EXPECT_EQ(big.Actions[0],
                  (catalogue::ShellAction{"open", std::string(bigText(kind), 'y')}));
        // A string ends at its first NUL, as the registry functions' callers read it.
        EXPECT_EQ(catalogue::ReadKeyDetails("nul").KeyValue, "tx");
        EXPECT_EQ(catalogue::ReadKeyDetails("txt").KeyValue, "upper");
        EXPECT_EQ(catalogue::ReadKeyDetails("ü日本").KeyValue, "Ünï");

        auto rows = scanRows();
        std::string list = dir.file("list.txt");
        catalogue::ListSaveListener quiet;
        catalogue::Export_List_Extended(rows, list, quiet);
        std::string text = readFile(list);
        for (const auto& row : rows) {
            catalogue::Export_Key_Details(row.Extension, row.TypeName);
            EXPECT_NE(text.find(catalogue::ExtendedRecord(row, catalogue::strKeyDetails)),
                      std::string::npos)
                << row.Extension;
        }
        EXPECT_NE(text.find("\r\nü日本\tÜ日本 File\tNo\tHKEY_CLASSES_ROOT\\.ü日本\r\n"),
                  std::string::npos);
    }
}

TEST(StrangeNames, EachIsExportedAsRegeditWritesIt) {
    for (GeneratedKind kind : kAllKinds) {
        SCOPED_TRACE(describe(kind));
        TempDir dir;
        mountSource(writeSource(dir, kind, strangeKeys(kind)));
        std::string deep = exported(".deep");
        EXPECT_TRUE(deep.ends_with("[HKEY_CLASSES_ROOT\\" + deepPath() + "]\n@=\"deepest\"\n\n"))
            << deep.substr(deep.size() - std::min<std::size_t>(deep.size(), 200));
        // regedit writes a string up to its first NUL.
        EXPECT_EQ(exported(".nul"), kHeader + "[HKEY_CLASSES_ROOT\\.nul]\n@=\"tx\"\n\n");
        EXPECT_EQ(exported(".ü日本"), kHeader + "[HKEY_CLASSES_ROOT\\.ü日本]\n@=\"Ünï\"\n\n");
        EXPECT_EQ(exported(".txt"),
                  kHeader + "[HKEY_CLASSES_ROOT\\.txt]\n@=\"upper\"\n\"x\"=\"lower\"\n\n");
        EXPECT_EQ(exported(".big"), kHeader +
                                        "[HKEY_CLASSES_ROOT\\.big]\n@=\"bigfile\"\n"
                                        "\"Content Type\"=\"" +
                                        std::string(bigText(kind), 'x') + "\"\n\n");
        if (kind != GeneratedKind::Hive) {
            EXPECT_EQ(exported(".vname"), kHeader + "[HKEY_CLASSES_ROOT\\.vname]\n\"" +
                                              std::string(16383, 'v') + "\"=\"long name\"\n\n");
        }
    }
}

// Each source with a key named with a high surrogate alone, a low one alone in its value, and a
// key after it.
std::vector<std::string> loneSurrogateSources(const TempDir& dir) {
    // In a .reg file: the raw UTF-16 units.
    std::string reg = unicodeRegFile("Windows Registry Editor Version 5.00\n\n"
                                     "[HKEY_CLASSES_ROOT\\.sur#x]\n@=\"a%b\"\n"
                                     "[HKEY_CLASSES_ROOT\\.z]\n");
    reg.replace(reg.find(std::string("#\0", 2)), 2, std::string("\x00\xD8", 2));
    reg.replace(reg.find(std::string("%\0", 2)), 2, std::string("\x00\xDC", 2));
    writeFile(dir.file("classes.reg"), reg);
    // In a Wine registry file: the same units as Wine escapes them.
    writeWinePrefix(dir.file("prefix"), "", "");
    writeFile(dir.file("prefix/system.reg"),
              "WINE REGISTRY Version 2\n\n[Software\\\\Classes\\\\.sur\\xd800x] 0\n"
              "@=\"a\\xdc00b\"\n\n[Software\\\\Classes\\\\.z] 0\n");
    // In a hive: a name in UTF-16 and string data, written with stand-ins and then changed.
    std::string hive = dir.file("UsrClass.dat");
    writeHiveFrom(
        hive,
        unicodeRegFile("Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_CLASSES_ROOT\\.sur€x]\n@=\"a‰b\"\n[HKEY_CLASSES_ROOT\\.z]\n"),
        false);
    std::string bytes = readFile(hive);
    bytes.replace(bytes.find("\xAC\x20"), 2, std::string("\x00\xD8", 2));
    bytes.replace(bytes.find("\x30\x20"), 2, std::string("\x00\xDC", 2));
    writeFile(hive, bytes);
    return {dir.file("classes.reg"), dir.file("prefix"), hive};
}

TEST(StrangeNames, LoneSurrogatesAreKeptAndShownAsReplacementCharacters) {
    TempDir dir;
    // The program's text keeps each as the three bytes UTF-8 would give its code point.
    const std::string name = ".sur\xED\xA0\x80x";
    const std::string shown = "sur\uFFFDx";
    for (const std::string& source : loneSurrogateSources(dir)) {
        SCOPED_TRACE(source);
        mountSource(source);
        auto rows = scanRows();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].Extension, name.substr(1));
        EXPECT_EQ(rows[1].Extension, "z");
        EXPECT_EQ(catalogue::ReadKeyDetails(name.substr(1)).KeyValue, "a\xED\xB0\x80"
                                                                      "b");
        // The export writes the units as they are, and reads back as itself.
        std::string text = kHeader + "[HKEY_CLASSES_ROOT\\" + name +
                           "]\n@=\"a\xED\xB0\x80"
                           "b\"\n\n";
        EXPECT_EQ(exported(name), text);
        registry::MemoryStore back;
        std::string bytes = unicodeRegFile(text);
        ASSERT_NE(bytes.find(std::string("r\0\0\xD8x\0", 6)), std::string::npos);
        regfile::importRegFile(bytes, back);
        registry::NodeId key = back.findPath(back.rootNode(), "HKEY_CLASSES_ROOT\\" + name);
        ASSERT_NE(key, registry::kNoNode);
        EXPECT_EQ(regfile::exportRegFile(back, key, "HKEY_CLASSES_ROOT\\" + name), bytes);

        // What the command line shows is UTF-8, with U+FFFD for each; JSON carries the unit.
        auto env = registryVariable({source});
        CliRun list = cli({"list"}, dir, env);
        EXPECT_EQ(list.status, 0) << list.err;
        EXPECT_EQ(list.out, shown + "\t" + "SUR\uFFFDX File\tNo\tHKEY_CLASSES_ROOT\\." + shown +
                                "\nz\tZ File\tNo\tHKEY_CLASSES_ROOT\\.z\n");
        CliRun json = cli({"list", "--format", "json"}, dir, env);
        EXPECT_NE(json.out.find("{\"extension\": \"sur\\ud800x\""), std::string::npos) << json.out;
        CliRun query = cli({"query", name}, dir, env);
        EXPECT_EQ(query.out,
                  "\nHKEY_CLASSES_ROOT\\." + shown + "\n    (Default)    REG_SZ    a\uFFFDb\n\n");
        CliRun save = cli({"save-list", dir.file("list.txt")}, dir, env);
        EXPECT_EQ(save.status, 0) << save.err;
        EXPECT_NE(readFile(dir.file("list.txt")).find("\r\n" + shown + "\tSUR\uFFFDX File\t"),
                  std::string::npos);
    }
}

TEST(StrangeNames, AKeyNameLongerThanTheRegistryTakesIsSkippedWithItsLine) {
    const std::string name = "." + std::string(16382, 'k');
    std::vector<GeneratedKey> keys = {plain(name, "", "x"), plain(".ok", "", "y")};
    // Each file reports the limit of the one who reads it: regedit's, or wineserver's.
    const std::vector<std::pair<GeneratedKind, std::string>> cases = {
        {GeneratedKind::RegFile,
         "line 3: key not opened: a key name is longer than 255 characters; its values are "
         "skipped"},
        {GeneratedKind::WinePrefix, "line 6: key not read: a key name is longer than 256 "
                                    "characters; the values after it are skipped"},
    };
    for (const auto& [kind, warning] : cases) {
        SCOPED_TRACE(describe(kind));
        TempDir dir;
        auto opened = registry::openRegistry({{writeSource(dir, kind, keys)}, "test", false});
        std::vector<std::string> warnings;
        for (const auto& source : opened.sources)
            warnings.insert(warnings.end(), source.warnings.begin(), source.warnings.end());
        ASSERT_FALSE(warnings.empty());
        EXPECT_TRUE(warnings[0].ends_with(warning)) << warnings[0];
        moxalo::testing::mountRegistry(opened.registry);
        auto rows = scanRows();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].Extension, "ok");
    }
}
