// A dirty hive read with its transaction logs replayed in memory, as Windows loads it: what the
// logs hold is read, the hive file is never written, and logs that are damaged or do not
// continue the hive stop the replay where Windows stops it.

#include "registry/hive/HiveLogs.h"

#include "registry/Sources.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveOpening.h"
#include "registry/hive/Marvin32.h"
#include "registry/hivewriter/EmptyHive.h"
#include "tests/registry/hive/HiveTestSupport.h"
#include "tests/support/TestRegistry.h"

#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace moxalo::hive {
namespace {

using namespace layout;
using registry::kNoNode;
using registry::NodeId;
using testing::readFile;
using testing::sharedHive;
using testing::writeFile;

// Added by the log entries of win10-UsrClass.dat, as a replay with libhivex's hivexml shows.
constexpr const char* kLoggedKey = "C:%5CProgram Files%5CWindowsApps%5CMicrosoft.549981C3F5F10_"
                                   "3.2111.12605.0_x64__8wekyb3d8bbwe%5Cresources.pri";
// Where the entries of win10-UsrClass.dat's logs sit: LOG1 holds 146 to 148, LOG2 149 to 151.
constexpr std::size_t kLog1Second = 512 + 93696;
constexpr std::size_t kLog2Second = 512 + 294400;

NodeId mrtCache(registry::RegistryStore& store) {
    NodeId settings = store.findChild(store.rootNode(), "Local Settings");
    return settings == kNoNode ? kNoNode : store.findChild(settings, "MrtCache");
}

// A copy of win10-UsrClass.dat with its logs, their names in another case than the hive's.
struct DirtyCopy {
    testing::TempDir dir;
    std::string hive = dir.file("UsrClass.dat");
    std::string log1 = dir.file("usrclass.DAT.log1");
    std::string log2 = dir.file("USRCLASS.dat.LOG2");
    explicit DirtyCopy(bool withLogs = true) {
        namespace fs = std::filesystem;
        fs::copy_file(sharedHive("win10-UsrClass.dat"), hive);
        if (withLogs) {
            fs::copy_file(sharedHive("win10-UsrClass.dat.LOG1"), log1);
            fs::copy_file(sharedHive("win10-UsrClass.dat.LOG2"), log2);
        }
        std::error_code absent; // the logs of a copy without them
        for (const std::string& file : {hive, log1, log2})
            fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, absent);
    }
    void change(const std::string& file, const std::function<void(std::string&)>& how) {
        std::string bytes = readFile(file);
        how(bytes);
        writeFile(file, bytes);
    }
};

// Recomputes an entry's header hash after its header was changed, as a writer of the log would.
void rehashHeader(std::string& log, std::size_t entry) {
    auto* p = reinterpret_cast<std::uint8_t*>(log.data()) + entry;
    put64(p + 32, marvin32({p, 32}, kLogEntrySeed));
}

TEST(HiveLogs, Marvin32GivesItsKnownHashes) {
    constexpr std::uint64_t seed = 0x004FB61A001BDBCCull;
    const std::pair<std::vector<std::uint8_t>, std::uint64_t> known[] = {
        {{0xaf}, 0x48E73FC77D75DDC1ull},
        {{0xe7, 0x0f}, 0xB5F6E1FC485DBFF8ull},
        {{0x37, 0xf4, 0x95}, 0xF0B07C789B8CF7E8ull},
        {{0x86, 0x42, 0xdc, 0x59}, 0x7008F2E87E9CF556ull},
    };
    for (const auto& [bytes, hash] : known)
        EXPECT_EQ(marvin32(bytes, seed), hash) << bytes.size() << " bytes";
}

