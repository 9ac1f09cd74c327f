// An extension's details, their text block and the list files, byte for byte.

#include "catalogue/DetailsReport.h"
#include "catalogue/KeyDetails.h"
#include "catalogue/ListFile.h"
#include "tests/catalogue/CatalogueFixture.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo::catalogue;
using namespace moxalo::testing;

namespace {

const std::vector<CatalogueEntry> kThreeRows = {
    {"abc", "ABC File", "No", "HKEY_CLASSES_ROOT\\.abc"},
    {"txt", "Text Document", "Yes", "HKEY_CLASSES_ROOT\\.txt"},
    {"xyz", "XYZ File", "No", "HKEY_CLASSES_ROOT\\.xyz"},
};

struct SaveRecorder : ListSaveListener {
    long long finished = -1;
    void SaveFinished(long long rows) override { finished = rows; }
};

} // namespace

TEST(KeyDetails, ReadsTypeIconActionsAndFallsBackToTheExtensionKey) {
    auto& store = mountCatalogueFixture();
    KeyDetails abc = ReadKeyDetails("abc");
    EXPECT_EQ(abc.ExtensionKey, ".abc");
    EXPECT_EQ(abc.KeyValue, "abcfile");
    EXPECT_EQ(abc.TypeKey, "abcfile");
    EXPECT_EQ(abc.DefaultIcon, "C:\\x.ico");
    EXPECT_EQ(abc.Actions, (std::vector<ShellAction>{{"open", "notepad %1"}, {"&Print", ""}}));

    KeyDetails txt = ReadKeyDetails("TXT");
    EXPECT_EQ(txt.ContentType, "text/plain");
    EXPECT_EQ(txt.DefaultIcon, "%SystemRoot%\\system32\\imageres.dll,-102") << "not expanded";
    EXPECT_EQ(txt.DefaultAction, "open");

    // No type: icon and verbs are looked for under the extension key itself.
    put(store, ".raw\\DefaultIcon", "", sz("raw.ico"));
    put(store, ".raw\\shell", "", sz("view"));
    put(store, ".raw\\shell\\view\\command", "", sz("viewer %1"));
    KeyDetails raw = ReadKeyDetails("raw");
    EXPECT_EQ(raw.KeyValue, "");
    EXPECT_EQ(raw.TypeKey, ".raw");
    EXPECT_EQ(raw.DefaultIcon, "raw.ico");
    EXPECT_EQ(raw.Actions, (std::vector<ShellAction>{{"view", "viewer %1"}}));

    KeyDetails missing = ReadKeyDetails("xyz");
    EXPECT_EQ(missing.TypeKey, ".xyz");
    EXPECT_TRUE(missing.Actions.empty());
    EXPECT_EQ(ReadKeyDetails("").ExtensionKey, ".");
}

TEST(DetailsReport, WorkedExampleComesOutExactly) {
    mountCatalogueFixture();
    Export_Key_Details("abc", "ABC File");
    EXPECT_EQ(strKeyDetails, readFile(fixturePath("abc-details.txt")));
}

TEST(ListFiles, PlainAndExtendedFilesMatchByteForByte) {
    mountCatalogueFixture();
    TempDir dir;
    ASSERT_TRUE(Export_List(kThreeRows, dir.file("plain.txt")));
    EXPECT_EQ(readFile(dir.file("plain.txt")), readFile(fixturePath("three-rows.txt")));

    SaveRecorder r;
    ASSERT_TRUE(Export_List_Extended(kThreeRows, dir.file("extended.txt"), r));
    EXPECT_EQ(readFile(dir.file("extended.txt")), readFile(fixturePath("three-rows-extended.txt")));
    EXPECT_EQ(r.finished, 3);

    ASSERT_TRUE(Export_List({}, dir.file("empty.txt")));
    EXPECT_EQ(readFile(dir.file("empty.txt")), "");
}
