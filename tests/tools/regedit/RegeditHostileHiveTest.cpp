// regedit on a hive whose subkey lists trap a walk: an export meets each key once and ends in
// seconds, where it once ran without end.

#include "base/Utf16.h"
#include "tests/support/HostileHives.h"
#include "tests/tools/regedit/RegeditTestSupport.h"

#include <gtest/gtest.h>

using namespace moxalo::testing;

namespace {

// Ample for each run here, which takes well under a second.
constexpr int kSecondsAllowed = 10;

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(RegeditHostileHive, AnExportMeetsEachKeyOnceThoughItsListsNameItTwice) {
    TempDir dir;
    std::string hive = dir.file("UsrClass.dat");
    writeDoubledChain(hive, 40);
    std::string file = dir.file("all.reg");
    CliRun run = regedit({"/e", file}, dir, registryVariable({hive}), kSecondsAllowed);
    ASSERT_FALSE(run.hung);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(occurrences(run.err, "warning: " + hive + ": damaged key \".a\" (cell"), 1u)
        << run.err;
    std::string bytes = readFile(file);
    ASSERT_TRUE(bytes.starts_with("\xFF\xFE"));
    std::string text = moxalo::text::utf16leToUtf8(
        reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, bytes.size() - 2);
    EXPECT_EQ(occurrences(text, "\r\n[HKEY_CLASSES_ROOT\\.a"), 41u);
    EXPECT_EQ(occurrences(text, "\r\n[HKEY_CLASSES_ROOT\\"), 42u);
}
