// Which class, verb and program open a file, step by step, in registries written as .reg text:
// every hop of the order Windows follows, and the verdicts on a user's choice.
#include "tests/catalogue/EffectiveFixture.h"

#include <gtest/gtest.h>

namespace moxalo::catalogue::effective {
namespace {

using testing::openView;
using testing::TempDir;
using testing::writeRegFile;

constexpr const char* kFileExts =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
constexpr const char* kMachine = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
constexpr const char* kUser = "[HKEY_CURRENT_USER\\Software\\Classes\\";

std::string machineAndUser() {
    std::string m = kMachine, u = kUser;
    return m + ".txt]\r\n@=\"txtfile\"\r\n\"PerceivedType\"=\"text\"\r\n\r\n" + //
           m +
           "txtfile\\shell\\open\\command]\r\n"
           "@=\"%SystemRoot%\\\\system32\\\\NOTEPAD.EXE %1\"\r\n\r\n" +
           m +
           "SystemFileAssociations\\text\\shell\\print\\command]\r\n"
           "@=\"notepad.exe /p %1\"\r\n\r\n" +
           m + ".log]\r\n\"PerceivedType\"=\"text\"\r\n\r\n" + m +
           "SystemFileAssociations\\text\\shell\\open\\command]\r\n@=\"notepad.exe %1\"\r\n\r\n" +
           m + ".jpg]\r\n\r\n" + m +
           "SystemFileAssociations\\.jpg\\shell\\edit\\command]\r\n"
           "@=\"mspaint.exe \\\"%1\\\"\"\r\n\r\n" +
           m + "*\\shell\\scan\\command]\r\n@=\"scanner.exe %1\"\r\n\r\n" + m +
           ".doc]\r\n@=\"Word.Document\"\r\n\r\n" + m +
           "Word.Document\\CurVer]\r\n@=\"Word.Document.8\"\r\n\r\n" + m +
           "Word.Document.8]\r\n\"FriendlyAppName\"=\"Microsoft Word\"\r\n\r\n" + m +
           "Word.Document.8\\shell\\open\\command]\r\n"
           "@=\"\\\"C:\\\\Program Files\\\\Office\\\\WINWORD.EXE\\\" /n \\\"%1\\\"\"\r\n\r\n" +
           m + ".rtf]\r\n@=\"rtffile\"\r\n\r\n" + m +
           "rtffile\\shell]\r\n@=\"edit,print\"\r\n\r\n" + m +
           "rtffile\\shell\\open\\command]\r\n@=\"wordpad.exe \\\"%1\\\"\"\r\n\r\n" + m +
           "rtffile\\shell\\print\\command]\r\n@=\"wordpad.exe /p \\\"%1\\\"\"\r\n\r\n" + m +
           ".md]\r\n@=\"txtfile\"\r\n\"PerceivedType\"=\"text\"\r\n\r\n" + m +
           ".bad]\r\n@=\"NoSuchClass\"\r\n\r\n" + m + ".pdf]\r\n@=\"AcroExch.Document\"\r\n\r\n" +
           m + "AcroExch.Document\\shell\\open\\command]\r\n@=\"acrord32.exe %1\"\r\n\r\n" + m +
           "Applications\\evil.exe]\r\n\r\n" +
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"
           "wordpad.exe]\r\n@=\"C:\\\\Machine\\\\WORDPAD.EXE\"\r\n\r\n" +
           "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"
           "wordpad.exe]\r\n@=\"C:\\\\User\\\\WORDPAD.EXE\"\r\n\r\n" +
           u + ".md]\r\n@=\"MdFile\"\r\n\r\n" + u +
           "MdFile\\shell\\open\\command]\r\n@=\"mdview.exe %1\"\r\n\r\n" + u +
           ".fluid\\shell\\open\\command]\r\n@=\"fluid.exe %1\"\r\n\r\n" + kFileExts +
           "\\.pdf\\UserChoice]\r\n\"ProgId\"=\"MSEdgePDF\"\r\n\"Hash\"=\"x\"\r\n\r\n" + kFileExts +
           "\\.txt\\UserChoice]\r\n\"ProgId\"=\"Applications\\\\evil.exe\"\r\n"
           "\"Hash\"=\"AAAAAAAAAAA=\"\r\n\r\n";
}

struct Expected {
    const char* extension;
    const char* verbAsked;
    const char* progId;
    Via via;
    Choice choice;
    bool dangling;
    const char* verb;
    const char* program;
    const char* defaultApp;
};

TEST(Resolution, FollowsEachHopOfWindowsOrder) {
    TempDir dir;
    auto opened = openView({writeRegFile(dir, "both.reg", machineAndUser())});
    ASSERT_TRUE(opened.view);
    const Expected cases[] = {
        // A choice that cannot be checked in a .reg file is taken, run as the bare exe.
        {".txt", "", "Applications\\evil.exe", Via::UserChoice, Choice::CannotCheck, false, "open",
         "evil.exe", "evil.exe"},
        // A choice of a ProgID that exists nowhere is passed over for the machine's class.
        {".pdf", "", "AcroExch.Document", Via::MachineClass, Choice::CannotCheck, true, "open",
         "acrord32.exe", "acrord32.exe"},
        {".md", "", "MdFile", Via::UserClass, Choice::None, false, "open", "mdview.exe",
         "mdview.exe"},
        {".fluid", "", ".fluid", Via::ExtensionClass, Choice::None, false, "open", "fluid.exe",
         "fluid.exe"},
        {".doc", "", "Word.Document.8", Via::MachineClass, Choice::None, false, "open",
         "C:\\Program Files\\Office\\WINWORD.EXE", "Microsoft Word"},
        // The class's default verbs in order, the first that exists; App Paths, HKCU's first.
        {".rtf", "", "rtffile", Via::MachineClass, Choice::None, false, "print",
         "C:\\User\\WORDPAD.EXE", "WORDPAD.EXE"},
        {".jpg", "", "", Via::SystemFileAssociations, Choice::None, false, "edit", "mspaint.exe",
         "mspaint.exe"},
        {".log", "", "", Via::PerceivedType, Choice::None, false, "open", "notepad.exe",
         "notepad.exe"},
        {".zzz", "", "", Via::AllFiles, Choice::None, false, "scan", "scanner.exe", "scanner.exe"},
        {".bad", "", "", Via::AllFiles, Choice::None, true, "scan", "scanner.exe", "scanner.exe"},
        // A verb asked for that the class lacks comes from the kind's keys.
        {"md", "print", "MdFile", Via::UserClass, Choice::None, false, "print", "notepad.exe",
         "notepad.exe"},
        {".doc", "nosuchverb", "Word.Document.8", Via::MachineClass, Choice::None, false,
         "nosuchverb", "", "Microsoft Word"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.extension) + " " + c.verbAsked);
        auto a = opened.view->resolve(c.extension, c.verbAsked);
        ASSERT_TRUE(a) << a.error();
        EXPECT_EQ(a->progId, c.progId);
        EXPECT_EQ(viaText(a->via), viaText(c.via));
        EXPECT_EQ(choiceText(a->choice), choiceText(c.choice));
        EXPECT_EQ(a->dangling, c.dangling);
        EXPECT_EQ(a->verb, c.verb);
        EXPECT_EQ(a->program, c.program);
        EXPECT_EQ(a->defaultApp, c.defaultApp);
    }
}

TEST(Resolution, TellsEachHopWithItsKeyAndWhy) {
    TempDir dir;
    auto opened = openView({writeRegFile(dir, "both.reg", machineAndUser())});
    ASSERT_TRUE(opened.view);
    auto pdf = opened.view->resolve(".pdf");
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->choiceProgId, "MSEdgePDF");
    EXPECT_EQ(pdf->choiceWhy, "the source keeps no key times, as a .reg file");
    ASSERT_GE(pdf->hops.size(), 3u);
    EXPECT_EQ(pdf->hops[0].step, "UserChoice");
    EXPECT_EQ(pdf->hops[0].key,
              "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.pdf\\"
              "UserChoice");
    EXPECT_NE(pdf->hops[0].note.find("exists nowhere"), std::string::npos);
    EXPECT_EQ(pdf->hops[1].key, "HKLM\\Software\\Classes\\.pdf");
    EXPECT_EQ(pdf->hops[2].key, "HKLM\\Software\\Classes\\AcroExch.Document\\shell\\open");
    auto doc = opened.view->resolve(".doc");
    ASSERT_TRUE(doc);
    std::vector<std::string> steps;
    for (const auto& hop : doc->hops)
        steps.push_back(hop.step + "=" + hop.value);
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "machine class=Word.Document", "CurVer=Word.Document.8", "verb=open",
                         "command=\"C:\\Program Files\\Office\\WINWORD.EXE\" /n \"%1\""}));
}

