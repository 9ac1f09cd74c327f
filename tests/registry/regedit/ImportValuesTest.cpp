// Value lines: names, string and dword data, deletion, and which lines are dropped.

#include "registry/regedit/RegFileData.h"
#include "tests/registry/regedit/RegFileTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace moxalo::regfile::test {
namespace {

using ::testing::HasSubstr;
constexpr std::string_view kKey = "HKEY_CURRENT_USER\\T";

// Each case is one value line `"v"=<data>` on line 3 of a file, in both encodings.
struct DataCase {
    std::string data;
    std::optional<registry::RegValue> expected; // nothing: the value is dropped
};

void checkDataCases(const std::vector<DataCase>& cases) {
    for (const DataCase& c : cases) {
        for (bool unicode : {true, false}) {
            SCOPED_TRACE(c.data + (unicode ? " (UTF-16)" : " (8-bit)"));
            auto imported =
                importBody("[HKEY_CURRENT_USER\\T]\r\n\"v\"=" + c.data + "\r\n", unicode);
            EXPECT_EQ(imported->value(kKey, "v"), c.expected);
            EXPECT_EQ(imported->lines(), std::vector<int>(c.expected ? 0 : 1, 3))
                << imported->diagnostics();
        }
    }
}

registry::RegValue dword(std::uint32_t n) {
    return {registry::REG_DWORD,
            {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)}};
}

TEST(RegFileImportValues, NamesTakeEscapesAndIgnoreCase) {
    auto imported = importBody("[HKEY_CURRENT_USER\\T]\r\n"
                               "@=\"default 1\"\r\n"
                               "\"\"=\"Default registry value\"\r\n"
                               "\"With=Equals\"=\"1\"\r\n"
                               "\"double\\\"quote\"=\"2\"\r\n"
                               "\"123/\\\"4;'5\"=\"3\"\r\n"
                               "\"Wine\\\\31\"=\"4\"\r\n"
                               "\"\\\\foo\\\\bar\"=\"5\"\r\n"
                               "\"Wine5b\"  =  \"6\"\r\n"
                               "@\t=\t\"7\"\r\n"
                               "\"  Wine6c  \"=\"8\"\r\n"
                               "\"CaseTest\"=\"old\"\r\n"
                               "\"casetest\"=\"new\"\r\n");
    EXPECT_TRUE(imported->result.diagnostics.empty()) << imported->diagnostics();
    registry::NodeId key = imported->key(kKey);
    EXPECT_THAT(moxalo::testing::valueNames(imported->store, key),
                ::testing::ElementsAre("", "With=Equals", "double\"quote", "123/\"4;'5", "Wine\\31",
                                       "\\foo\\bar", "Wine5b", "  Wine6c  ", "CaseTest"));
    EXPECT_EQ(imported->text(kKey, ""), "7");
    EXPECT_EQ(imported->text(kKey, "CASETEST"), "new");
}

TEST(RegFileImportValues, MalformedValueLinesAreDroppedOneByOne) {
    auto imported = importBody("[HKEY_CURRENT_USER\\T]\r\n"      // 2
                               "\"NameNoEndQuote=\"x\r\n"        // 3
                               "NameNoBeginQuote\"=\"x\"\r\n"    // 4
                               "\"TestNoQuotes\"=x\r\n"          // 5
                               "\"MixedQuotes=\r\n"              // 6
                               "\"Test16a\"=\r\n"                // 7
                               "\"Backslash\"=\\\"Value\\\"\r\n" // 8
                               "@foo=\"x\"\r\n"                  // 9
                               "\"NoEquals\" \"x\"\r\n"          // 10
                               "\"Str2\"=str(2):\"x\"\r\n"       // 11
                               "\"Good\"=\"kept\"\r\n");         // 12
    EXPECT_THAT(moxalo::testing::valueNames(imported->store, imported->key(kKey)),
                ::testing::ElementsAre("Good"));
    EXPECT_THAT(imported->lines(), ::testing::ElementsAre(3, 4, 5, 6, 7, 8, 9, 10, 11));
}

