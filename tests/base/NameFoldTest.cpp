// Names compare as Windows compares them: each UTF-16 unit upper-cased by the simple mapping,
// in every script and whatever the locale.

#include "base/NameFold.h"

#include <gtest/gtest.h>
#include <string>

using namespace moxalo::registry;

TEST(NameFold, UpperCasesEveryScriptOneCharacterAtATime) {
    EXPECT_EQ(foldName(".жук"), ".ЖУК");
    EXPECT_TRUE(sameName(".Жук", ".жУК"));
    EXPECT_EQ(foldName("Σίσυφος"), "ΣΊΣΥΦΟΣ") << "final sigma is a sigma too";
    EXPECT_TRUE(sameName("σίσυφοσ", "ΣΊΣΥΦΟς"));
    EXPECT_EQ(foldName("ǆ ǅ Ǆ"), "Ǆ Ǆ Ǆ");
    EXPECT_EQ(foldName("µ ÿ à"), "Μ Ÿ À") << "Latin-1 letters with capitals outside Latin-1";
    EXPECT_EQ(foldName("straße ﬁ"), "STRAßE ﬁ") << "no letter becomes two";
    EXPECT_EQ(foldName("file_~"), "FILE_~");

    // The capital can take fewer bytes than the small letter.
    EXPECT_EQ(foldName("ıſ.ıni"), "IS.INI");
    EXPECT_TRUE(sameName("ſtar.ıni", "STAR.INI"));
    EXPECT_TRUE(sameName("Star.ini", "ſtar.ını"));
    EXPECT_FALSE(sameName("ıx", "I"));
    EXPECT_FALSE(sameName("I", "ıx"));
    EXPECT_TRUE(sameName("ı", "i")) << "no Turkish rules: both are I, and İ is itself";
    EXPECT_FALSE(sameName("İ", "I"));
    EXPECT_FALSE(sameName("K", "\u212A")) << "the Kelvin sign is a capital of its own";

    // Beyond U+FFFF a character is two surrogate units, which have no case.
    EXPECT_EQ(foldName("\U00010428x"), "\U00010428X");
    EXPECT_FALSE(sameName("\U00010428", "\U00010400"));
}

TEST(NameFold, LeavesBytesThatAreNotUtf8AsTheyAre) {
    // A lone surrogate as a three-byte sequence, a stray byte, a cut sequence, an overlong one.
    EXPECT_EQ(foldName("a\xED\xA0\x80"
                       "b\xED\xB0\x80"),
              "A\xED\xA0\x80"
              "B\xED\xB0\x80");
    EXPECT_EQ(foldName("\xFF"
                       "ab\xC3"),
              "\xFF"
              "AB\xC3");
    EXPECT_EQ(foldName("\xC3 é"), "\xC3 É");
    EXPECT_EQ(foldName("\xC0\xAF"
                       "é\xE2\x82"),
              "\xC0\xAF"
              "É\xE2\x82");
    EXPECT_EQ(foldName("\xF0\x90\x90"), "\xF0\x90\x90");
    EXPECT_TRUE(sameName("x\xED\xB0\x80y", "X\xED\xB0\x80Y"));
    EXPECT_FALSE(sameName("\xC3", "\xC3\xA9"));
    EXPECT_FALSE(sameName("\xC3\xA9", "\xC3"));
    EXPECT_FALSE(sameName("\xC3\xA0", "\xC3"));
}
