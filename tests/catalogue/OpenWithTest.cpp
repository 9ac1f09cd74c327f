// The programs the Open With dialog offers, in Windows' order, each with where it was read;
// the applications that declare what they open.
#include "tests/catalogue/EffectiveFixture.h"

#include <gtest/gtest.h>

namespace moxalo::catalogue::effective {
namespace {

constexpr const char* kDeclarations =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.abc\\OpenWithProgids]\r\n\"abcfile\"=\"\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.abc\\OpenWithList\\viewer.exe]\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\tool.exe\\SupportedTypes]\r\n"
    "\".abc\"=\"\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\other.exe\\SupportedTypes]\r\n"
    "\".xyz\"=\"\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\RegisteredApplications]\r\n"
    "\"Tool\"=\"Software\\\\Tool\\\\Capabilities\"\r\n"
    "\"Gone\"=\"Software\\\\Gone\\\\Capabilities\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tool\\Capabilities]\r\n\"ApplicationName\"=\"Tool\"\r\n"
    "\"ApplicationDescription\"=\"Opens .abc\"\r\n\"Hidden\"=dword:00000001\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tool\\Capabilities\\FileAssociations]\r\n"
    "\".abc\"=\"Tool.abc\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tool\\Capabilities\\URLAssociations]\r\n"
    "\"tool\"=\"Tool.url\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.abc\\"
    "UserChoice]\r\n\"ProgId\"=\"mine\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.abc\\"
    "OpenWithProgids]\r\n\"abcfile\"=hex(0):\r\n\"other\"=hex(0):\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.abc\\"
    "OpenWithList]\r\n\"a\"=\"x.exe\"\r\n\"b\"=\"y.exe\"\r\n\"c\"=\"z.exe\"\r\n"
    "\"MRUList\"=\"ca\"\r\n\r\n";

TEST(OpenWith, ListsEachCandidateOnceInWindowsOrder) {
    testing::TempDir dir;
    auto opened = testing::openView({testing::writeRegFile(dir, "open-with.reg", kDeclarations)});
    ASSERT_TRUE(opened.view);
    auto candidates = opened.view->openWith("abc");
    ASSERT_TRUE(candidates) << candidates.error();
    std::vector<std::string> listed;
    for (const auto& c : *candidates)
        listed.push_back(c.handler + " / " + c.source);
    EXPECT_EQ(listed, (std::vector<std::string>{
                          "mine / UserChoice",
                          "abcfile / HKCR OpenWithProgids",
                          "other / FileExts OpenWithProgids",
                          "viewer.exe / HKCR OpenWithList",
                          "z.exe / FileExts OpenWithList",
                          "x.exe / FileExts OpenWithList",
                          "y.exe / FileExts OpenWithList",
                          "Applications\\tool.exe / Applications SupportedTypes",
                          "Tool.abc / Capabilities of Tool",
                      }));
    EXPECT_EQ(candidates->back().key, "HKLM\\Software\\Tool\\Capabilities\\FileAssociations");
    EXPECT_EQ((*candidates)[7].key,
              "HKLM\\Software\\Classes\\Applications\\tool.exe\\SupportedTypes");
    auto none = opened.view->openWith(".none");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}

TEST(OpenWith, ReadsWhatEachRegisteredApplicationDeclares) {
    testing::TempDir dir;
    auto opened = testing::openView({testing::writeRegFile(dir, "open-with.reg", kDeclarations)});
    ASSERT_TRUE(opened.view);
    auto apps = opened.view->registeredApps();
    ASSERT_TRUE(apps) << apps.error();
    ASSERT_EQ(apps->size(), 2u);
    const RegisteredApp& tool = (*apps)[0];
    EXPECT_EQ(tool.name, "Tool");
    EXPECT_EQ(tool.scope, "HKLM");
    EXPECT_EQ(tool.applicationName, "Tool");
    EXPECT_EQ(tool.description, "Opens .abc");
    EXPECT_TRUE(tool.hidden);
    ASSERT_EQ(tool.files.size(), 1u);
    EXPECT_EQ(tool.files[0].progId, "Tool.abc");
    ASSERT_EQ(tool.urls.size(), 1u);
    EXPECT_EQ(tool.urls[0].name, "tool");
    // One whose Capabilities key is missing is listed with nothing declared.
    EXPECT_EQ((*apps)[1].name, "Gone");
    EXPECT_EQ((*apps)[1].applicationName, "");
    EXPECT_TRUE((*apps)[1].files.empty());
}

} // namespace
} // namespace moxalo::catalogue::effective
