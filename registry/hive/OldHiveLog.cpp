#include "registry/hive/OldHiveLog.h"

#include "registry/hive/HiveLayout.h"

#include <algorithm>
#include <cstring>

namespace moxalo::hive {

namespace {

using namespace layout;

constexpr std::size_t kPage = 512;
constexpr std::uint32_t kOldLogType = 1;
constexpr std::uint32_t kMaxClustering = 8; // 4096-byte sectors

// Where the parts of a log sit, once its fields are known to hold together.
struct Layout {
    std::size_t bitmap = 0; // the bits, after "DIRT"
    std::size_t bits = 0;
    std::size_t pages = 0; // the first dirty page
};

std::size_t setBits(const std::uint8_t* bitmap, std::size_t bits) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < bits; ++i)
        count += bitmap[i / 8] >> (i % 8) & 1;
    return count;
}

// The log's layout, or nothing with `why` set to what is wrong.
std::optional<Layout> layoutOf(const LogFile& log, std::string& why) {
    const std::uint8_t* p = log.bytes.data();
    std::size_t size = log.bytes.size();
    std::uint32_t clustering =
        std::clamp<std::uint32_t>(get32(p + base::kClustering), 1, kMaxClustering);
    std::size_t vector = clustering * kPage; // the base block fills the first sector
    std::size_t bins = get32(p + base::kBinsSize);
    if (bins == 0 || bins % kBinAlignment != 0) {
        why = "its hive bins size " + std::to_string(bins) + " is wrong";
        return std::nullopt;
    }
    Layout l{vector + 4, bins / kPage, 0};
    std::size_t bitmapBytes = l.bits / 8;
    if (size < l.bitmap + bitmapBytes || std::memcmp(p + vector, "DIRT", 4) != 0) {
        why = "it has no dirty vector (\"DIRT\")";
        return std::nullopt;
    }
    l.pages = (l.bitmap + bitmapBytes + kPage - 1) / kPage * kPage;
    if (l.pages + setBits(p + l.bitmap, l.bits) * kPage > size) {
        why = "it is cut off: the log ends before its last page";
        return std::nullopt;
    }
    return l;
}

} // namespace

bool isOldLog(const LogFile& log) {
    return log.bytes.size() >= kPage && std::memcmp(log.bytes.data(), "regf", 4) == 0 &&
           get32(log.bytes.data() + base::kFileType) == kOldLogType;
}

std::optional<std::uint32_t> oldLogApplies(std::span<const std::uint8_t> baseBlock,
                                           const LogFile& log, std::vector<std::string>& warnings) {
    const std::uint8_t* p = log.bytes.data();
    auto refuse = [&](const std::string& why) {
        warnings.push_back(log.path + ": " + why + "; it is not applied");
        return std::nullopt;
    };
    if (baseBlock.size() < base::kMajorVersion)
        return std::nullopt;
    if (get32(p + base::kSequence1) != get32(p + base::kSequence2))
        return refuse("Windows did not finish writing it");
    if (get64(p + base::kTimestamp) != get64(baseBlock.data() + base::kTimestamp))
        return refuse("it was written for another state of the hive (its time stamp differs)");
    if (baseBlockChecksum(p) != get32(p + base::kChecksum))
        return refuse("its base block is damaged (its checksum is wrong)");
    std::string why;
    if (!layoutOf(log, why))
        return refuse(why);
    return get32(p + base::kSequence1);
}

void applyOldLog(std::vector<std::uint8_t>& hive, const LogFile& log) {
    std::string why;
    std::optional<Layout> l = layoutOf(log, why);
    if (!l)
        return;
    const std::uint8_t* p = log.bytes.data();
    std::uint32_t bins = get32(p + base::kBinsSize);
    if (hive.size() < kBaseBlockSize + bins)
        hive.resize(kBaseBlockSize + bins, 0);
    const std::uint8_t* page = p + l->pages;
    for (std::size_t i = 0; i < l->bits; ++i) {
        if ((p[l->bitmap + i / 8] >> (i % 8) & 1) == 0)
            continue;
        std::memcpy(hive.data() + kBaseBlockSize + i * kPage, page, kPage);
        page += kPage;
    }
    std::uint32_t sequence = get32(p + base::kSequence1);
    put32(hive.data() + base::kBinsSize, bins);
    put32(hive.data() + base::kSequence1, sequence);
    put32(hive.data() + base::kSequence2, sequence);
    put32(hive.data() + base::kChecksum, baseBlockChecksum(hive.data()));
}

} // namespace moxalo::hive
