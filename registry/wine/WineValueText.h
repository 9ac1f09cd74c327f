#pragma once
// One value of a Wine registry file as wineserver writes it: `@=` or `"name"=`, then the data
// as a string, `str(N):`, `dword:` or wrapped `hex:`/`hex(N):` bytes.

#include "registry/RegistryStore.h"

#include <string>
#include <string_view>

namespace moxalo::registry {

// The value's line(s), each ending in a newline. `name` is UTF-8; "" is the default value.
std::string formatWineValue(std::string_view name, const RegValue& value);

} // namespace moxalo::registry
