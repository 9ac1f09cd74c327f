// Which registry is read when the user names one, and when not.

#include "runtime/ChooseSources.h"
#include "tests/support/Environments.h"
#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace moxalo::runtime;
using namespace moxalo::testing;

TEST(SourceChoice, OptionThenEnvironmentThenPrefixThenHomeThenSample) {
    TempDir home;
    std::map<std::string, std::string> vars{{"HOME", home.path()}};
    Environment env = lookupIn(vars);
    auto choose = [&](std::vector<std::string> options) {
        return chooseSources({options}, env, "/opt/moxalo");
    };

    SourceChoice c = choose({});
    EXPECT_EQ(c.paths, std::vector<std::string>{"/opt/moxalo/data/sample.reg"});
    EXPECT_TRUE(c.bundledSample);

    std::filesystem::create_directory(home.file(".wine"));
    EXPECT_EQ(choose({}).chosenBy, "bundled sample") << "~/.wine without system.reg is no prefix";
    writeFile(home.file(".wine/system.reg"), "WINE REGISTRY Version 2\n");
    c = choose({});
    EXPECT_EQ(c.paths, std::vector<std::string>{home.file(".wine")});
    EXPECT_FALSE(c.bundledSample);

    vars["WINEPREFIX"] = "/games/prefix";
    EXPECT_EQ(choose({}).paths, std::vector<std::string>{"/games/prefix"});

    vars["MOXALO_REGISTRY"] = "";
    EXPECT_EQ(choose({}).chosenBy, "WINEPREFIX") << "an empty variable names nothing";
    vars["MOXALO_REGISTRY"] = "/mnt/win/SOFTWARE::/mnt/win/UsrClass.dat";
    c = choose({});
    EXPECT_EQ(c.paths, (std::vector<std::string>{"/mnt/win/SOFTWARE", "/mnt/win/UsrClass.dat"}));
    EXPECT_EQ(c.chosenBy, "MOXALO_REGISTRY");

    c = choose({"a b.reg", "c.hive"});
    EXPECT_EQ(c.paths, (std::vector<std::string>{"a b.reg", "c.hive"}));
    EXPECT_EQ(c.chosenBy, "--registry");
}

TEST(SourceChoice, TheSourcesPassedOnComeThroughWholeBeforeTheUsersVariable) {
    const std::vector<std::string> hostile = {
        "snap 10:30/x.reg", "/mnt/a%3Ab/SOFTWARE", "100%",      ":",         "::x::",   "%",
        "  blanks  ",       "\"quoted\" 'too'",    "line\nend", "tab\there", "Ünï:日本"};
    std::map<std::string, std::string> vars{{"MOXALO_REGISTRY", "/users/own.reg"},
                                            {"WINEPREFIX", "/games/prefix"}};
    Environment env = lookupIn(vars);
    SourceChoice window{hostile, "--registry", false, "cp1251", "--code-page"};
    for (const auto& variable : passedOn(window))
        vars[variable.name] = variable.value;

    SourceChoice c = chooseSources({}, env, "/opt/moxalo");
    EXPECT_EQ(c.paths, hostile);
    EXPECT_EQ(c.chosenBy, kPassedRegistry);
    EXPECT_EQ(c.codePage, "cp1251");
    EXPECT_EQ(chooseSources({{"b.reg"}}, env, "/opt/moxalo").paths,
              std::vector<std::string>{"b.reg"});

    // The sample is not named: the programs started find it themselves, read-only.
    EXPECT_TRUE(passedOn(SourceChoice{{"/opt/moxalo/data/sample.reg"}, "", true}).empty());

    // Set by hand, an escape that is none stands for itself; an empty list names nothing.
    vars[kPassedRegistry] = "a%2:b%zz:%41";
    EXPECT_EQ(chooseSources({}, env, "/opt/moxalo").paths,
              (std::vector<std::string>{"a%2", "b%zz", "A"}));
    vars[kPassedRegistry] = ":";
    EXPECT_EQ(chooseSources({}, env, "/opt/moxalo").chosenBy, "MOXALO_REGISTRY");
}

TEST(SourceChoice, TheUserAndSidFromTheOptionElseTheEnvironmentArePassedOn) {
    std::map<std::string, std::string> vars{{"MOXALO_USER", "bob"}, {"MOXALO_SID", "S-1-5-18"}};
    Environment env = lookupIn(vars);
    SourceOptions options{{"/mnt/win"}};
    SourceChoice c = chooseSources(options, env, "/opt/moxalo");
    EXPECT_EQ(c.user, "bob");
    EXPECT_EQ(c.sid, "S-1-5-18");
    options.user = "Ann Lee";
    options.sid = "S-1-5-21-1-2-3-1001";
    c = chooseSources(options, env, "/opt/moxalo");
    EXPECT_EQ(c.user, "Ann Lee");
    EXPECT_EQ(c.sid, "S-1-5-21-1-2-3-1001");

    // The programs the window starts read the same user of the same partition.
    std::map<std::string, std::string> passed;
    for (const auto& variable : passedOn(c))
        passed[variable.name] = variable.value;
    Environment started = lookupIn(passed);
    SourceChoice theirs = chooseSources({}, started, "/opt/moxalo");
    EXPECT_EQ(theirs.paths, c.paths);
    EXPECT_EQ(theirs.user, "Ann Lee");
    EXPECT_EQ(theirs.sid, "S-1-5-21-1-2-3-1001");

    vars.clear();
    c = chooseSources(options = {{"/mnt/win"}}, env, "/opt/moxalo");
    EXPECT_EQ(c.user, "");
    for (const auto& variable : passedOn(c))
        EXPECT_NE(variable.name, kUserVariable) << "none named, none passed";
}
