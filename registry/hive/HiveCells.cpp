#include "registry/hive/HiveCells.h"

#include "registry/RegistryStore.h"
#include "registry/hive/HiveHandle.h"
#include "registry/hive/HiveLayout.h"

#include <cstring>

namespace moxalo::hive {

namespace {

using namespace layout;

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw registry::StoreError(path + ": " + what);
}

} // namespace

HiveCells::HiveCells(std::span<const std::uint8_t> bytes, const std::string& path,
                     std::pmr::memory_resource* memory)
    : bytes_(bytes), used_(memory) {
    checkBaseBlock(path);
    used_.assign((binsEnd_ - kFirstCell) / kGrain / 64 + 1, 0);
    for (std::size_t at = kBaseBlockSize; at < binsEnd_;)
        at += checkBin(path, at);
    checkRoot(path);
}

std::size_t HiveCells::cellSize(std::size_t at) const {
    auto raw = static_cast<std::int32_t>(get32(bytes_.data() + at));
    return static_cast<std::size_t>(raw < 0 ? -static_cast<std::int64_t>(raw) : raw);
}

void HiveCells::checkBaseBlock(const std::string& path) {
    const std::uint8_t* p = bytes_.data();
    std::size_t size = bytes_.size();
    if (size < 4 || std::memcmp(p, "regf", 4) != 0)
        fail(path, "not a registry hive (it does not start with \"regf\")");
    if (size < kBaseBlockSize + kBinAlignment)
        fail(path, "truncated hive: " + std::to_string(size) + " bytes, less than one hive bin");
    std::uint32_t major = get32(p + base::kMajorVersion);
    if (major != 1)
        fail(path, "unsupported hive format version " + std::to_string(major) + "." +
                       std::to_string(get32(p + base::kMinorVersion)));
    std::uint32_t stored = get32(p + base::kChecksum);
    if (std::uint32_t sum = baseBlockChecksum(p); sum != stored)
        fail(path,
             "broken hive header: checksum " + hexOffset(stored) + ", computed " + hexOffset(sum));
    std::size_t bins = get32(p + base::kBinsSize);
    if (bins == 0 || bins % kBinAlignment != 0)
        fail(path, "broken hive header: hive bins size " + hexOffset(bins));
    if (kBaseBlockSize + bins > size)
        fail(path, "truncated hive: the header gives " + std::to_string(bins) +
                       " bytes of hive bins, the file holds " +
                       std::to_string(size - kBaseBlockSize));
    std::size_t root = get32(p + base::kRootCell);
    if (root >= bins)
        fail(path,
             "broken hive header: root key offset " + hexOffset(root) + " beyond the hive bins");
    binsEnd_ = kBaseBlockSize + bins;
    root_ = kBaseBlockSize + root;
}

// Returns the bin's size, having noted its used cells.
std::size_t HiveCells::checkBin(const std::string& path, std::size_t at) {
    const std::uint8_t* p = bytes_.data();
    if (std::memcmp(p + at, "hbin", 4) != 0)
        fail(path, "damaged hive: no hive bin at offset " + hexOffset(at));
    std::size_t size = get32(p + at + bin::kSize);
    if (size <= kBinHeaderSize || size % kBinAlignment != 0 || size > binsEnd_ - at)
        fail(path, "damaged hive: the hive bin at offset " + hexOffset(at) + " has size " +
                       hexOffset(size));
    if (get32(p + at + bin::kOffset) != at - kBaseBlockSize)
        fail(path,
             "damaged hive: the hive bin at offset " + hexOffset(at) + " names another offset");
    for (std::size_t cell = at + kBinHeaderSize; cell < at + size;) {
        auto raw = static_cast<std::int32_t>(get32(p + cell));
        std::int64_t length = raw < 0 ? -static_cast<std::int64_t>(raw) : raw;
        if (length <= 4 || length % 4 != 0 || static_cast<std::size_t>(length) > at + size - cell)
            fail(path, "damaged hive: the cell at offset " + hexOffset(cell) + " has size " +
                           std::to_string(length));
        if (raw < 0) {
            std::size_t bit = (cell - kFirstCell) / kGrain;
            used_[bit / 64] |= std::uint64_t{1} << (bit % 64);
        }
        cell += static_cast<std::size_t>(length);
    }
    return size;
}

// libhivex, which writes the hive, refuses one whose root is no used key cell, and the reader
// refuses it alike, with the same message.
void HiveCells::checkRoot(const std::string& path) const {
    if (!is(root_, "nk"))
        fail(path, "damaged hive bins or cells: damaged or unknown structure");
}

} // namespace moxalo::hive
