#pragma once
// A key's last-write time, as hives and Wine prefixes keep it (a FILETIME: 100 ns ticks since
// 1601), as the reports show it.

#include <cstdint>
#include <string>

namespace moxalo::catalogue {

// UTC ISO 8601 to the second: "2024-05-01T13:02:44Z".
std::string isoTime(std::uint64_t filetime);

} // namespace moxalo::catalogue
