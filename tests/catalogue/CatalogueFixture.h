#pragma once
// A small classes root with the cases the catalogue must tell apart.

#include "tests/support/TestRegistry.h"

namespace moxalo::testing {

// .abc (the worked example: type abcfile with an icon, an empty shell value and the verbs open
// and print), .txt (with an OpenWithList), .xyz is absent; plus the key "." and keys that are no
// extensions. Mounted as HKEY_CLASSES_ROOT.
registry::MemoryStore& mountCatalogueFixture();

std::string fixturePath(const std::string& name);

} // namespace moxalo::testing
