// One real user's pair of hives (win10-NTUSER.DAT with win10-UsrClass.dat), without the
// machine's SOFTWARE: the choices Windows wrote, verified, and what they lead to.
#include "tests/catalogue/EffectiveFixture.h"
#include "tests/support/SharedHives.h"

#include <gtest/gtest.h>

namespace moxalo::catalogue::effective {
namespace {

using testing::sharedHive;

constexpr const char* kSid = "S-1-5-21-2290304894-658537038-505560459-1001";
constexpr const char* kPhotos = "AppX43hnxtbyyps62jhe9sqpdzxn1790zetc";

testing::OpenedView openPair() {
    return testing::openView({sharedHive("win10-UsrClass.dat"), sharedHive("win10-NTUSER.DAT")});
}

TEST(RealUser, FindsTheUsersSid) {
    MOXALO_NEED_SHARED_HIVES();
    auto opened = openPair();
    ASSERT_TRUE(opened.view);
    EXPECT_EQ(opened.view->sid(), kSid);
    EXPECT_EQ(opened.view->sidFrom(), "UserChoice owner");
}

TEST(RealUser, ResolvesTheChoicesWindowsWrote) {
    MOXALO_NEED_SHARED_HIVES();
    auto opened = openPair();
    ASSERT_TRUE(opened.view);
    struct Case {
        const char* extension;
        const char* progId;
        Via via;
        Choice choice;
        bool dangling;
    };
    const Case cases[] = {
        {".txt", "txtfile", Via::UserChoice, Choice::Verified, true},
        {".jpg", kPhotos, Via::UserChoice, Choice::Verified, false},
        // A machine ProgID: only a SOFTWARE hive could show it exists.
        {".pdf", "MSEdgePDF", Via::UserChoice, Choice::Verified, true},
        {".json", "", Via::None, Choice::None, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        auto a = opened.view->resolve(c.extension);
        ASSERT_TRUE(a) << a.error();
        EXPECT_EQ(a->progId, c.progId);
        EXPECT_EQ(viaText(a->via), viaText(c.via));
        EXPECT_EQ(choiceText(a->choice), choiceText(c.choice)) << a->choiceWhy;
        EXPECT_EQ(a->dangling, c.dangling);
    }
    auto jpg = opened.view->resolve(".jpg");
    EXPECT_EQ(jpg->appUserModelId, "Microsoft.Windows.Photos_8wekyb3d8bbwe!App");
    EXPECT_EQ(jpg->delegateExecute, "{4ED3A719-CEA8-4BD9-910D-E252F997AFC2}");
    EXPECT_EQ(jpg->command, "");
    EXPECT_TRUE(jpg->defaultApp.starts_with("@{Microsoft.Windows.Photos_")) << jpg->defaultApp;
}

TEST(RealUser, EveryChoiceOfAFileTypeVerifies) {
    MOXALO_NEED_SHARED_HIVES();
    auto opened = openPair();
    ASSERT_TRUE(opened.view);
    auto names = opened.view->extensions();
    ASSERT_TRUE(names);
    int verified = 0, withChoice = 0;
    for (const auto& name : *names) {
        auto a = opened.view->resolve(name);
        ASSERT_TRUE(a) << a.error();
        withChoice += a->choice != Choice::None;
        verified += a->choice == Choice::Verified;
    }
    EXPECT_EQ(withChoice, 105);
    EXPECT_EQ(verified, 105);
}

// A Hash value changed by hand in a copy of the hive, as a tool that sets a default would.
TEST(RealUser, AChoiceWhoseHashFailsIsPassedOver) {
    MOXALO_NEED_SHARED_HIVES();
    testing::TempDir dir;
    std::string ntuser = testing::readFile(sharedHive("win10-NTUSER.DAT"));
    auto utf16 = [](std::string_view text) {
        std::string bytes;
        for (char c : text)
            bytes += std::string{c, '\0'};
        return bytes;
    };
    std::size_t at = ntuser.find(utf16("u9sCH+5kbkI="));
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(ntuser.find(utf16("u9sCH+5kbkI="), at + 1), std::string::npos);
    ntuser.replace(at, 24, utf16("AAAAAAAAAAA="));
    testing::writeFile(dir.file("NTUSER.DAT"), ntuser);
    auto opened = testing::openView({sharedHive("win10-UsrClass.dat"), dir.file("NTUSER.DAT")});
    ASSERT_TRUE(opened.view);
    auto txt = opened.view->resolve(".txt");
    ASSERT_TRUE(txt) << txt.error();
    EXPECT_EQ(choiceText(txt->choice), "hash fails");
    EXPECT_EQ(txt->choiceProgId, "txtfile");
    EXPECT_EQ(txt->progId, "");
    ASSERT_FALSE(txt->hops.empty());
    EXPECT_NE(txt->hops[0].note.find("Windows resets such a choice: passed over"),
              std::string::npos)
        << txt->hops[0].note;
}

TEST(RealUser, OffersTheOpenWithCandidatesInWindowsOrder) {
    MOXALO_NEED_SHARED_HIVES();
    auto opened = openPair();
    ASSERT_TRUE(opened.view);
    auto json = opened.view->openWith(".json");
    ASSERT_TRUE(json) << json.error();
    std::vector<std::string> handlers;
    for (const auto& c : *json)
        handlers.push_back(c.handler + " / " + c.source);
    EXPECT_EQ(handlers, (std::vector<std::string>{
                            "NOTEPAD.EXE / FileExts OpenWithList",
                            "{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\OpenWith.exe / FileExts "
                            "OpenWithList"}));
    // The Capabilities that claim .jpg name the same three apps, each listed once, first where
    // Windows first finds it.
    auto jpg = opened.view->openWith(".jpg");
    ASSERT_TRUE(jpg);
    handlers.clear();
    for (const auto& c : *jpg)
        handlers.push_back(c.handler + " / " + c.source);
    EXPECT_EQ(handlers, (std::vector<std::string>{
                            std::string(kPhotos) + " / UserChoice",
                            "AppXcdh38jxzbcberv50vxg2tg4k84kfnewn / HKCR OpenWithProgids",
                            "AppX2jm25qtmp2qxstv333wv5mne3k5bf4bm / HKCR OpenWithProgids",
                            "jpegfile / FileExts OpenWithProgids"}));
    EXPECT_EQ(jpg->front().key,
              "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.jpg\\"
              "UserChoice");
}

TEST(RealUser, ReadsTheRegisteredApplicationsCapabilitiesFromTheUsersClasses) {
    MOXALO_NEED_SHARED_HIVES();
    auto opened = openPair();
    ASSERT_TRUE(opened.view);
    auto apps = opened.view->registeredApps();
    ASSERT_TRUE(apps) << apps.error();
    EXPECT_EQ(apps->size(), 56u);
    int found = 0;
    const RegisteredApp* photos = nullptr;
    for (const auto& app : *apps) {
        EXPECT_EQ(app.scope, "HKCU");
        found += !app.applicationName.empty();
        for (const auto& claim : app.files)
            if (claim.name == ".jpg" && claim.progId == kPhotos)
                photos = &app;
    }
    EXPECT_EQ(found, 52); // four name Capabilities keys that are not there
    ASSERT_NE(photos, nullptr);
    EXPECT_TRUE(photos->applicationName.starts_with("@{Microsoft.Windows.Photos_"));
}

} // namespace
} // namespace moxalo::catalogue::effective
