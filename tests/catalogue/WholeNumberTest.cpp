// The OpenWith setting's text as a whole number: the forms it takes and the errors it gives, the
// same whatever locale the program runs under.

#include "catalogue/WholeNumber.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace moxalo::catalogue;

namespace {

// The number, or "error N" for a conversion error.
std::string read(const std::string& text) {
    auto result = ToWholeNumber(text);
    if (!result) {
        const std::string& message = result.error(); // "Error: N - description"
        return "error " + message.substr(7, message.find(' ', 7) - 7);
    }
    return std::to_string(*result);
}

} // namespace

TEST(WholeNumber, HexadecimalAndOctalFillSixteenOrThirtyTwoBits) {
    const std::pair<std::string, std::string> cases[] = {
        {"  &h1f\t", "31"},      {"&H7FFF", "32767"},          {"&H8000", "-32768"},
        {"&HFFFF", "-1"},        {"&H10000", "65536"},         {"&HFFFFFFFF", "-1"},
        {"&H0000000001F", "31"}, {"&H100000000", "error 6"},   {"&o177777", "-1"},
        {"&O37777777777", "-1"}, {"&O40000000000", "error 6"},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(read(text), number) << text;
    // Only digits of the base follow the prefix: no blanks, signs or C prefix.
    for (const char* bad :
         {"&H", "&H 1", "&H-1", "&H0x1F", "&HG", "&O8", "& H1", "&H1 2", "&H000000000001", "&X1"})
        EXPECT_EQ(read(bad), "error 13") << bad;
}

TEST(WholeNumber, DecimalsRoundHalvesToEvenAndStayInThirtyTwoBits) {
    const std::pair<std::string, std::string> cases[] = {
        {" 1 ", "1"},
        {"+7", "7"},
        {"2.5", "2"},
        {"-2.5", "-2"},
        {"+3.5", "4"},
        {"2.50001", "3"},
        {".5", "0"},
        {"25E-1", "2"},
        {"0." + std::string(400, '0') + "1e5", "0"},
        {"2147483647.4", "2147483647"},
        {"-2147483648.5", "-2147483648"},
        {"2147483647.5", "error 6"},
        {"-2147483649", "error 6"},
        {"1" + std::string(400, '0') + "e-10", "error 6"},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(read(text), number) << text;
    for (const char* bad : {"", " \t ", "1x", "1,5", "1 2", "- 1", "+-1", "+", ".", "1e", "e5",
                            "1.2.3", "0x10", "inf", "nan", "1d2", "&1"})
        EXPECT_EQ(read(bad), "error 13") << bad;
}

// A window sets the user's locale; one with a decimal comma must not change what the setting
// means. The locale is made at build time into the folder LOCPATH names.
TEST(WholeNumber, ReadsTheSameUnderADecimalCommaLocale) {
    struct BackToC {
        ~BackToC() { std::setlocale(LC_ALL, "C"); }
    } backToC;
    const char* locales = std::getenv("LOCPATH");
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "de_DE.UTF-8 not found in LOCPATH=" << (locales ? locales : "(unset)");
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    EXPECT_EQ(read("-3.5"), "-4");
    EXPECT_EQ(read("2147483647.5"), "error 6");
    EXPECT_EQ(read("0,5"), "error 13");
}
