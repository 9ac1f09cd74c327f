// The catalogue scan over small registries: which rows, in which order, with what progress.

#include "catalogue/CatalogueScan.h"

#include "catalogue/Progress.h"
#include "tests/catalogue/CatalogueFixture.h"

#include <gtest/gtest.h>

using namespace moxalo::catalogue;
using namespace moxalo::testing;

namespace {

struct Recorder : ScanListener {
    std::vector<CatalogueEntry> rows;
    std::vector<int> progress;
    std::vector<std::string> events;
    void ScanStarted() override { events.push_back("started"); }
    void Progress(int value) override { progress.push_back(value); }
    void RowFound(const CatalogueEntry& row) override { rows.push_back(row); }
    void DoEvents() override {}
    void ScanFinished(long long n) override { events.push_back("finished " + std::to_string(n)); }
    void ScanFailed(const std::string& message) override { events.push_back(message); }
};

} // namespace

TEST(CatalogueScan, ListsExtensionKeysInIndexOrderAndSkipsTheRest) {
    mountCatalogueFixture();
    Recorder r;
    auto outcome = LoadList("0", r);
    ASSERT_TRUE(outcome);
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0], (CatalogueEntry{"", "File", "No", "HKEY_CLASSES_ROOT\\."}));
    EXPECT_EQ(r.rows[1], (CatalogueEntry{"abc", "ABC File", "No", "HKEY_CLASSES_ROOT\\.abc"}));
    EXPECT_EQ(r.rows[2],
              (CatalogueEntry{"txt", "Text Document", "Yes", "HKEY_CLASSES_ROOT\\.txt"}));
    EXPECT_EQ(r.events, (std::vector<std::string>{"started", "finished 3"}));
    EXPECT_EQ(outcome->rows, 3);
    EXPECT_EQ(outcome->extensionKeysSeen, 3);
}

TEST(CatalogueScan, OpenWithSettingFiltersOrFailsBeforeTheListIsTouched) {
    mountCatalogueFixture();
    for (const char* on : {"1", "2", "-1", " 1 "}) {
        Recorder r;
        auto outcome = LoadList(on, r);
        ASSERT_TRUE(outcome) << on;
        ASSERT_EQ(r.rows.size(), 1u) << on;
        EXPECT_EQ(r.rows[0].Extension, "txt");
        EXPECT_EQ(outcome->extensionKeysSeen, 3) << "filtered keys still count for the bar";
        EXPECT_EQ(r.progress.size(), 3u);
    }
    for (const char* bad : {"", "abc", "1x"}) {
        Recorder r;
        auto outcome = LoadList(bad, r);
        EXPECT_TRUE(r.rows.empty());
        EXPECT_EQ(r.events, (std::vector<std::string>{"Error: 13 - Type mismatch"})) << bad;
        ASSERT_FALSE(outcome);
        EXPECT_EQ(outcome.error(), "Error: 13 - Type mismatch");
    }
}

TEST(CatalogueScan, ProgressFillsAtSixHundredExtensionKeysRoundingHalvesToEven) {
    EXPECT_EQ(ProgressValue(3), 0);  // 0.5
    EXPECT_EQ(ProgressValue(9), 2);  // 1.5
    EXPECT_EQ(ProgressValue(15), 2); // 2.5
    EXPECT_EQ(ProgressValue(600), 100);
    EXPECT_EQ(ProgressValue(5000), 100);

    auto store = std::make_unique<moxalo::registry::MemoryStore>();
    for (int i = 0; i < 600; ++i)
        store->createPath("." + std::to_string(100000 + i));
    mountMemory(std::move(store));
    Recorder r;
    ASSERT_TRUE(LoadList("0", r));
    ASSERT_EQ(r.progress.size(), 600u);
    EXPECT_EQ(r.progress[299], 50);
    EXPECT_EQ(r.progress[599], 100);
    EXPECT_EQ(r.rows[0].TypeName, "100000 File");
}

TEST(CatalogueScan, AnEnumerationErrorEndsTheScanQuietlyWithTheRowsSoFar) {
    auto& store = mountCatalogueFixture();
    // A name longer than the 260-character buffer makes the enumeration answer ERROR_MORE_DATA.
    store.createPath(".abd" + std::string(300, 'x'));
    Recorder r;
    auto outcome = LoadList("0", r);
    ASSERT_TRUE(outcome);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[1].Extension, "abc");
    EXPECT_EQ(r.events, (std::vector<std::string>{"started", "finished 2"}));
}
