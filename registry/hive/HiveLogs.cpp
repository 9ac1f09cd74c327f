#include "registry/hive/HiveLogs.h"

#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hive/Marvin32.h"
#include "registry/hive/OldHiveLog.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>

namespace moxalo::hive {

namespace {

using namespace layout;

// A log starts with a copy of the hive's base block, cut to its first sector; its entries
// follow, each at a multiple of a sector.
constexpr std::size_t kSector = 512;
constexpr std::uint32_t kNewLogType = 6;
constexpr std::uint32_t kOldLogType = 1;

namespace entry {
constexpr std::size_t kSize = 4;
constexpr std::size_t kSequence = 12;
constexpr std::size_t kBinsSize = 16;
constexpr std::size_t kPageCount = 20;
constexpr std::size_t kDataHash = 24;   // of everything after the header
constexpr std::size_t kHeaderHash = 32; // of the header's first 32 bytes
constexpr std::size_t kHeaderSize = 40;
constexpr std::size_t kPageReferenceSize = 8;
} // namespace entry

struct Entry {
    std::size_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t sequence = 0;
    std::uint32_t binsSize = 0;
    std::uint32_t pages = 0;
};

// The entries of one log in the order it holds them, up to its end or the first damaged one.
struct LogEntries {
    const LogFile* log = nullptr;
    std::vector<Entry> entries;
    std::optional<Entry> damaged; // where its entries end in one that cannot be used
    std::string why;
};

std::string sequenceText(std::uint32_t sequence) {
    return "sequence number " + std::to_string(sequence);
}

std::string entryLabel(const Entry& e) {
    return "the log entry at offset " + hexOffset(e.offset) + " (" + sequenceText(e.sequence) + ")";
}

// Why the pages the entry names cannot be written where it says, or "".
std::string whyPagesUnusable(const std::uint8_t* p, const Entry& e) {
    std::size_t room = e.size - entry::kHeaderSize - e.pages * entry::kPageReferenceSize;
    std::size_t total = 0;
    for (std::uint32_t i = 0; i < e.pages; ++i) {
        const std::uint8_t* ref = p + entry::kHeaderSize + i * entry::kPageReferenceSize;
        std::size_t offset = get32(ref);
        std::size_t size = get32(ref + 4);
        if (size == 0 || offset % kSector != 0 || size % kSector != 0 || offset + size > e.binsSize)
            return "it names a page outside its hive bins";
        total += size;
        if (total > room)
            return "its pages run past its end";
    }
    return {};
}

// Why the entry at `e.offset` cannot be applied, or "" when it can; its header is there.
std::string whyUnusable(std::span<const std::uint8_t> log, Entry& e) {
    const std::uint8_t* p = log.data() + e.offset;
    e.size = get32(p + entry::kSize);
    e.sequence = get32(p + entry::kSequence);
    e.binsSize = get32(p + entry::kBinsSize);
    e.pages = get32(p + entry::kPageCount);
    if (e.size < entry::kHeaderSize || e.size % kSector != 0)
        return "its size " + std::to_string(e.size) + " is no multiple of " +
               std::to_string(kSector);
    if (e.size > log.size() - e.offset)
        return "it is cut off: the log ends before it does";
    if (e.pages > (e.size - entry::kHeaderSize) / entry::kPageReferenceSize)
        return "its page references do not fit in it";
    if (marvin32(log.subspan(e.offset + entry::kHeaderSize, e.size - entry::kHeaderSize),
                 kLogEntrySeed) != get64(p + entry::kDataHash) ||
        marvin32(log.subspan(e.offset, entry::kHeaderHash), kLogEntrySeed) !=
            get64(p + entry::kHeaderHash))
        return "its hashes do not match its contents";
    if (e.binsSize == 0 || e.binsSize % kBinAlignment != 0)
        return "its hive bins size " + hexOffset(e.binsSize) + " is wrong";
    return whyPagesUnusable(p, e);
}

LogEntries entriesOf(const LogFile& log, std::vector<std::string>& warnings) {
    LogEntries found{&log, {}, std::nullopt, {}};
    std::span<const std::uint8_t> bytes(log.bytes);
    if (bytes.size() < kSector || std::memcmp(bytes.data(), "regf", 4) != 0) {
        warnings.push_back(log.path + ": not a transaction log (it does not start with \"regf\")");
        return found;
    }
    std::uint32_t type = get32(bytes.data() + base::kFileType);
    if (type == kOldLogType)
        return found; // see OldHiveLog.h
    if (type != kNewLogType) {
        warnings.push_back(log.path + ": not a transaction log (file type " + std::to_string(type) +
                           ")");
        return found;
    }
    for (std::size_t at = kSector; bytes.size() - at >= entry::kHeaderSize;) {
        if (std::memcmp(bytes.data() + at, "HvLE", 4) != 0)
            break; // past the last entry: what follows is left over from earlier ones
        Entry e{at};
        if (std::string why = whyUnusable(bytes, e); !why.empty()) {
            found.damaged = e;
            found.why = std::move(why);
            break;
        }
        found.entries.push_back(e);
        at += e.size;
    }
    return found;
}

// The entries of one log that the hive lacks, one after the other, and whether they end in a
// damaged entry, where the whole replay stops.
struct Run {
    const LogEntries* log;
    std::vector<Entry> entries;
    bool stops = false;
    // Where it comes in the order of the logs: its first entry's sequence number, or the
    // damaged entry's where it has none before it.
    std::uint32_t begins() const {
        return entries.empty() ? log->damaged->sequence : entries.front().sequence;
    }
};

Run runOf(const LogEntries& log, std::uint32_t hiveSequence, std::vector<std::string>& warnings) {
    Run run{&log, {}};
    const std::vector<Entry>& all = log.entries;
    auto first = std::find_if(all.begin(), all.end(),
                              [&](const Entry& e) { return e.sequence >= hiveSequence; });
    if (first == all.end() && !all.empty())
        warnings.push_back(log.log->path + ": its log entries (up to " +
                           sequenceText(all.back().sequence) + ") are older than the hive (" +
                           sequenceText(hiveSequence) + "); none applies");
    for (auto it = first; it != all.end(); ++it) {
        if (!run.entries.empty() && it->sequence != run.entries.back().sequence + 1) {
            // An older entry is one left over from before the log was last begun again.
            if (it->sequence > run.entries.back().sequence)
                warnings.push_back(log.log->path + ": " + entryLabel(*it) + " does not follow " +
                                   sequenceText(run.entries.back().sequence) +
                                   "; it and the entries after it are not applied");
            return run;
        }
        run.entries.push_back(*it);
    }
    // A damaged entry matters where it would have come next.
    std::uint32_t due = run.entries.empty() ? hiveSequence : run.entries.back().sequence + 1;
    if (log.damaged && log.damaged->sequence >= due) {
        warnings.push_back(log.log->path + ": " + entryLabel(*log.damaged) +
                           " cannot be used: " + log.why + "; the replay stops there");
        run.stops = true;
    }
    return run;
}

void apply(std::vector<std::uint8_t>& hive, const LogFile& log, const Entry& e) {
    std::size_t end = kBaseBlockSize + std::size_t{e.binsSize};
    if (hive.size() < end)
        hive.resize(end, 0);
    // A smaller size leaves the bins past it as they were: a later entry may take them back.
    put32(hive.data() + base::kBinsSize, e.binsSize);
    const std::uint8_t* refs = log.bytes.data() + e.offset + entry::kHeaderSize;
    const std::uint8_t* page = refs + std::size_t{e.pages} * entry::kPageReferenceSize;
    for (std::uint32_t i = 0; i < e.pages; ++i) {
        std::size_t offset = get32(refs + i * entry::kPageReferenceSize);
        std::size_t size = get32(refs + i * entry::kPageReferenceSize + 4);
        std::memcpy(hive.data() + kBaseBlockSize + offset, page, size);
        page += size;
    }
}

// The runs to apply, in order, and why entries that would have applied were not.
struct Plan {
    std::vector<LogEntries> read; // what the runs' entries point into
    std::vector<Run> runs;
    std::vector<std::string> warnings;
};

// Entries from the hive's secondary sequence number on: it is the last write the file completed.
// The run that begins first goes first; another goes on only where it continues it.
Plan planOf(std::uint32_t hiveSequence, const std::vector<LogFile>& logs) {
    Plan plan;
    plan.read.reserve(logs.size());
    for (const LogFile& log : logs)
        plan.read.push_back(entriesOf(log, plan.warnings));
    std::vector<Run> runs;
    for (const LogEntries& log : plan.read) {
        if (Run run = runOf(log, hiveSequence, plan.warnings); !run.entries.empty() || run.stops)
            runs.push_back(std::move(run));
    }
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.begins() < b.begins(); });
    for (Run& run : runs) {
        if (!plan.runs.empty() && run.begins() != plan.runs.back().entries.back().sequence + 1) {
            plan.warnings.push_back(run.log->log->path + ": its log entries begin at " +
                                    sequenceText(run.begins()) + ", not right after " +
                                    sequenceText(plan.runs.back().entries.back().sequence) +
                                    "; none of them applies");
            break;
        }
        bool stops = run.stops;
        if (!run.entries.empty())
            plan.runs.push_back(std::move(run));
        if (stops)
            break;
    }
    return plan;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

} // namespace

