// The size limit of .reg files counts characters, so that what the readers take can be written
// again in regedit's UTF-16 export, and read back.

#include "registry/regedit/RegFileSize.h"

#include <gtest/gtest.h>

namespace moxalo::regfile {
namespace {

TEST(RegFileSize, AnyFileReadCanBeExportedInUtf16AndReadBack) {
    const std::string_view ansi = "RE"; // as REGEDIT4 begins
    EXPECT_EQ(whyTooLarge(ansi, kMaxRegFileChars), "");
    EXPECT_EQ(whyTooLarge(ansi, kMaxRegFileChars + 1),
              "holds more than 512 Mi characters, more than a .reg file that can be read");
    // The same characters in UTF-16, twice the bytes and the byte order mark.
    EXPECT_EQ(whyTooLarge(kUtf16Mark, kUtf16Mark.size() + 2 * kMaxRegFileChars), "");
    EXPECT_NE(whyTooLarge(kUtf16Mark, kMaxRegFileBytes + 1), "") << "half a character more";
    EXPECT_NE(whyTooLarge(kUtf16Mark, kMaxRegFileBytes + 2), "");
    // A file too short for a byte order mark is 8-bit.
    EXPECT_EQ(whyTooLarge("\xFF", 1), "");
    EXPECT_EQ(whyTooLarge("", 0), "");
}

} // namespace
} // namespace moxalo::regfile
