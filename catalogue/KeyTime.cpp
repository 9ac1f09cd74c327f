#include "catalogue/KeyTime.h"

#include <ctime>

namespace moxalo::catalogue {

namespace {

// The seconds from 1601 (where a FILETIME counts from) to 1970 (where time_t does).
constexpr std::int64_t kUnixEpochSeconds = 11644473600;
constexpr std::uint64_t kTicksPerSecond = 10000000;

} // namespace

std::string isoTime(std::uint64_t filetime) {
    std::time_t seconds = static_cast<std::time_t>(
        static_cast<std::int64_t>(filetime / kTicksPerSecond) - kUnixEpochSeconds);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

} // namespace moxalo::catalogue