TEST(Resolution, FindsTheSidInTheHivesOrTakesTheOneGiven) {
    TempDir dir;
    std::string path = writeRegFile(dir, "both.reg", machineAndUser());
    auto unknown = openView({path});
    EXPECT_EQ(unknown.view->sid(), "");
    auto txt = unknown.view->resolve(".txt");
    EXPECT_EQ(txt->choiceWhy, "the source keeps no key times, as a .reg file");
    auto given = openView({path}, "S-1-5-21-1-2-3-1001");
    EXPECT_EQ(given.view->sid(), "S-1-5-21-1-2-3-1001");
    EXPECT_EQ(given.view->sidFrom(), "--sid");
}

TEST(Resolution, ListsTheExtensionsOfTheClassesAndOfTheUsersChoicesOnce) {
    TempDir dir;
    auto opened = openView({writeRegFile(dir, "both.reg",
                                         machineAndUser() + kFileExts + "\\.Only]\r\n\r\n" +
                                             kFileExts + "\\.TXT]\r\n\r\n")});
    auto names = opened.view->extensions();
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{".bad", ".doc", ".fluid", ".jpg", ".log", ".md",
                                                ".Only", ".pdf", ".rtf", ".txt"}));
}

} // namespace
} // namespace moxalo::catalogue::effective