// The real pair: the key the logs add is there only after the replay, the key above it was
// written later, and neither the hive file nor its logs are touched.
TEST(HiveLogs, TheRealLogsAreReplayedInMemoryOnly) {
    MOXALO_NEED_SHARED_HIVES();
    std::string path = sharedHive("win10-UsrClass.dat");
    std::string evidence = readFile(path);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);

    auto fileOnly = HiveStore::open(path);
    OpenedHive opened = openHiveFile(path, "holder ");
    EXPECT_EQ(opened.state, "dirty; 6 log entries applied");
    EXPECT_EQ(opened.warnings, std::vector<std::string>{});
    HiveStore& replayed = *opened.store;
    EXPECT_EQ(replayed.origin(), path);
    ASSERT_NE(mrtCache(*fileOnly), kNoNode);
    ASSERT_NE(mrtCache(replayed), kNoNode);
    EXPECT_EQ(fileOnly->findChild(mrtCache(*fileOnly), kLoggedKey), kNoNode);
    NodeId logged = replayed.findChild(mrtCache(replayed), kLoggedKey);
    ASSERT_NE(logged, kNoNode);
    EXPECT_GT(replayed.childCount(logged), 0u);
    EXPECT_GT(replayed.lastWritten(mrtCache(replayed)), fileOnly->lastWritten(mrtCache(*fileOnly)));
    EXPECT_EQ(replayed.childCount(replayed.rootNode()), fileOnly->childCount(fileOnly->rootNode()));

    // The NTUSER.DAT of the same machine: a value the logs changed.
    std::string ntuser = sharedHive("win10-NTUSER.DAT");
    OpenedHive user = openHiveFile(ntuser, "holder ");
    EXPECT_EQ(user.state, "dirty; 4 log entries applied");
    auto userFile = HiveStore::open(ntuser);
    auto count = [](registry::RegistryStore& s) {
        NodeId key = s.rootNode();
        for (const char* name : {"Software", "Microsoft", "Windows", "CurrentVersion", "Explorer",
                                 "UserAssist", "{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}", "Count"})
            key = key == kNoNode ? kNoNode : s.findChild(key, name);
        return key == kNoNode ? std::nullopt : s.findValue(key, "HRZR_PGYFRFFVBA");
    };
    ASSERT_NE(count(*user.store), std::nullopt);
    ASSERT_NE(count(*userFile), std::nullopt);
    EXPECT_NE(count(*user.store), count(*userFile));

    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(readFile(path), evidence);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

// Read-only, however writable the file: writing the hive now would lose what the logs hold.
TEST(HiveLogs, AReplayedHiveRefusesChanges) {
    MOXALO_NEED_SHARED_HIVES();
    DirtyCopy copy;
    std::string evidence = readFile(copy.hive);
    OpenedHive opened = openHiveFile(copy.hive, "holder ");
    ASSERT_EQ(opened.state, "dirty; 6 log entries applied");
    auto why = opened.store->whyReadOnly();
    ASSERT_NE(why, std::nullopt);
    EXPECT_NE(why->find("logs would have to be applied to the file first"), std::string::npos);
    NodeId root = opened.store->rootNode();
    EXPECT_THROW(opened.store->createKey(root, ".moxalo"), registry::AccessDenied);
    EXPECT_THROW(opened.store->deleteKey(root, opened.store->childName(root, 0)),
                 registry::AccessDenied);
    EXPECT_TRUE(why->starts_with(copy.hive + ": ")) << *why;
    EXPECT_EQ(whyHiveFileReadOnly(copy.hive), why);
    EXPECT_EQ(readFile(copy.hive), evidence);

    registry::SourceChoice choice;
    choice.paths = {copy.hive};
    auto registry = registry::openRegistry(choice);
    ASSERT_TRUE(registry) << registry.error();
    EXPECT_EQ(registry->sources.at(0).state, "dirty; 6 log entries applied");
    EXPECT_NE(registry::whySourcesReadOnly(choice), std::nullopt);
}