bool isDirty(std::span<const std::uint8_t> baseBlock) {
    return baseBlock.size() >= base::kTimestamp &&
           get32(baseBlock.data() + base::kSequence1) != get32(baseBlock.data() + base::kSequence2);
}

Replay replayLogs(std::vector<std::uint8_t>& hive, const std::vector<LogFile>& logs) {
    Replay replay;
    if (hive.size() < kBaseBlockSize)
        return replay;
    Plan plan = planOf(get32(hive.data() + base::kSequence2), logs);
    replay.warnings = std::move(plan.warnings);
    if (plan.runs.empty()) {
        for (const LogFile& log : logs) {
            if (!isOldLog(log))
                continue;
            if (auto sequence = oldLogApplies(hive, log, replay.warnings)) {
                applyOldLog(hive, log);
                return {1, *sequence, std::move(replay.warnings)};
            }
        }
        return replay;
    }
    for (const Run& run : plan.runs) {
        for (const Entry& e : run.entries) {
            apply(hive, *run.log->log, e);
            replay.sequence = e.sequence;
            ++replay.applied;
        }
    }
    put32(hive.data() + base::kSequence1, replay.sequence);
    put32(hive.data() + base::kSequence2, replay.sequence);
    put32(hive.data() + base::kChecksum, baseBlockChecksum(hive.data()));
    return replay;
}

