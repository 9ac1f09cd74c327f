#include "tests/catalogue/EffectiveFixture.h"

#include <gtest/gtest.h>

namespace moxalo::testing {

using namespace registry;

OpenedView openView(const std::vector<std::string>& paths, const std::string& sid) {
    SourceChoice choice;
    choice.paths = paths;
    auto opened = openRegistry(choice);
    EXPECT_TRUE(opened) << (opened ? "" : opened.error());
    if (!opened)
        return {};
    OpenedView result{opened->registry, nullptr};
    result.view = std::make_unique<catalogue::effective::UserView>(*result.registry, sid);
    return result;
}

std::string writeRegFile(const TempDir& dir, const std::string& name, const std::string& body) {
    std::string path = dir.file(name);
    writeFile(path, "Windows Registry Editor Version 5.00\r\n\r\n" + body);
    return path;
}

} // namespace moxalo::testing
