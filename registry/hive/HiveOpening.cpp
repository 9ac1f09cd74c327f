#include "registry/hive/HiveOpening.h"

#include "registry/hive/HiveLayout.h"
#include "registry/hive/HiveLogs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace moxalo::hive {

namespace {

// Larger than any hive or log Windows writes: a larger file is not read whole.
constexpr std::uintmax_t kMaxFileSize = std::uintmax_t{1} << 31;

constexpr const char* kMayLack = "what Windows last flushed may be missing";
constexpr const char* kLogsReplayed =
    "not cleanly closed: its transaction logs were applied in memory only; to write the hive, "
    "the logs would have to be applied to the file first (Windows does so when it loads it)";
constexpr const char* kLogsNotApplied =
    "not cleanly closed, and no transaction log of it was applied: written now, it would lose "
    "what Windows last logged for it; Windows applies the logs when it loads the hive";

// The file's bytes, or nothing with `why` set.
std::optional<std::vector<std::uint8_t>> readWhole(const std::string& path, std::size_t limit,
                                                   std::string& why) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        why = error.message();
        return std::nullopt;
    }
    if (size > limit) {
        why = "too large (" + std::to_string(size) + " bytes)";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        why = in.is_open() ? "cannot be read whole" : std::strerror(errno);
        return std::nullopt;
    }
    return bytes;
}

// The start of the base block of a dirty hive file, or nothing for any other file.
std::optional<std::vector<std::uint8_t>> dirtyBaseBlock(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt; // HiveStore::open() tells what it is
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> block(layout::base::kMajorVersion);
    in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
    if (!in || std::memcmp(block.data(), "regf", 4) != 0 || !isDirty(block))
        return std::nullopt;
    return block;
}

std::vector<LogFile> readLogs(const std::vector<std::string>& paths,
                              std::vector<std::string>& warnings) {
    std::vector<LogFile> logs;
    for (const std::string& path : paths) {
        std::string why;
        if (auto bytes = readWhole(path, kMaxFileSize, why))
            logs.push_back({path, std::move(*bytes)});
        else
            warnings.push_back(path + ": cannot be read: " + why);
    }
    return logs;
}

std::string entriesApplied(std::size_t count) {
    return "dirty; " + std::to_string(count) + (count == 1 ? " log entry" : " log entries") +
           " applied";
}

// A dirty hive read as it is stays read-only: what its logs hold is not in it.
OpenedHive fromFile(const std::string& path, const std::string& holderKeyPrefix, std::string state,
                    std::vector<std::string> warnings) {
    OpenedHive opened{HiveStore::open(path, holderKeyPrefix), std::move(state),
                      std::move(warnings)};
    if (!opened.state.empty())
        opened.store->keepReadOnly(path + ": " + kLogsNotApplied);
    const auto& damage = opened.store->damage();
    opened.warnings.insert(opened.warnings.end(), damage.begin(), damage.end());
    return opened;
}

} // namespace

OpenedHive openHiveFile(const std::string& path, const std::string& holderKeyPrefix) {
    if (!dirtyBaseBlock(path))
        return fromFile(path, holderKeyPrefix, "", {});
    std::vector<std::string> logPaths = logsBeside(path);
    if (logPaths.empty())
        return fromFile(path, holderKeyPrefix, std::string("dirty; no logs: ") + kMayLack, {});
    std::vector<std::string> warnings;
    std::vector<LogFile> logs = readLogs(logPaths, warnings);
    std::string why;
    auto hive = readWhole(path, kMaxFileSize, why);
    if (!hive)
        throw registry::StoreError(path + ": cannot be read: " + why);
    Replay replay = replayLogs(*hive, logs);
    warnings.insert(warnings.end(), replay.warnings.begin(), replay.warnings.end());
    if (replay.applied == 0)
        return fromFile(path, holderKeyPrefix,
                        std::string("dirty; no log entry applies: ") + kMayLack,
                        std::move(warnings));
    OpenedHive opened{HiveStore::fromBytes(std::move(*hive), path), entriesApplied(replay.applied),
                      std::move(warnings)};
    opened.store->keepReadOnly(path + ": " + kLogsReplayed);
    const auto& damage = opened.store->damage();
    opened.warnings.insert(opened.warnings.end(), damage.begin(), damage.end());
    return opened;
}

std::optional<std::string> whyHiveFileReadOnly(const std::string& path) {
    auto block = dirtyBaseBlock(path);
    if (!block)
        return std::nullopt;
    std::vector<std::string> ignored;
    if (entriesToReplay(*block, readLogs(logsBeside(path), ignored)) == 0)
        return path + ": " + kLogsNotApplied;
    return path + ": " + kLogsReplayed;
}

} // namespace moxalo::hive
