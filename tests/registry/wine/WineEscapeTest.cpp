#include "registry/wine/WineEscape.h"

#include <gtest/gtest.h>

using namespace moxalo::registry;

namespace {

std::u16string parsed(std::string_view line, char end = '"') {
    std::u16string text;
    auto after = parseWineText(line, 0, end, text);
    EXPECT_TRUE(after.has_value()) << line;
    return text;
}

} // namespace

TEST(WineEscape, WritesAsWineserverDoes) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"caf\u00e9", "caf\\xe9"},
        {u"\u00e9a", "\\x00e9a"}, // a hex digit follows: four digits
        {u"\u00e9g", "\\xe9g"},   // not a hex digit: the short form
        {u"\u041f\u0440", "\\x41f\\x440"},
        {u"\U0001F600", "\\xd83d\\xde00"},
        {u"a\tb\nc\x1b", "a\\tb\\nc\\e"},
        {u"\a\b\v\f\r", "\\a\\b\\v\\f\\r"},
        {u"\x01"
         u"7",
         "\\0017"}, // an octal digit follows: three digits
        {u"\x01"
         u"8",
         "\\18"},
        {u"\x1f", "\\37"},
        {std::u16string(u"m\0"
                        u"3",
                        3),
         "m\\0003"},
        {std::u16string(u"one\0two\0", 8), "one\\0two\\0"},
        {u"a \"q\" C:\\x", "a \\\"q\\\" C:\\\\x"},
        {u"x[y]z", "x[y]z"},
        {u"\x7f", "\x7f"},
    };
    for (const auto& [text, escaped] : cases)
        EXPECT_EQ(escapeWineText(text, "\"\""), escaped);
    EXPECT_EQ(escapeWineText(u"Br[ack]ets \"q\"", "[]"), "Br\\[ack\\]ets \"q\"");
}

TEST(WineEscape, ReadsEveryFormTheLoaderAccepts) {
    EXPECT_EQ(parsed("caf\\xe9\""), u"caf\u00e9");
    EXPECT_EQ(parsed("\\x00e9a\""), u"\u00e9a");
    EXPECT_EQ(parsed("\\x41f\\x440\""), u"\u041f\u0440");
    EXPECT_EQ(parsed("\\x12345\""), u"\u1234"
                                    u"5"); // at most four hex digits
    EXPECT_EQ(parsed("\\xg\""), u"xg");    // no digit: the letter itself
    EXPECT_EQ(parsed("\\0017\\2x\\101\""), u"\x01"
                                           u"7\x02xA");
    EXPECT_EQ(parsed("\\t\\n\\e\\a\\b\\v\\f\\r\""), u"\t\n\x1b\a\b\v\f\r");
    EXPECT_EQ(parsed("\\q\\\\\\\"\""), u"q\\\"");
    EXPECT_EQ(parsed("na\xc3\xafve \xe2\x82\xac\""), u"na\u00efve \u20ac");
    EXPECT_EQ(parsed("Br\\[ack\\]ets]", ']'), u"Br[ack]ets");

    std::u16string text;
    EXPECT_FALSE(parseWineText("no end", 0, '"', text));
    EXPECT_FALSE(parseWineText("ends in a backslash\\", 0, '"', text));
    EXPECT_FALSE(parseWineText("escaped end\\\"", 0, '"', text));
    EXPECT_EQ(parseWineText("ab\"=rest", 0, '"', text = u""), 3u);
}

TEST(WineEscape, RoundTripsEveryUnit) {
    std::u16string all;
    for (char32_t c = 1; c < 0x3000; ++c)
        all.push_back(static_cast<char16_t>(c));
    all += u"\xd83d\xde00"
           u"0";
    std::string line = escapeWineText(all, "\"\"") + "\"";
    EXPECT_EQ(line.find_first_of("\x80\xff\n"), std::string::npos) << "only 7-bit ASCII";
    std::u16string back;
    ASSERT_TRUE(parseWineText(line, 0, '"', back));
    EXPECT_EQ(back, all);
}
