// Half of a surrogate pair alone, which registry names and strings may hold: kept through the
// program's text and back, and shown as valid UTF-8.

#include "base/Utf16.h"

#include "registry/ShownName.h"

#include <gtest/gtest.h>

namespace moxalo::registry {
namespace {

std::vector<std::uint8_t> units(std::initializer_list<char16_t> list) {
    std::vector<std::uint8_t> bytes;
    for (char16_t u : list) {
        bytes.push_back(static_cast<std::uint8_t>(u));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return bytes;
}

TEST(Utf16, LoneSurrogatesComeBackAsTheyWere) {
    // A high one alone, a low one alone, one of each in the wrong order, then a pair.
    auto wide = units({0xD800, u'x', 0xDC00, 0xDFFF, 0xDBFF, 0xD83D, 0xDE00});
    std::string text = text::utf16leToUtf8(wide);
    EXPECT_EQ(text, "\xED\xA0\x80x\xED\xB0\x80\xED\xBF\xBF\xED\xAF\xBF\xF0\x9F\x98\x80");
    EXPECT_EQ(text::utf8ToUtf16le(text), wide);
    EXPECT_EQ(text::stringValueData(text),
              units({0xD800, u'x', 0xDC00, 0xDFFF, 0xDBFF, 0xD83D, 0xDE00, 0}));
    // Bytes that are neither UTF-8 nor a lone surrogate are still Latin-1 characters.
    EXPECT_EQ(text::utf8ToUtf16le("\xFF\xED\xA0"), units({0xFF, 0xED, 0xA0}));
}

TEST(Utf16, ShownTextIsValidUtf8) {
    const std::string lone = "\xED\xA0\x80";
    EXPECT_EQ(text::displayText("a" + lone + "b\xFF" + "c\xC3"), "a\uFFFDb\uFFFDc\uFFFD");
    EXPECT_EQ(text::displayText("plain ü日本\U0001F600"), "plain ü日本\U0001F600");
    EXPECT_EQ(shownName(std::string("a\\b\0\r\n\t\x01", 8) + lone + "\xFF" + "ü"),
              "a\\\\b\\0\\r\\n\\t\\x01\\uD800\\xFFü");
    EXPECT_EQ(shownPath("HKEY_CLASSES_ROOT\\.a\r"), "HKEY_CLASSES_ROOT\\.a\\r");
}

} // namespace
} // namespace moxalo::registry
