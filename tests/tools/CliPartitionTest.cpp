// moxalo-cli on a Windows partition: the users found and the one read, and a user to name when
// there are several.

#include "tests/support/CliRunner.h"
#include "tests/support/PartitionLayout.h"
#include "tests/support/SharedHives.h"

#include <gtest/gtest.h>
#include <string>

using namespace moxalo::testing;

TEST(CliPartition, SourcesNamesTheUsersFoundAndTheOneRead) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir dir;
    TempDir partition;
    layOutPartition(partition, {"alice", "Bob Lee"});

    CliRun run = cli({"--registry", partition.path(), "sources"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "moxalo-cli: " + partition.path() +
                           ": holds the hives of several users: alice, Bob Lee; choose one "
                           "with --user NAME\n");

    run = cli({"--registry", partition.path(), "--user", "bob lee", "sources"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    // The copies of the real hives are dirty, their logs beside them: each hive says so.
    EXPECT_EQ(run.out, "Chosen by: --registry\nWindows partition\t" + partition.path() +
                           "\tuser: Bob Lee\tusers: alice, Bob Lee\t(UsrClass.DAT: dirty; 6 log "
                           "entries applied; ntuser.dat: dirty; 4 log entries applied)\n");
    EXPECT_EQ(run.err, "");

    // The machine's class and the user's, one over the other.
    run = cli({"--registry", partition.path(), "--user=alice", "query", ".pdf"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("AcroExch.Document"), std::string::npos) << run.out;

    // The user the window passes on to the programs it starts.
    run = cli({"--registry", partition.path(), "sources"}, dir, {"MOXALO_USER=alice"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\tuser: alice\t"), std::string::npos) << run.out;

    run = cli({"--registry", partition.path(), "--sid", "S-1-5", "sources"}, dir);
    EXPECT_EQ(run.status, 2);
}

TEST(CliPartition, MissingHivesAreWarnedAboutAndAnNtUserDatOpensAlone) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir dir;
    TempDir partition;
    addUser(partition, "alice", true, false);
    CliRun run = cli({"--registry", partition.path(), "sources"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("moxalo-cli: warning: " + partition.path() +
                           ": holds no Windows\\System32\\config\\SOFTWARE"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("\tuser: alice\tusers: alice\t(ntuser.dat: dirty; 4 log entries "
                           "applied)\n"),
              std::string::npos)
        << run.out;

    run = cli({"--registry", sharedHive("win10-NTUSER.DAT"), "sources"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Chosen by: --registry\nNTUSER.DAT hive\t" + sharedHive("win10-NTUSER.DAT") +
                           "\t(dirty; 4 log entries applied)\n");
    EXPECT_NE(run.err.find("HKEY_CLASSES_ROOT is empty"), std::string::npos) << run.err;
}
