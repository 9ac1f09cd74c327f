// The window's command line: options, and bare sources as a file manager passes them.

#include "runtime/SourceOptions.h"

#include <gtest/gtest.h>

using moxalo::runtime::isSidText;
using moxalo::runtime::readSourceArguments;
using moxalo::runtime::SourceOptions;

TEST(SourceArguments, BareArgumentsAndOptionsAreSourcesInTheirOrder) {
    SourceOptions options;
    auto read = readSourceArguments({"/home/ann/My Files/types.reg", "--registry", "-odd.reg",
                                     "--code-page=1251", "--", "--help", "-r"},
                                    options);
    EXPECT_TRUE(read);
    EXPECT_EQ(options.registries, (std::vector<std::string>{"/home/ann/My Files/types.reg",
                                                            "-odd.reg", "--help", "-r"}));
    EXPECT_EQ(options.codePage, "1251");
}

TEST(SourceArguments, UnknownOptionsMissingValuesAndEmptyArgumentsAreRefused) {
    SourceOptions options;
    EXPECT_EQ(readSourceArguments({"--verbose"}, options).error(),
              "unknown argument \"--verbose\"");
    EXPECT_EQ(readSourceArguments({"a.reg", "--registry"}, options).error(),
              "--registry needs a SOURCE");
    EXPECT_FALSE(readSourceArguments({""}, options));
}

TEST(SourceArguments, TheUserAndTheSidOfAWindowsPartition) {
    SourceOptions options;
    EXPECT_TRUE(readSourceArguments({"/mnt/win", "--user", "Ann Lee", "--sid=S-1-5-21-1-2-3-1001"},
                                    options));
    EXPECT_EQ(options.user, "Ann Lee");
    EXPECT_EQ(options.sid, "S-1-5-21-1-2-3-1001");
    EXPECT_TRUE(readSourceArguments({"--user=bob", "--sid", "S-1-5-18"}, options));
    EXPECT_EQ(options.user, "bob");
    EXPECT_EQ(options.sid, "S-1-5-18");

    EXPECT_EQ(readSourceArguments({"--user"}, options).error(),
              "--user needs the NAME of a user of the Windows partition (a folder under its "
              "Users)");
    EXPECT_FALSE(readSourceArguments({"--user="}, options));
    EXPECT_EQ(readSourceArguments({"--sid", "1001"}, options).error(),
              "--sid needs a user's SID, as S-1-5-21-1004336348-1177238915-682003330-1001, not "
              "\"1001\"");
    EXPECT_FALSE(readSourceArguments({"--sid"}, options));
    EXPECT_FALSE(readSourceArguments({"--userx=bob"}, options)) << "no option of that name";
}

TEST(SourceArguments, ASidIsSOneAnAuthorityAndSubauthorities) {
    for (const char* sid : {"S-1-5-21-2290304894-658537038-505560459-1001", "S-1-5-18",
                            "s-1-5-32-544", "S-1-281474976710655-4294967295"})
        EXPECT_TRUE(isSidText(sid)) << sid;
    for (const char* text : {"", "S-1-5", "S-1-", "S-2-5-18", "S-1-5-18-", "S-1--5-18", "S-1-5-x",
                             "S-1-+5-18", "S-1-5-4294967296", "S-1-281474976710656-1", "X-1-5-18",
                             " S-1-5-18", "S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16"})
        EXPECT_FALSE(isSidText(text)) << text;
}