// Windows stops at the first entry it cannot use, and so does the replay; the hive opens with
// what came before it, and the user is told where it stopped.
TEST(HiveLogs, ADamagedEntryStopsTheReplay) {
    MOXALO_NEED_SHARED_HIVES();
    {
        DirtyCopy copy;
        copy.change(copy.log2, [](std::string& log) { log[kLog2Second + 4096] ^= 1; });
        OpenedHive opened = openHiveFile(copy.hive, "holder ");
        EXPECT_EQ(opened.state, "dirty; 4 log entries applied");
        ASSERT_EQ(opened.warnings.size(), 1u);
        EXPECT_EQ(opened.warnings[0],
                  copy.log2 + ": the log entry at offset 0x48000 (sequence number 150) cannot be "
                              "used: its hashes do not match its contents; the replay stops there");
        EXPECT_GT(opened.store->childCount(opened.store->rootNode()), 0u);
    }
    {
        DirtyCopy copy; // LOG1 cut off in its second entry: LOG2 is not reached
        copy.change(copy.log1, [](std::string& log) { log.resize(kLog1Second + 1000); });
        OpenedHive opened = openHiveFile(copy.hive, "holder ");
        EXPECT_EQ(opened.state, "dirty; 1 log entry applied");
        ASSERT_FALSE(opened.warnings.empty());
        EXPECT_EQ(opened.warnings[0], copy.log1 +
                                          ": the log entry at offset 0x17000 (sequence number "
                                          "147) cannot be used: it is cut off: the log ends "
                                          "before it does; the replay stops there");
        // Half the logs leave a hive half as it was and half as it became, as on Windows: its
        // damage is told after, and it is read all the same.
        for (std::size_t i = 1; i < opened.warnings.size(); ++i)
            EXPECT_TRUE(opened.warnings[i].starts_with(copy.hive + ": damaged"))
                << opened.warnings[i];
        EXPECT_GT(opened.store->childCount(opened.store->rootNode()), 0u);
    }
    {
        DirtyCopy copy; // the first entry damaged: nothing applies, and the file is read
        copy.change(copy.log1, [](std::string& log) { log[512 + 40] ^= 1; });
        OpenedHive opened = openHiveFile(copy.hive, "holder ");
        EXPECT_EQ(opened.state,
                  "dirty; no log entry applies: what Windows last flushed may be missing");
        EXPECT_EQ(opened.store->findChild(mrtCache(*opened.store), kLoggedKey), kNoNode);
        EXPECT_NE(opened.store->whyReadOnly(), std::nullopt);
    }
}

TEST(HiveLogs, LogsThatDoNotContinueTheHiveAreNotApplied) {
    MOXALO_NEED_SHARED_HIVES();
    {
        // The hive written past every entry the logs hold: they are old, and none applies.
        DirtyCopy copy;
        copy.change(copy.hive, [](std::string& hive) {
            auto* p = reinterpret_cast<std::uint8_t*>(hive.data());
            put32(p + base::kSequence1, 301);
            put32(p + base::kSequence2, 300);
            put32(p + base::kChecksum, baseBlockChecksum(p));
        });
        OpenedHive opened = openHiveFile(copy.hive, "holder ");
        EXPECT_EQ(opened.state,
                  "dirty; no log entry applies: what Windows last flushed may be missing");
        EXPECT_EQ(opened.warnings,
                  (std::vector<std::string>{
                      copy.log1 + ": its log entries (up to sequence number 148) are older than "
                                  "the hive (sequence number 300); none applies",
                      copy.log2 + ": its log entries (up to sequence number 151) are older than "
                                  "the hive (sequence number 300); none applies"}));
        EXPECT_EQ(opened.store->findChild(mrtCache(*opened.store), kLoggedKey), kNoNode);
        EXPECT_NE(opened.store->whyReadOnly(), std::nullopt);
        EXPECT_EQ(whyHiveFileReadOnly(copy.hive), opened.store->whyReadOnly());
    }
    {
        // LOG2's entries renumbered past a gap, their hashes made good: only LOG1 applies.
        DirtyCopy copy;
        copy.change(copy.log2, [](std::string& log) {
            for (std::size_t entry = 512; log.compare(entry, 4, "HvLE") == 0;) {
                auto* p = reinterpret_cast<std::uint8_t*>(log.data()) + entry;
                put32(p + 12, get32(p + 12) + 10);
                rehashHeader(log, entry);
                entry += get32(p + 4);
            }
        });
        OpenedHive opened = openHiveFile(copy.hive, "holder ");
        EXPECT_EQ(opened.state, "dirty; 3 log entries applied");
        EXPECT_EQ(opened.warnings,
                  std::vector<std::string>{copy.log2 + ": its log entries begin at sequence "
                                                       "number 159, not right after sequence "
                                                       "number 148; none of them applies"});
    }
}

