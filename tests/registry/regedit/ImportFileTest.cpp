// File-level rules of importing: the header line, the encodings, line endings and comments.

#include "tests/registry/regedit/RegFileTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace moxalo::regfile::test {
namespace {

using ::testing::HasSubstr;

std::string importError(const std::string& bytes) {
    registry::MemoryStore store;
    try {
        importRegFile(bytes, store);
    } catch (const registry::StoreError& e) {
        EXPECT_EQ(store.childCount(store.rootNode()), 0u) << "nothing is imported";
        return e.what();
    }
    return "<no error>";
}

TEST(RegFileImportHeader, AcceptsTheKnownHeadersAfterBlanks) {
    const struct {
        const char* header;
        int version;
    } cases[] = {
        {"REGEDIT4", 4}, {"  REGEDIT4", 4}, {" \tWindows Registry Editor Version 5.00", 5}};
    for (const auto& c : cases) {
        for (bool unicode : {true, false}) {
            SCOPED_TRACE(std::string(c.header) + (unicode ? " UTF-16" : " 8-bit"));
            std::string text =
                std::string(c.header) + "\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"x\"\r\n";
            Imported imported;
            imported.result = importRegFile(fileBytes(text, unicode), imported.store);
            EXPECT_EQ(imported.result.version, c.version);
            EXPECT_EQ(imported.result.unicode, unicode);
            EXPECT_EQ(imported.diagnostics(), "");
            EXPECT_EQ(imported.value("HKEY_CURRENT_USER\\A", "v"), sz("x"));
        }
    }
}

TEST(RegFileImportHeader, RejectsEveryOtherFirstLine) {
    for (const char* header :
         {"regedit4", "REGEDIT 4", "REGEDIT4FOO", "REGEDIT4 ",
          "Windows Registry Editor Version 4.00", "Windows Registry Editor Version 5",
          "Windows Registry Editor version 5.00", "[HKEY_CURRENT_USER\\A]"}) {
        for (bool unicode : {true, false}) {
            SCOPED_TRACE(header);
            std::string text = std::string(header) + "\r\n[HKEY_CURRENT_USER\\A]\r\n@=\"x\"\r\n";
            std::string message = importError(fileBytes(text, unicode));
            EXPECT_THAT(message, HasSubstr(std::string("\"") + header));
            EXPECT_THAT(message,
                        HasSubstr("\"Windows Registry Editor Version 5.00\" or \"REGEDIT4\""));
        }
    }
}

TEST(RegFileImportHeader, NamesEncodingsRegeditCannotRead) {
    std::string header = "Windows Registry Editor Version 5.00\r\n";
    std::string utf16 = fileBytes(header, true).substr(2);
    std::string bigEndian = "\xFE\xFF";
    for (std::size_t i = 0; i < utf16.size(); i += 2)
        bigEndian += std::string{utf16[i + 1], utf16[i]};
    EXPECT_THAT(importError("\xEF\xBB\xBF" + header), HasSubstr("UTF-8 with a byte order mark"));
    EXPECT_THAT(importError(bigEndian), HasSubstr("UTF-16 big-endian"));
    EXPECT_THAT(importError(utf16), HasSubstr("UTF-16 without a byte order mark"));
    EXPECT_THAT(importError(""), HasSubstr("the file is empty"));
    EXPECT_THAT(importError("\xFF\xFE"), HasSubstr("first line is \"\""));
}

TEST(RegFileImportText, EveryLineEndingCountsLines) {
    for (std::string end : {"\r\n", "\n", "\r"}) {
        for (bool unicode : {true, false}) {
            SCOPED_TRACE(::testing::PrintToString(end) + (unicode ? " UTF-16" : " 8-bit"));
            std::string text = "REGEDIT4" + end + end + "[HKEY_CURRENT_USER\\A]" + end + "garbage" +
                               end + end + "\"v\"=\"1\"" + end + "\"w\"=\"2\"";
            Imported imported;
            imported.result = importRegFile(fileBytes(text, unicode), imported.store);
            EXPECT_EQ(imported.text("HKEY_CURRENT_USER\\A", "v"), "1");
            EXPECT_EQ(imported.text("HKEY_CURRENT_USER\\A", "w"), "2") << "no final newline";
            ASSERT_EQ(imported.result.diagnostics.size(), 1u) << imported.diagnostics();
            EXPECT_EQ(imported.result.diagnostics[0].line, 4);
        }
    }
}

TEST(RegFileImportText, EightBitTextIsInTheCodePage) {
    for (const char* header : {"REGEDIT4", "Windows Registry Editor Version 5.00"}) {
        SCOPED_TRACE(header);
        Imported imported;
        imported.result = importRegFile(std::string(header) +
                                            "\r\n[HKEY_CURRENT_USER\\\x80]\r\n"
                                            "\"q\"=\"\x93x\x94\"\r\n\"utf8\"=\"caf\xC3\xA9\"\r\n"
                                            "\"k\xFC\"=\"\x81\x8D\x8F\x90\x9D\"\r\n"
                                            "\"x\"=hex(2):80,93,00\r\n",
                                        imported.store);
        EXPECT_EQ(imported.text("HKEY_CURRENT_USER\\\u20AC", "q"), "\u201Cx\u201D");
        EXPECT_EQ(imported.text("HKEY_CURRENT_USER\\\u20AC", "utf8"), "caf\u00C3\u00A9");
        EXPECT_EQ(imported.text("HKEY_CURRENT_USER\\\u20AC", "K\u00DC"),
                  "\u0081\u008D\u008F\u0090\u009D");
        EXPECT_EQ(imported.text("HKEY_CURRENT_USER\\\u20AC", "x"), "\u20AC\u201C");
    }
    Imported cyrillic;
    cyrillic.result = importRegFile("REGEDIT4\r\n[HKEY_CURRENT_USER\\\xCF\xE0\xEF\xEA\xE0]\r\n"
                                    "@=\"\xD2\xE5\xEA\xF1\xF2\"\r\n\"h\"=hex(7):DF,00,00\r\n",
                                    cyrillic.store, *text::CodePage::named("1251"));
    EXPECT_EQ(cyrillic.text("HKEY_CURRENT_USER\\\u041F\u0430\u043F\u043A\u0430", ""),
              "\u0422\u0435\u043A\u0441\u0442");
    EXPECT_EQ(cyrillic.value("HKEY_CURRENT_USER\\\u041F\u0430\u043F\u043A\u0430", "h"),
              (registry::RegValue{registry::REG_MULTI_SZ, {0x2F, 0x04, 0, 0, 0, 0}}));
    auto wide = importBody("[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"caf\xC3\xA9 \xF0\x9F\x98\x80\"\r\n");
    EXPECT_EQ(wide->value("HKEY_CURRENT_USER\\A", "v"), sz("caf\xC3\xA9 \xF0\x9F\x98\x80"));
}

TEST(RegFileImportText, CommentsAndStrayLines) {
    auto imported = importBody("[HKEY_CURRENT_USER\\A]\r\n"
                               ";comment\\\r\n"
                               "\"a\"=\"1\"\r\n"
                               "  #comment\\\r\n"
                               "\"b\"=\"2\"\r\n"
                               "NameNoQuotes=\"x\"\r\n"
                               "\t\r\n"
                               "   \"c\"=\"3\"\r\n");
    EXPECT_EQ(imported->text("HKEY_CURRENT_USER\\A", "a"), "1");
    EXPECT_EQ(imported->text("HKEY_CURRENT_USER\\A", "b"), "2");
    EXPECT_EQ(imported->text("HKEY_CURRENT_USER\\A", "c"), "3");
    EXPECT_EQ(imported->text("HKEY_CURRENT_USER\\A", "NameNoQuotes"), "<missing>");
    ASSERT_EQ(imported->result.diagnostics.size(), 1u) << imported->diagnostics();
    EXPECT_EQ(imported->result.diagnostics[0].line, 7);
}

} // namespace
} // namespace moxalo::regfile::test
