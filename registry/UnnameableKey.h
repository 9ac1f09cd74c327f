#pragma once
// A key whose own name no path can give: a backslash in it would split the path there, a NUL
// would end it. A damaged hive can hold one, and so can a Wine registry file, whose escapes
// write a NUL. It is listed under a stand-in, its name with each such character as U+FFFD, and
// the stand-in leads to no key, so that the key is never taken for another one that a path
// gives; the store keeps it as it is.

#include <string>
#include <string_view>

namespace moxalo::registry {

// Why no path gives a key named `name`, as a phrase after "its name"; empty when one does.
std::string_view unnameableBecause(std::string_view name);
// The name such a key is listed under.
std::string standInName(std::string_view name);
// What a report of such a key says after naming it: why, and what it is listed as.
std::string unnameableReport(std::string_view name);

} // namespace moxalo::registry
