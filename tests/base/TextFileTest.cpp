// Text files decoded as Notepad decodes them: by their byte order mark, else as UTF-8 when
// they are valid UTF-8, else in the ANSI code page.

#include "base/TextFile.h"

#include "base/CodePage.h"

#include <gtest/gtest.h>
#include <string>

using namespace moxalo;
using moxalo::text::decodeText;
using moxalo::text::TextEncoding;

namespace {

const text::CodePage kWestern; // Windows-1252

// "für €", a CRLF and "😀" (outside the Basic Multilingual Plane) in UTF-8.
const std::string kText = "f\xC3\xBCr \xE2\x82\xAC\r\n\xF0\x9F\x98\x80";

std::string utf16(std::initializer_list<unsigned> units, bool bigEndian = false) {
    std::string bytes;
    for (unsigned unit : units) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

const std::initializer_list<unsigned> kTextUnits = {'f',  0xFC, 'r',    ' ',   0x20AC,
                                                    '\r', '\n', 0xD83D, 0xDE00};

void expectDecoded(const std::string& bytes, TextEncoding encoding, const std::string& text,
                   const text::CodePage& ansi = kWestern) {
    auto decoded = decodeText(bytes, ansi);
    EXPECT_EQ(decoded.encoding, encoding);
    EXPECT_EQ(decoded.utf8, text);
}

} // namespace

TEST(DecodeText, ByTheByteOrderMarkWithWhatCannotBeDecodedReplacedOrLeftOut) {
    const struct {
        const char* what;
        std::string bytes;
        TextEncoding encoding;
        std::string text;
    } cases[] = {
        {"UTF-16LE, as regedit exports", "\xFF\xFE" + utf16(kTextUnits), TextEncoding::Utf16le,
         kText},
        {"UTF-16BE", "\xFE\xFF" + utf16(kTextUnits, true), TextEncoding::Utf16be, kText},
        {"UTF-8", "\xEF\xBB\xBF" + kText, TextEncoding::Utf8WithBom, kText},
        {"a UTF-16LE mark alone", "\xFF\xFE", TextEncoding::Utf16le, ""},
        {"a mark in the middle is text", "a\xEF\xBB\xBF", TextEncoding::Utf8, "a\xEF\xBB\xBF"},
        {"lone surrogates and an odd byte at the end",
         "\xFF\xFE" + utf16({'a', 0xD83D, 'b', 0xDE00, 'c'}) + "x", TextEncoding::Utf16le,
         "a\uFFFDb\uFFFDc"},
        {"invalid bytes after a UTF-8 mark",
         "\xEF\xBB\xBF"
         "a\xFC"
         "b\xE2\x82",
         TextEncoding::Utf8WithBom, "a\uFFFDb\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expectDecoded(c.bytes, c.encoding, c.text);
    }
}

TEST(DecodeText, WithoutAMarkUtf8WhenValidElseTheCodePage) {
    expectDecoded("", TextEncoding::Utf8, "");
    expectDecoded("REGEDIT4\r\n", TextEncoding::Utf8, "REGEDIT4\r\n");
    expectDecoded(kText, TextEncoding::Utf8, kText);
    // "für €" in Windows-1252, and the same bytes in Windows-1251.
    expectDecoded("f\xFCr \x80", TextEncoding::Ansi, "f\xC3\xBCr \xE2\x82\xAC");
    expectDecoded("f\xFCr \x80", TextEncoding::Ansi, "f\xD1\x8Cr \xD0\x82",
                  *text::CodePage::named("1251"));
}

TEST(DecodeText, ValidUtf8IsStrict) {
    struct Case {
        const char* what;
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"ASCII", "abc", true},
        {"two, three and four bytes", "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80", true},
        {"highest character", "\xF4\x8F\xBF\xBF", true},
        {"overlong slash", "\xC0\xAF", false},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false},
        {"cut off at the end", "abc\xE2\x82", false},
        {"continuation missing in the middle", "\xE2\x82z", false},
        {"Windows-1252 umlaut", "f\xFCr", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(text::isValidUtf8(c.bytes), c.valid);
        EXPECT_EQ(decodeText(c.bytes, kWestern).encoding,
                  c.valid ? TextEncoding::Utf8 : TextEncoding::Ansi);
    }
}
