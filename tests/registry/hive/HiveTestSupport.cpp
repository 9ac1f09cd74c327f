#include "tests/registry/hive/HiveTestSupport.h"

#include "tests/support/TestRegistry.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace moxalo::testing {

void expectSameTree(registry::RegistryStore& expected, registry::NodeId expectedKey,
                    registry::RegistryStore& actual, registry::NodeId actualKey,
                    const std::string& path) {
    auto names = moxalo::testing::valueNames(expected, expectedKey);
    EXPECT_EQ(moxalo::testing::valueNames(actual, actualKey), names) << "at " << path;
    for (const auto& name : names)
        EXPECT_EQ(actual.findValue(actualKey, name), expected.findValue(expectedKey, name))
            << "value \"" << name << "\" at " << path;
    std::size_t count = expected.childCount(expectedKey);
    ASSERT_EQ(actual.childCount(actualKey), count) << "at " << path;
    for (std::size_t i = 0; i < count; ++i) {
        std::string name(expected.childName(expectedKey, i));
        registry::NodeId child = actual.findChild(actualKey, name);
        ASSERT_NE(child, registry::kNoNode) << "missing " << path << "\\" << name;
        expectSameTree(expected, expected.childAt(expectedKey, i), actual, child,
                       path + "\\" + name);
    }
}

std::string runShell(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[256];
    while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr)
        output += buffer;
    if (pipe != nullptr)
        pclose(pipe);
    return output;
}

} // namespace moxalo::testing
