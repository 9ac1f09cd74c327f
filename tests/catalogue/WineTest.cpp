// What a Wine prefix's programs see, and what Wine exports to the Linux desktop: a fresh
// prefix made by wineboot (tests/fixtures/effective/make_wine_prefix.sh), and rules given in
// .reg text.
#include "catalogue/effective/AssociationTexts.h"
#include "tests/catalogue/EffectiveFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace moxalo::catalogue::effective {
namespace {

using testing::TempDir;

const std::string kFreshPrefix = std::string(MOXALO_FIXTURES) + "/effective/wine-fresh";

std::string copyOfFreshPrefix(const TempDir& dir, const std::string& userAddition) {
    std::string prefix = dir.file("prefix");
    std::filesystem::create_directories(prefix);
    std::filesystem::copy_file(kFreshPrefix + "/system.reg", prefix + "/system.reg");
    testing::writeFile(prefix + "/user.reg",
                       testing::readFile(kFreshPrefix + "/user.reg") + userAddition);
    return prefix;
}

std::vector<std::string> exportedByRules(const std::vector<WineExport>& exports) {
    std::vector<std::string> names;
    for (const auto& e : exports)
        if (e.byRules)
            names.push_back(e.extension);
    return names;
}

const WineExport* exportOf(const std::vector<WineExport>& exports, const std::string& name) {
    for (const auto& e : exports)
        if (e.extension == name)
            return &e;
    return nullptr;
}

TEST(Wine, AFreshPrefixExportsWhatWinemenubuilderWould) {
    TempDir xdg;
    auto opened = testing::openView({kFreshPrefix});
    ASSERT_TRUE(opened.view);
    auto exports = opened.view->wineExports(xdg.path());
    ASSERT_TRUE(exports) << exports.error();
    EXPECT_EQ(exportedByRules(*exports),
              (std::vector<std::string>{".chm", ".hlp", ".msp", ".vbs"}));
    const WineExport* txt = exportOf(*exports, ".txt");
    ASSERT_NE(txt, nullptr);
    EXPECT_EQ(txt->why, "its command has notepad.exe (Wine's default list)");
    EXPECT_EQ(txt->mimeType, "text/plain");
    const WineExport* exe = exportOf(*exports, ".exe");
    ASSERT_NE(exe, nullptr);
    EXPECT_EQ(exe->why, "Wine never exports .exe");
    const WineExport* chm = exportOf(*exports, ".chm");
    EXPECT_EQ(chm->progId, "chm.file");
    EXPECT_EQ(chm->mimeType, "application/x-wine-extension-chm");
    EXPECT_FALSE(chm->recorded);
    EXPECT_EQ(chm->desktopFile, "");
}

TEST(Wine, SeesTheRecordsTheFilesAndTheUsersRules) {
    TempDir dir, xdg;
    std::filesystem::create_directories(xdg.file("applications"));
    testing::writeFile(xdg.file("applications/wine-extension-vbs.desktop"), "[Desktop Entry]\n");
    std::string prefix = copyOfFreshPrefix(
        dir, "\n[Software\\\\Wine\\\\FileOpenAssociations] 1796718954\n"
             "\"Exclude\"=str(7):\"hh.exe\\0\"\n\n"
             "[Software\\\\Wine\\\\FileOpenAssociations\\\\.vbs] 1796718954\n"
             "\"MimeType\"=\"application/x-wine-extension-vbs\"\n\"ProgID\"=\"VBSFile\"\n"
             "\"AppName\"=\"Microsoft (r) Windows Based Script Host\"\n");
    auto opened = testing::openView({prefix});
    ASSERT_TRUE(opened.view);
    auto exports = opened.view->wineExports(xdg.path());
    ASSERT_TRUE(exports) << exports.error();
    // The user's list replaces Wine's own: notepad's .txt goes out, hh.exe's .chm does not.
    auto names = exportedByRules(*exports);
    EXPECT_NE(std::find(names.begin(), names.end(), ".txt"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), ".chm"), names.end());
    const WineExport* vbs = exportOf(*exports, ".vbs");
    ASSERT_NE(vbs, nullptr);
    EXPECT_TRUE(vbs->recorded);
    EXPECT_TRUE(vbs->byRules);
    EXPECT_EQ(vbs->appName, "Microsoft (r) Windows Based Script Host");
    EXPECT_EQ(vbs->desktopFile, xdg.file("applications/wine-extension-vbs.desktop"));
    EXPECT_EQ(vbs->mimeFile, "");
}

TEST(Wine, ExportsNothingWhenTheUserTurnedItOff) {
    TempDir dir, xdg;
    std::string prefix = copyOfFreshPrefix(
        dir, "\n[Software\\\\Wine\\\\FileOpenAssociations] 1796718954\n\"Enable\"=\"N\"\n");
    auto opened = testing::openView({prefix});
    auto exports = opened.view->wineExports(xdg.path());
    ASSERT_TRUE(exports);
    EXPECT_TRUE(exportedByRules(*exports).empty());
    EXPECT_EQ(exportOf(*exports, ".chm")->why,
              "Enable is N under Software\\Wine\\FileOpenAssociations");
}

TEST(Wine, MarksATypeOnlyTheUsersClassesDeclareAsUnseenByWine) {
    TempDir dir;
    std::string prefix = copyOfFreshPrefix(
        dir, "\n[Software\\\\Classes\\\\.mine] 1796718954\n@=\"minefile\"\n\n"
             "[Software\\\\Classes\\\\minefile\\\\shell\\\\open\\\\command] 1796718954\n"
             "@=\"mine.exe %1\"\n");
    auto opened = testing::openView({prefix});
    ASSERT_TRUE(opened.view);
    auto mine = opened.view->resolve(".mine");
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->progId, "minefile");
    EXPECT_FALSE(mine->seenByWine);
    // The list's row says so too, in its Via column and its tooltip, unmarked: nothing is wrong.
    EffectiveCells row = cellsOf(*mine);
    EXPECT_EQ(row.cells[2], "user class, not seen by Wine");
    EXPECT_NE(row.why.find("Wine programs"), std::string::npos);
    EXPECT_FALSE(row.marked);
    auto txt = opened.view->resolve(".txt");
    ASSERT_TRUE(txt);
    EXPECT_EQ(txt->progId, "txtfile");
    EXPECT_TRUE(txt->seenByWine);
    EXPECT_EQ(cellsOf(*txt).cells[2], "machine class");
    EXPECT_TRUE(cellsOf(*txt).why.empty());
}

} // namespace
} // namespace moxalo::catalogue::effective
