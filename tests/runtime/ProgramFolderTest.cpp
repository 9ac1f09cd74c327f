// Where the program keeps its settings and backups: beside a copy the user owns, else in the
// user's data folder.

#include "runtime/ProgramFolder.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <unistd.h>

using moxalo::runtime::dataFolderFor;

namespace {

struct FakeEnvironment {
    std::map<std::string, std::string> values;
    const char* operator()(const char* name) const {
        auto found = values.find(name);
        return found == values.end() ? nullptr : found->second.c_str();
    }
};

} // namespace

TEST(DataFolder, BesideAWritableCopyOfTheUsersOwnElseInTheUsersDataFolder) {
    FakeEnvironment env{{{"HOME", "/home/ann"}}};
    EXPECT_EQ(dataFolderFor("/home/ann/.local/opt/moxalo", true, env),
              "/home/ann/.local/opt/moxalo");
    EXPECT_EQ(dataFolderFor("/opt/moxalo", false, env), "/home/ann/.local/share/moxalo");
    // /usr is the package manager's even where root could write it.
    EXPECT_EQ(dataFolderFor("/usr/lib/moxalo", true, env), "/home/ann/.local/share/moxalo");
    EXPECT_EQ(dataFolderFor("/usr/local/lib/moxalo", true, env), "/home/ann/.local/share/moxalo");
    EXPECT_EQ(dataFolderFor("/usrdata/moxalo", true, env), "/usrdata/moxalo");
}

TEST(DataFolder, FollowsXdgDataHomeWhenItIsAbsoluteAndFindsHomeWithoutTheEnvironment) {
    FakeEnvironment env{{{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/data/ann"}}};
    EXPECT_EQ(dataFolderFor("/usr/lib/moxalo", false, env), "/data/ann/moxalo");
    env.values["XDG_DATA_HOME"] = "relative/data";
    EXPECT_EQ(dataFolderFor("/usr/lib/moxalo", false, env), "/home/ann/.local/share/moxalo");
    env.values.clear();
    std::string folder = dataFolderFor("/usr/lib/moxalo", false, env);
    EXPECT_EQ(folder.front(), '/');
    EXPECT_NE(folder.find("/.local/share/moxalo"), std::string::npos) << folder;
}