namespace moxalo::catalogue::effective {
namespace {

TEST(Resolution, NamesThePolicyFileThatOverridesTheChoicesAtSignIn) {
    TempDir dir;
    auto opened = openView({writeRegFile(
        dir, "policy.reg",
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Microsoft\\Windows\\System]\r\n"
        "\"DefaultAssociationsConfiguration\"=\"C:\\\\Policies\\\\assoc.xml\"\r\n\r\n" +
            machineAndUser())});
    ASSERT_TRUE(opened.view);
    auto doc = opened.view->resolve(".doc");
    ASSERT_TRUE(doc);
    ASSERT_FALSE(doc->hops.empty());
    EXPECT_EQ(doc->hops[0].step, "policy");
    EXPECT_EQ(doc->hops[0].key, "HKLM\\Software\\Policies\\Microsoft\\Windows\\System");
    EXPECT_EQ(doc->hops[0].value, "C:\\Policies\\assoc.xml");
    EXPECT_EQ(doc->progId, "Word.Document.8");
}

} // namespace
} // namespace moxalo::catalogue::effective

namespace moxalo::catalogue::effective {
namespace {

TEST(Resolution, NamesTheKeysOfAnExportOfHkeyClassesRootByTheirRoot) {
    TempDir dir;
    auto opened = openView({writeRegFile(dir, "hkcr.reg",
                                         "[HKEY_CLASSES_ROOT\\.x]\r\n@=\"xfile\"\r\n\r\n"
                                         "[HKEY_CLASSES_ROOT\\xfile\\shell\\open\\command]\r\n"
                                         "@=\"x.exe %1\"\r\n\r\n")});
    ASSERT_TRUE(opened.view);
    auto x = opened.view->resolve(".x");
    ASSERT_TRUE(x);
    ASSERT_EQ(x->hops.size(), 3u);
    EXPECT_EQ(x->hops[0].key, "HKCR\\.x");
    EXPECT_EQ(x->hops[1].key, "HKCR\\xfile\\shell\\open");
    EXPECT_EQ(x->program, "x.exe");
}

} // namespace
} // namespace moxalo::catalogue::effective
