// Names and values at and past the registry's limits, from each kind of source: read, listed,
// detailed and saved in the list files with the text a user expects.

#include "catalogue/KeyDetails.h"
#include "catalogue/ListFile.h"
#include "platform/advapi/RegistryApi.h"
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
    return {path, {line}};
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
        {".nul", {nul}},
        plain(".TXT", "", "upper"),
        plain(".txt", "x", "lower"),
        plain(".ü日本", "", "Ünï"),
        plain("bigfile\\shell\\open\\command", "", std::string(bigText(kind), 'y')),
    };
    if (kind != GeneratedKind::Hive)
        keys.push_back(plain(".vname", std::string(16383, 'v'), "long name"));
    return keys;
}

} // namespace

TEST(StrangeNames, EachIsListedDetailedAndSavedWithItsWholeText) {
    for (GeneratedKind kind : kAllKinds) {
        SCOPED_TRACE(describe(kind));
        TempDir dir;
        ASSERT_TRUE(mountSource(writeSource(dir, kind, strangeKeys(kind))));
        auto rows = scanRows();
        std::vector<std::string> listed;
        for (const auto& row : rows)
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

        auto big = catalogue::ReadKeyDetails("big");
        EXPECT_EQ(big.ContentType, std::string(bigText(kind), 'x'));
        ASSERT_EQ(big.Actions.size(), 1u);
        EXPECT_EQ(big.Actions[0],
                  (catalogue::ShellAction{"open", std::string(bigText(kind), 'y')}));
        // A string ends at its first NUL, as the registry functions' callers read it.
        EXPECT_EQ(catalogue::ReadKeyDetails("nul").KeyValue, "tx");
        EXPECT_EQ(catalogue::ReadKeyDetails("txt").KeyValue, "upper");
        EXPECT_EQ(catalogue::ReadKeyDetails("ü日本").KeyValue, "Ünï");

        std::string list = dir.file("list.txt");
        catalogue::ListSaveListener quiet;
        ASSERT_TRUE(catalogue::Export_List_Extended(rows, list, quiet));
        std::string text = readFile(list);
        EXPECT_NE(text.find("Content Type: " + big.ContentType + "\r\n"), std::string::npos);
        EXPECT_NE(text.find("open\t" + big.Actions[0].Command + "\r\n"), std::string::npos);
        EXPECT_NE(text.find("\r\nü日本\tÜ日本 File\tNo\tHKEY_CLASSES_ROOT\\.ü日本\r\n"),
                  std::string::npos);
    }
}
