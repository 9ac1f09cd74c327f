#pragma once
// The real hives from Windows installations, kept beside the source tree.

#include <string>

namespace moxalo::testing {

std::string sharedHive(const std::string& name);
bool haveSharedHives();

} // namespace moxalo::testing
