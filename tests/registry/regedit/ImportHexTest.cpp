// hex: and hex(T): data: types, bytes, continuation lines and the conversion of string types.

#include "tests/registry/regedit/RegFileTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace moxalo::regfile::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::string_view kKey = "HKEY_CURRENT_USER\\T";

std::optional<registry::RegValue> hexValue(const std::string& data, bool unicode) {
    auto imported = importBody("[HKEY_CURRENT_USER\\T]\r\n\"v\"=" + data + "\r\n", unicode);
    return imported->value(kKey, "v");
}

registry::RegValue typed(registry::DWORD type, Bytes data) {
    return {type, std::move(data)};
}

TEST(RegFileImportHex, TypesAndBytes) {
    const struct {
        std::string data;
        std::optional<registry::RegValue> expected;
    } cases[] = {
        {"hex:11,22,33", typed(registry::REG_BINARY, {0x11, 0x22, 0x33})},
        {"hex:11,22,33,", typed(registry::REG_BINARY, {0x11, 0x22, 0x33})},
        {"hex:11,22,;comment", typed(registry::REG_BINARY, {0x11, 0x22})},
        {"hex(0):56,61", typed(registry::REG_NONE, {0x56, 0x61})},
        {"hex(b):01,02,03,04,05,06,07,08", typed(registry::REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8})},
        {"hex(100):25", typed(0x100, {0x25})},
        {"hex(ffffffff):01", typed(0xFFFFFFFF, {0x01})},
        {"hex(4):40,30,20,10", typed(registry::REG_DWORD, {0x40, 0x30, 0x20, 0x10})},
        {"hex(4):", typed(registry::REG_DWORD, {})},
        {"hex(100000000):01", std::nullopt},
        {"hex(0x2):41", std::nullopt},
        {"hex():41", std::nullopt},
        {"hex(2)41", std::nullopt},
        {"hex:100", std::nullopt},
        {"hex:0x11", std::nullopt},
        {"hex:11,22  #comment", std::nullopt},
        {"hex:11,,22", std::nullopt},
        {"hex:,11", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(hexValue(c.data, true), c.expected);
    }
}

TEST(RegFileImportHex, StringTypesFollowTheFileEncoding) {
    Bytes path = text::stringValueData("%PATH%");
    Bytes line = text::utf8ToUtf16le(std::string("Line\0", 5));
    Bytes lineLine = text::utf8ToUtf16le(std::string("Line\0\0", 6));
    const struct {
        std::string data;
        bool unicode;
        registry::RegValue expected;
    } cases[] = {
        {"hex(2):25,50,41,54,48,25,00", false, typed(registry::REG_EXPAND_SZ, path)},
        {"hex(7):4c,69,6e,65", false, typed(registry::REG_MULTI_SZ, line)},
        {"hex(7):4c,69,6e,65,00,00", false, typed(registry::REG_MULTI_SZ, lineLine)},
        {"hex(1):41,42", false, sz("AB")},
        // 8-bit bytes are in the file's code page, Windows-1252 here, even where they would
        // make sense as UTF-8.
        {"hex(1):63,61,66,c3,a9", false, sz("caf\u00C3\u00A9")},
        {"hex(1):63,61,66,e9,80,81", false, sz("caf\u00E9\u20AC\u0081")},
        // UTF-16 bytes in an 8-bit file are widened one by one, as regedit does.
        {"hex(7):6f,00,00", false, typed(registry::REG_MULTI_SZ, {0x6F, 0, 0, 0, 0, 0})},
        {"hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00", true,
         typed(registry::REG_EXPAND_SZ, path)},
        {"hex(7):4c,00,69,00,6e,00,65,00,00,00", true, typed(registry::REG_MULTI_SZ, line)},
        // The last whole character decides, as in regedit: an odd byte after a NUL character
        // stays; after another character, a NUL character comes before it.
        {"hex(2):41,00,00,00,42", true, typed(registry::REG_EXPAND_SZ, {0x41, 0, 0, 0, 0x42})},
        {"hex(7):41,00,42", true, typed(registry::REG_MULTI_SZ, {0x41, 0, 0, 0, 0x42})},
        {"hex(1):41", true, typed(registry::REG_SZ, {0, 0, 0x41})},
        // A type written with a leading zero keeps the bytes as they stand, in either encoding.
        {"hex(02):41,00", true, typed(registry::REG_EXPAND_SZ, {0x41, 0})},
        {"hex(01):25,50", false, typed(registry::REG_SZ, {0x25, 0x50})},
        {"hex(4):41", true, typed(registry::REG_DWORD, {0x41})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data + (c.unicode ? " (UTF-16)" : " (8-bit)"));
        EXPECT_EQ(hexValue(c.data, c.unicode), c.expected);
    }
}

TEST(RegFileImportHex, ContinuationLines) {
    auto imported = importBody("[HKEY_CURRENT_USER\\T]\r\n"             // 2
                               "\"Multi\"=hex:11,22,\\\r\n"             // 3
                               "  33,44, \t\\  ;comment\r\n"            // 4
                               "\r\n"                                   // 5
                               "  ; a comment between\r\n"              // 6
                               "\t55,66\r\n"                            // 7
                               "\"Hash\"=hex:11,22,\\\r\n"              // 8
                               "#not skipped\r\n"                       // 9
                               "\"AfterHash\"=\"ok\"\r\n"               // 10
                               "\"Eaten\"=hex:11,\\\r\n"                // 11
                               "\"Victim\"=\"x\"\r\n"                   // 12
                               "\"NoComma\"=hex:11,22\\\r\n"            // 13
                               "\"Survivor\"=\"y\"\r\n"                 // 14
                               "\"KeyEaten\"=hex:11,\\\r\n"             // 15
                               "[HKEY_CURRENT_USER\\T\\NotCreated]\r\n" // 16
                               "\"Trunc\"=hex:11,22,;comment\r\n"       // 17
                               "  33,44\r\n"                            // 18
                               "\"CommaStart\"=hex:11,\\\r\n"           // 19
                               "  ,22\r\n"                              // 20
                               "\"Split\"=hex:11,4\\\r\n"               // 21
                               "1,22\r\n"                               // 22
                               "\"Junk\"=hex:11,\\ junk\r\n"            // 23
                               "\"AtEnd\"=hex(2):41,00,\\\r\n");        // 24
    auto value = [&](std::string_view name) { return imported->value(kKey, name); };
    EXPECT_EQ(value("Multi"), typed(registry::REG_BINARY, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}));
    EXPECT_EQ(imported->text(kKey, "AfterHash"), "ok");
    EXPECT_EQ(imported->text(kKey, "Survivor"), "y");
    EXPECT_EQ(value("Trunc"), typed(registry::REG_BINARY, {0x11, 0x22}));
    EXPECT_EQ(value("AtEnd"), typed(registry::REG_EXPAND_SZ, {0x41, 0, 0, 0}));
    for (const char* dropped :
         {"Hash", "Eaten", "Victim", "NoComma", "KeyEaten", "CommaStart", "Split", "Junk"})
        EXPECT_FALSE(value(dropped)) << dropped;
    EXPECT_EQ(imported->key("HKEY_CURRENT_USER\\T\\NotCreated"), registry::kNoNode);
    EXPECT_THAT(imported->lines(), ::testing::ElementsAre(8, 11, 13, 15, 18, 19, 21, 22, 23))
        << imported->diagnostics();
    EXPECT_THAT(imported->result.diagnostics[1].message, ::testing::HasSubstr("line 12"));
}

} // namespace
} // namespace moxalo::regfile::test
