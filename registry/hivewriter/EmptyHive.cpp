#include "registry/hivewriter/EmptyHive.h"

#include "base/AtomicFile.h"
#include "registry/Attempt.h"
#include "registry/hive/HiveLayout.h"

#include <chrono>
#include <string_view>

namespace moxalo::hive {

namespace {

using namespace layout;

constexpr std::size_t kRootCell = kBinHeaderSize;
constexpr std::string_view kRootName = "ROOT";
constexpr std::size_t kRootCellSize =
    (nk::kName + kRootName.size() + kCellAlignment - 1) / kCellAlignment * kCellAlignment;
constexpr std::size_t kSecurityCell = kRootCell + kRootCellSize;

// Owner and group Administrators (S-1-5-32-544); one ACE giving Everyone (S-1-1-0) full
// access to the key and the keys below it, as a freshly created hive has.
constexpr std::uint8_t kDescriptor[] = {
    1, 0,    0x04, 0x80, 48,   0, 0,    0, 64, 0, 0, 0, 0,    0, 0, 0, 20, 0, 0, 0, // header
    2, 0,    28,   0,    1,    0, 0,    0,                                          // ACL
    0, 0x02, 20,   0,    0x3F, 0, 0x0F, 0, 1,  1, 0, 0, 0,    0, 0, 1, 0,  0, 0, 0, // ACE
    1, 2,    0,    0,    0,    0, 0,    5, 32, 0, 0, 0, 0x20, 2, 0, 0,              // owner
    1, 2,    0,    0,    0,    0, 0,    5, 32, 0, 0, 0, 0x20, 2, 0, 0,              // group
};
constexpr std::size_t kSecurityCellSize = sk::kDescriptor + sizeof kDescriptor;
constexpr std::size_t kFreeCell = kSecurityCell + kSecurityCellSize;
static_assert(kSecurityCellSize % kCellAlignment == 0);

std::uint64_t fileTimeNow() {
    constexpr std::uint64_t kUnixEpochInFileTime = 116444736000000000ull;
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return kUnixEpochInFileTime +
           static_cast<std::uint64_t>(
               std::chrono::duration_cast<std::chrono::microseconds>(since).count()) *
               10;
}

void writeBaseBlock(std::uint8_t* p, std::uint64_t now) {
    std::memcpy(p, "regf", 4);
    put32(p + base::kSequence1, 1);
    put32(p + base::kSequence2, 1);
    put64(p + base::kTimestamp, now);
    put32(p + base::kMajorVersion, 1);
    put32(p + base::kMinorVersion, 5);
    put32(p + base::kFileType, 0);
    put32(p + base::kFileFormat, 1);
    put32(p + base::kRootCell, kRootCell);
    put32(p + base::kBinsSize, kBinAlignment);
    put32(p + base::kClustering, 1);
    put32(p + base::kChecksum, baseBlockChecksum(p));
}

void writeRootKey(std::uint8_t* bin, std::uint64_t now) {
    std::uint8_t* p = bin + kRootCell;
    put32(p, static_cast<std::uint32_t>(-static_cast<std::int32_t>(kRootCellSize)));
    std::memcpy(p + 4, "nk", 2);
    put16(p + nk::kFlags, nk::kHiveEntry | nk::kCompressedName);
    put64(p + nk::kTimestamp, now);
    for (std::size_t field :
         {nk::kSubkeyList, nk::kVolatileSubkeyList, nk::kValueList, nk::kClassName})
        put32(p + field, kNoCell);
    put32(p + nk::kSecurity, kSecurityCell);
    put16(p + nk::kNameLength, static_cast<std::uint16_t>(kRootName.size()));
    std::memcpy(p + nk::kName, kRootName.data(), kRootName.size());
}

void writeSecurity(std::uint8_t* bin) {
    std::uint8_t* p = bin + kSecurityCell;
    put32(p, static_cast<std::uint32_t>(-static_cast<std::int32_t>(kSecurityCellSize)));
    std::memcpy(p + 4, "sk", 2);
    put32(p + sk::kNext, kSecurityCell);
    put32(p + sk::kPrevious, kSecurityCell);
    put32(p + sk::kReferences, 1);
    put32(p + sk::kDescriptorSize, sizeof kDescriptor);
    std::memcpy(p + sk::kDescriptor, kDescriptor, sizeof kDescriptor);
}

} // namespace

std::vector<std::uint8_t> emptyHiveBytes() {
    std::vector<std::uint8_t> bytes(kBaseBlockSize + kBinAlignment);
    std::uint64_t now = fileTimeNow();
    std::uint8_t* bin = bytes.data() + kBaseBlockSize;
    std::memcpy(bin, "hbin", 4);
    put32(bin + bin::kOffset, 0);
    put32(bin + bin::kSize, kBinAlignment);
    put64(bin + bin::kTimestamp, now);
    writeRootKey(bin, now);
    writeSecurity(bin);
    put32(bin + kFreeCell, kBinAlignment - kFreeCell);
    writeBaseBlock(bytes.data(), now);
    return bytes;
}

void writeEmptyHive(const std::string& path) {
    auto bytes = emptyHiveBytes();
    registry::orStoreError(fs::writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

} // namespace moxalo::hive
