// regedit on hives whose subkey lists trap a walk: an export meets each key once, and a
// deletion the hive cannot take is refused with the file left as it was. Each run ends in
// seconds, where it once ran without end or crashed.

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

TEST(RegeditHostileHive, ADeletionTheHiveCannotTakeIsRefusedAndTheFileKept) {
    TempDir dir;
    std::string hive = dir.file("UsrClass.dat");
    std::string file = dir.file("delete.reg");
    auto deleting = [&](const std::string& key) {
        writeFile(file, "REGEDIT4\r\n\r\n[-HKEY_CLASSES_ROOT\\" + key + "]\r\n");
        std::string before = readFile(hive);
        CliRun run = regedit({"/I", file}, dir, registryVariable({hive}), kSecondsAllowed);
        EXPECT_FALSE(run.hung) << key;
        EXPECT_FALSE(run.crashed) << key;
        EXPECT_EQ(run.status, 0) << key;
        EXPECT_TRUE(readFile(hive) == before) << key << ": the hive changed";
        return run.err;
    };
    std::string prefix = "moxalo-regedit: " + file + ": line 3: key not deleted: " + hive +
                         ": cannot delete the key ";

    // Far deeper than 512 levels, where libhivex's recursive delete must not be reached: at
    // 100 000 it runs out of stack. Fewer keep the test quick under the sanitizers, where
    // libhivex adds keys one by one slowly.
    writeDeepChain(hive, 20000);
    std::string err = deleting(".deep");
    EXPECT_NE(err.find(prefix + "\".deep\": its subkeys are nested deeper than 512 levels\n"),
              std::string::npos)
        << err;
}
