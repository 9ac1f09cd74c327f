#pragma once
// A dirty hive's transaction logs replayed in memory, as Windows replays them when it loads the
// hive. Since Windows 8.1 a hive's changes go first to "<hive>.LOG1" or ".LOG2" as log entries
// ("HvLE"), each the pages of the hive bins it changed, and reach the hive file only later:
// a hive copied off a running or crashed system lacks them. The hive file is never written.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace moxalo::hive {

struct LogFile {
    std::string path; // for messages
    std::vector<std::uint8_t> bytes;
};

struct Replay {
    std::size_t applied = 0;    // log entries applied
    std::uint32_t sequence = 0; // the sequence number of the last one applied
    // Why entries that would have applied were not, each "<log>: <what>".
    std::vector<std::string> warnings;
};

// Whether the base block's two sequence numbers differ: Windows began to write the hive file
// and did not finish.
bool isDirty(std::span<const std::uint8_t> baseBlock);

// Applies to `hive`, a whole hive file, the log entries it lacks: those numbered from its own
// sequence number on, in order, from the log whose entries come first and then the log that
// continues them, up to the first entry that is damaged (its hashes fail) or that breaks the
// sequence. The hive bins grow where an entry has them larger. The base block then carries the
// last entry's sequence number, twice, as Windows writes it after the replay. Logs of the
// format before Windows 8.1 (see OldHiveLog.h) count as one entry each, where no newer applies.
Replay replayLogs(std::vector<std::uint8_t>& hive, const std::vector<LogFile>& logs);

// How many of the logs' entries replayLogs() would apply to the hive whose base block (its
// first 20 bytes at least) this is.
std::size_t entriesToReplay(std::span<const std::uint8_t> baseBlock,
                            const std::vector<LogFile>& logs);

// The transaction logs beside the hive file, "<name>.LOG1" then "<name>.LOG2", in whatever case
// their names are written (a hive copied off NTFS may have "ntuser.dat.LOG1" beside
// "NTUSER.DAT").
std::vector<std::string> logsBeside(const std::string& hivePath);

} // namespace moxalo::hive
