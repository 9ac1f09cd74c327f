#pragma once
// Opening registries for the tests of what really opens a file: sources named by path or
// written from .reg text.

#include "catalogue/effective/Effective.h"
#include "registry/Sources.h"
#include "tests/support/TestRegistry.h"

#include <memory>
#include <string>
#include <vector>

namespace moxalo::testing {

struct OpenedView {
    std::shared_ptr<registry::Registry> registry;
    std::unique_ptr<catalogue::effective::UserView> view;
};

// Opens the sources and a view of their user; fails the test when they cannot be opened.
OpenedView openView(const std::vector<std::string>& paths, const std::string& sid = {});
// Writes a regedit export of `body` (lines after the header) to `name` in `dir`.
std::string writeRegFile(const TempDir& dir, const std::string& name, const std::string& body);

} // namespace moxalo::testing