std::size_t entriesToReplay(std::span<const std::uint8_t> baseBlock,
                            const std::vector<LogFile>& logs) {
    if (baseBlock.size() < base::kTimestamp)
        return 0;
    std::size_t count = 0;
    for (const Run& run : planOf(get32(baseBlock.data() + base::kSequence2), logs).runs)
        count += run.entries.size();
    std::vector<std::string> ignored;
    for (const LogFile& log : logs) {
        if (count == 0 && isOldLog(log) && oldLogApplies(baseBlock, log, ignored))
            count = 1;
    }
    return count;
}

std::vector<std::string> logsBeside(const std::string& hivePath) {
    namespace fs = std::filesystem;
    fs::path hive(hivePath);
    fs::path folder = hive.has_parent_path() ? hive.parent_path() : fs::path(".");
    std::string name = lowered(hive.filename().string());
    std::vector<std::string> found;
    for (const char* suffix : {".log1", ".log2"}) {
        std::error_code error;
        std::vector<std::string> matches;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            if (lowered(it->path().filename().string()) == name + suffix &&
                it->is_regular_file(error))
                matches.push_back(it->path().string());
        }
        // Of names that differ only in case, the first in order, whatever the folder's order.
        if (!matches.empty())
            found.push_back(*std::min_element(matches.begin(), matches.end()));
    }
    return found;
}

} // namespace moxalo::hive
