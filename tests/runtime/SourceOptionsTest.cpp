// The window's command line: options, and bare sources as a file manager passes them.

#include "runtime/SourceOptions.h"

#include <gtest/gtest.h>

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