TEST(RegFileImportValues, StringData) {
    checkDataCases({
        {"\"plain\"", sz("plain")},
        {"\"a\\\\b\\\"c\\\"\"", sz("a\\b\"c\"")},
        {"\"a\\nb\\rc\"", sz("a\nb\rc")},
        {"\"\\\\0\"", sz("\\0")},
        {"\"a\\0b\"", std::nullopt},
        {"\"Value 2\";comment", sz("Value 2")},
        {"\"Value 1\"#comment", std::nullopt},
        {"\"foo\"bar\"", std::nullopt},
        {"\"Value ;comment6\"", sz("Value ;comment6")},
        {"\"    Four spaces\t\"", sz("    Four spaces\t")},
        {"\"no end", std::nullopt},
        {"\"ends in backslash\\\"", std::nullopt},
    });
}

// A text takes at most half the bytes a value may have, in UTF-16.
TEST(RegFileImportValues, TheLongestStringIsReadAndOneCharacterMoreIsNot) {
    const std::size_t longest = kMaxValueBytes / 2;
    for (std::size_t length : {longest, longest + 1}) {
        Imported imported;
        imported.result = importRegFile("REGEDIT4\r\n[HKEY_CURRENT_USER\\T]\r\n\"v\"=\"" +
                                            std::string(length, 'x') + "\"\r\n",
                                        imported.store);
        auto value = imported.value(kKey, "v");
        EXPECT_EQ(value.has_value(), length == longest) << length;
        EXPECT_EQ(imported.lines(), std::vector<int>(length == longest ? 0 : 1, 3)) << length;
    }
}

TEST(RegFileImportValues, UnknownEscapesKeepTheCharacterAndWarn) {
    auto imported = importBody("[HKEY_CURRENT_USER\\T]\r\n\"a\\qb\"=\"a\\tb\\\xC3\xA9\"\r\n");
    EXPECT_EQ(imported->text(kKey, "aqb"), "atb\xC3\xA9");
    ASSERT_EQ(imported->result.diagnostics.size(), 3u) << imported->diagnostics();
    EXPECT_EQ(imported->result.diagnostics[1].line, 3);
    EXPECT_THAT(imported->result.diagnostics[1].message, HasSubstr("\\t, read as t"));
    EXPECT_THAT(imported->result.diagnostics[2].message, HasSubstr("read as \xC3\xA9"));
}

TEST(RegFileImportValues, DwordData) {
    checkDataCases({
        {"dword:00000100", dword(0x100)},
        {"dword:  00000008", dword(8)},
        {"dword:\tAbCdEf12", dword(0xABCDEF12)},
        {"dword:1234;5678", dword(0x1234)},
        {"dword:1234 ;5678", dword(0x1234)},
        {"dword:", std::nullopt},
        {"dword:123456789", std::nullopt},
        {"dword:000000001", std::nullopt},
        {"dword:0x1", std::nullopt},
        {"dword:12345678abc", std::nullopt},
        {"dword:1234#5678", std::nullopt},
        {"dword:1234,\\", std::nullopt},
        {"DWORD:1", std::nullopt},
    });
}

TEST(RegFileImportValues, DeletionLines) {
    auto imported = importBody("[HKEY_CURRENT_USER\\T]\r\n" // 2
                               "@=\"d\"\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n"
                               "\"c\"=\"3\"\r\n\"e\"=\"4\"\r\n"  // 3-7
                               "\"A\"=-\r\n"                     // 8
                               "\"b\" = - ;comment\r\n"          // 9
                               "\"c\"=- #comment\r\n"            // 10
                               "\"e\"=-\"Test\"\r\n"             // 11
                               "\"missing\"=-\r\n"               // 12
                               "@=-\r\n"                         // 13
                               "[-HKEY_CURRENT_USER\\Other]\r\n" // 14
                               "\"c\"=-\r\n");                   // 15
    EXPECT_THAT(moxalo::testing::valueNames(imported->store, imported->key(kKey)),
                ::testing::ElementsAre("c", "e"));
    EXPECT_THAT(imported->lines(), ::testing::ElementsAre(10, 11, 15));
}

} // namespace
} // namespace moxalo::regfile::test
