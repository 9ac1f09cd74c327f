// Opening a Windows partition as the front ends do: the window asks for a user first when
// the partition holds several, and the environment's SID is checked.

#include "runtime/ChosenRegistry.h"

#include "tests/support/Environments.h"
#include "tests/support/PartitionLayout.h"
#include "tests/support/SharedHives.h"

#include <gtest/gtest.h>
#include <map>

using namespace moxalo::runtime;
using namespace moxalo::testing;

namespace {

TEST(ChosenRegistry, AWindowAsksForTheUserOfAPartitionWithSeveral) {
    MOXALO_NEED_SHARED_HIVES();
    TempDir partition;
    layOutPartition(partition, {"alice", "bob"});
    std::map<std::string, std::string> vars;
    Environment env = lookupIn(vars);
    SourceOptions options{{partition.path()}};

    std::optional<UserQuestion> question = needsUser(options, env, "/opt/moxalo");
    ASSERT_TRUE(question);
    EXPECT_EQ(question->partition, partition.path());
    EXPECT_EQ(question->users, (std::vector<std::string>{"alice", "bob"}));
    EXPECT_FALSE(openChosenRegistry(options, env, "/opt/moxalo"));

    // The answer goes into the options, and the registry opens with that user's hives.
    options.user = question->users[1];
    EXPECT_FALSE(needsUser(options, env, "/opt/moxalo"));
    auto chosen = openChosenRegistry(options, env, "/opt/moxalo");
    ASSERT_TRUE(chosen) << chosen.error();
    EXPECT_EQ(chosen->sources[0].user, "bob");
    EXPECT_EQ(chosen->choice.user, "bob");

    // The programs the window starts are told the user in their environment.
    vars["MOXALO_USER"] = "alice";
    EXPECT_FALSE(needsUser({{partition.path()}}, env, "/opt/moxalo"));
    chosen = openChosenRegistry({{partition.path()}}, env, "/opt/moxalo");
    ASSERT_TRUE(chosen) << chosen.error();
    EXPECT_EQ(chosen->sources[0].user, "alice");

    // Nothing to ask of other sources, nor of a partition with one user.
    EXPECT_FALSE(needsUser({}, env, "/opt/moxalo"));
    TempDir single;
    layOutPartition(single, {"carol"});
    vars.clear();
    EXPECT_FALSE(needsUser({{single.path()}}, env, "/opt/moxalo"));
}

TEST(ChosenRegistry, ASidFromTheEnvironmentIsCheckedBeforeAnythingIsRead) {
    std::map<std::string, std::string> vars{{"MOXALO_SID", "S-1-5-21-1001x"}};
    auto chosen = openChosenRegistry({{MOXALO_SAMPLE}}, lookupIn(vars), "/opt/moxalo");
    ASSERT_FALSE(chosen);
    EXPECT_EQ(chosen.error(), "MOXALO_SID: \"S-1-5-21-1001x\" is not a SID, as "
                              "S-1-5-21-1004336348-1177238915-682003330-1001");
    vars["MOXALO_SID"] = "S-1-5-21-1001";
    chosen = openChosenRegistry({{MOXALO_SAMPLE}}, lookupIn(vars), "/opt/moxalo");
    ASSERT_TRUE(chosen) << chosen.error();
    EXPECT_EQ(chosen->choice.sid, "S-1-5-21-1001");
}

} // namespace