// The format before Windows 8.1: a dirty vector and the pages it marks, one write that applies
// to the hive it was written for, as their base blocks' time stamps tell.
TEST(HiveLogs, AnOldFormatLogAppliesToTheHiveItWasWrittenFor) {
    std::vector<std::uint8_t> hive = emptyHiveBytes();
    auto* block = hive.data();
    put32(block + base::kSequence1, 5);
    put32(block + base::kSequence2, 4);
    put32(block + base::kChecksum, baseBlockChecksum(block));
    // The log: the base block's first sector as a log's, the vector marking the bins' first
    // page, and that page with the root key renamed.
    std::vector<std::uint8_t> log(block, block + 512);
    put32(log.data() + base::kFileType, 1);
    put32(log.data() + base::kSequence2, 5);
    put32(log.data() + base::kChecksum, baseBlockChecksum(log.data()));
    log.resize(1024);
    std::memcpy(log.data() + 512, "DIRT\x01", 5);
    log.insert(log.end(), hive.begin() + kBaseBlockSize, hive.begin() + kBaseBlockSize + 512);
    std::size_t root = get32(block + base::kRootCell);
    std::memcpy(log.data() + 1024 + root + nk::kName, "TOOR", 4);

    testing::TempDir dir;
    std::string path = dir.file("NTUSER.DAT");
    auto text = [](const std::vector<std::uint8_t>& b) { return std::string(b.begin(), b.end()); };
    writeFile(path, text(hive));
    writeFile(path + ".LOG1", text(log));
    OpenedHive opened = openHiveFile(path, "holder ");
    EXPECT_EQ(opened.state, "dirty; 1 log entry applied");
    EXPECT_EQ(opened.warnings, std::vector<std::string>{});
    EXPECT_EQ(opened.store->rootName(), "TOOR");
    EXPECT_EQ(readFile(path), text(hive));

    put64(log.data() + base::kTimestamp, get64(block + base::kTimestamp) + 1);
    put32(log.data() + base::kChecksum, baseBlockChecksum(log.data()));
    writeFile(path + ".LOG1", text(log));
    opened = openHiveFile(path, "holder ");
    EXPECT_EQ(opened.state,
              "dirty; no log entry applies: what Windows last flushed may be missing");
    EXPECT_EQ(opened.warnings, std::vector<std::string>{path + ".LOG1: it was written for another "
                                                               "state of the hive (its time stamp "
                                                               "differs); it is not applied"});
    EXPECT_EQ(opened.store->rootName(), "ROOT");
}

// Without logs a dirty hive is read as its file has it, and may be written; a clean one is
// read as ever, its logs not looked at.
TEST(HiveLogs, HivesWithoutLogsToApply) {
    MOXALO_NEED_SHARED_HIVES();
    DirtyCopy alone(false);
    OpenedHive opened = openHiveFile(alone.hive, "holder ");
    EXPECT_EQ(opened.state, "dirty; no logs: what Windows last flushed may be missing");
    auto why = opened.store->whyReadOnly();
    ASSERT_NE(why, std::nullopt);
    EXPECT_NE(why->find("no transaction log of it was applied"), std::string::npos) << *why;
    EXPECT_EQ(whyHiveFileReadOnly(alone.hive), why);
    EXPECT_THROW(opened.store->createKey(opened.store->rootNode(), ".moxalo"),
                 registry::AccessDenied);
    EXPECT_EQ(opened.store->findChild(mrtCache(*opened.store), kLoggedKey), kNoNode);

    DirtyCopy clean;
    clean.change(clean.hive, [](std::string& hive) {
        auto* p = reinterpret_cast<std::uint8_t*>(hive.data());
        put32(p + base::kSequence1, get32(p + base::kSequence2));
        put32(p + base::kChecksum, baseBlockChecksum(p));
    });
    opened = openHiveFile(clean.hive, "holder ");
    EXPECT_EQ(opened.state, "");
    EXPECT_EQ(opened.warnings, std::vector<std::string>{});
    EXPECT_EQ(opened.store->findChild(mrtCache(*opened.store), kLoggedKey), kNoNode);
    EXPECT_EQ(whyHiveFileReadOnly(clean.hive), std::nullopt);
}

} // namespace
} // namespace moxalo::hive
