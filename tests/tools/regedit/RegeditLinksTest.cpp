// Wine's link keys (#link, their target in SymbolicLinkValue) in a backup and back: a link is
// written as the keys it leads to, as Wine's regedit writes it, and an import through it
// changes its target, so that the link stays a link.

#include "base/Utf16.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <gtest/gtest.h>

using namespace moxalo::testing;

namespace {

// A link's section lines after its key line, as wineserver writes them.
std::string linkTo(const std::string& ntPath) {
    std::string hex;
    for (std::uint8_t byte : moxalo::text::utf8ToUtf16le(ntPath)) {
        static const char* digits = "0123456789abcdef";
        hex += std::string(hex.empty() ? "" : ",") + digits[byte >> 4] + digits[byte & 15];
    }
    return "#link\n\"SymbolicLinkValue\"=hex(6):" + hex + "\n";
}

// A section of a Wine registry file, its long lines joined.
std::string section(const std::string& file, const std::string& keyLine) {
    std::size_t start = file.find(keyLine);
    if (start == std::string::npos)
        return "(none)";
    std::string text = file.substr(start, file.find("\n\n", start) - start);
    for (std::size_t at; (at = text.find("\\\n  ")) != std::string::npos;)
        text.erase(at, 4);
    return text;
}

const std::string kClasses = "\\Registry\\Machine\\Software\\Classes\\";
const std::string kTop = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node";

// The backup of the links' key named `top`: the one link that leads somewhere, written as the
// keys it leads to.
std::string backupOfLinks(const std::string& top) {
    return unicodeRegFile("Windows Registry Editor Version 5.00\n\n[" + top + "]\n\n[" + top +
                          "\\AppId]\n\n[" + top + "\\AppId\\BITS]\n@=\"bits\"\n\n");
}

std::string prefixWithLinks(const TempDir& dir) {
    std::string prefix = dir.file("prefix");
    writeWinePrefix(prefix,
                    "[AppId\\BITS]\n@=\"bits\"\n"
                    "[Wow6432Node\\AppId]\n" +
                        linkTo(kClasses + "AppId") +
                        // One back above itself, one that leads nowhere, a second to AppId.
                        "[Wow6432Node\\Loop]\n" + linkTo(kClasses + "Wow6432Node") +
                        "[Wow6432Node\\Nowhere]\n" + linkTo(kClasses + "Missing") +
                        "[Wow6432Node\\Second]\n" + linkTo(kClasses + "AppId"),
                    "");
    return prefix;
}

} // namespace

TEST(RegeditLinks, ALinkIsWrittenAsTheKeysItLeadsToAndAnImportGoesThroughIt) {
    TempDir dir;
    std::string prefix = prefixWithLinks(dir);
    std::string file = dir.file("wow.reg");
    CliRun run = regedit({"/e", file, kTop}, dir, registryVariable({prefix}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(file), backupOfLinks(kTop));

    // The backup imported back, and a change made through the link.
    const std::string linkSection = "[Software\\\\Classes\\\\Wow6432Node\\\\AppId]";
    std::string before = readFile(prefix + "/system.reg");
    ASSERT_EQ(regedit({"/s", file}, dir, registryVariable({prefix})).status, 0);
    writeFile(dir.file("through.reg"), "REGEDIT4\r\n\r\n[" + kTop +
                                           "\\AppId\\BITS]\r\n"
                                           "@=\"changed\"\r\n\r\n[" +
                                           kTop + "\\AppId\\New]\r\n");
    run = regedit({"/s", dir.file("through.reg")}, dir, registryVariable({prefix}));
    ASSERT_EQ(run.status, 0) << run.err;
    std::string after = readFile(prefix + "/system.reg");
    EXPECT_EQ(section(after, linkSection), section(before, linkSection))
        << "the link's section is as it was";
    EXPECT_EQ(after.find("Wow6432Node\\\\AppId\\\\"), std::string::npos)
        << "nothing was put below the link itself";
    std::string classes = dumpLayers({prefix});
    EXPECT_NE(classes.find(stringLine("AppId\\BITS", "", "changed")), std::string::npos) << classes;
    EXPECT_NE(classes.find("\\AppId\\New\n"), std::string::npos) << classes;
}
