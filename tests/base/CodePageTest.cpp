// The code pages of 8-bit .reg files: their names, and text to and from them as Windows has it.

#include "base/CodePage.h"

#include "base/Utf16.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace moxalo::regfile {
namespace {

using ::testing::HasSubstr;

std::string nameError(std::string_view name) {
    Result<text::CodePage> page = text::CodePage::named(name);
    return page ? "<no error>" : page.error();
}

TEST(CodePage, IsNamedByItsNumberAloneOrWithCpOrWindows) {
    const std::pair<const char*, const char*> names[] = {
        {"1252", "1252"},   {"cp1251", "1251"},       {"CP1251", "1251"},
        {"CP932", "932"},   {"windows-1251", "1251"}, {"Windows-1250", "1250"},
        {"65001", "65001"}, {"UTF-8", "65001"},       {"utf8", "65001"},
    };
    for (const auto& [name, number] : names)
        EXPECT_EQ(text::CodePage::named(name)->number(), number) << name;
    EXPECT_EQ(text::CodePage().number(), "1252");

    for (const char* unknown : {"", "latin1", "cp", "windows-", "1252x", "cp 1252", "99999"}) {
        EXPECT_THAT(nameError(unknown), HasSubstr("unknown code page \"" + std::string(unknown)))
            << unknown;
        EXPECT_THAT(nameError(unknown), HasSubstr("as in 1252, cp1251 or windows-1251"));
    }
    // EBCDIC has no "[" or "=" where a .reg file needs them.
    EXPECT_THAT(nameError("cp037"), HasSubstr("code page 037 cannot be used for .reg files"));
}

TEST(CodePage, WritesWhatTheCodePageCannotHoldAsQuestionMarks) {
    text::CodePage cp1252;
    EXPECT_EQ(cp1252.fromUtf8("\u20AC caf\u00E9 \u0416 \U0001F600."), "\x80 caf\xE9 ? ?.");
    EXPECT_EQ(cp1252.fromUtf8("\u0081\u009D\u0080"), "\x81\x9D?")
        << "U+0080 is not 1252's byte 0x80, which is the euro sign";
    EXPECT_EQ(cp1252.fromUtf16le({0x41, 0, 0x00, 0xD8, 0x42, 0, 0x43}), "A?B")
        << "a lone surrogate and an odd last byte";
    EXPECT_EQ(text::CodePage::named("1251")->fromUtf8("\u041F\u0440\u0438 \u00E9"),
              "\xCF\xF0\xE8 ?");
}

TEST(CodePage, MultiByteCodePagesAndUtf8) {
    text::CodePage cp932 = *text::CodePage::named("932");
    // The second byte of "so" is 0x5C, a backslash when read byte by byte.
    EXPECT_EQ(cp932.toUtf8("\x83\x5C\x93\xFA"), "\u30BD\u65E5");
    EXPECT_EQ(cp932.fromUtf8("\u30BD\u65E5\\"), "\x83\x5C\x93\xFA\\");
    EXPECT_EQ(cp932.toUtf8("a\x83"), "a\u0083") << "a lead byte at the end is kept";

    text::CodePage utf8 = *text::CodePage::named("UTF-8");
    EXPECT_EQ(utf8.toUtf8("caf\xC3\xA9"), "caf\u00E9");
    EXPECT_EQ(utf8.toUtf8("caf\xE9!"), "caf\u00E9!") << "no byte is lost";
    EXPECT_EQ(utf8.fromUtf8("\u0416\U0001F600"), "\u0416\U0001F600");
}

} // namespace
} // namespace moxalo::regfile
