#pragma once
// A synthetic registry written as a Wine prefix, in wineserver's own layout.

#include "base/Result.h"
#include "bench/SyntheticClasses.h"

#include <string>

namespace moxalo::bench {

// Writes `folder`/system.reg holding the classes of `shape` under Software\Classes, and an
// empty user.reg, as a fresh prefix has them. Keys that hold only subkeys are left out, as
// wineserver leaves them out; every key has the same time, so the same shape gives the same
// bytes.
Result<> writeWinePrefix(const std::string& folder, const ClassesShape& shape);

} // namespace moxalo::bench
