#pragma once
// Where things sit in a registry hive file ("regf"), for the few places that read or write its
// bytes directly instead of through libhivex. Offsets of cells are relative to the first hive
// bin, which follows the 4096-byte base block; all numbers are little-endian.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace moxalo::hive::layout {

inline constexpr std::size_t kBaseBlockSize = 0x1000;
inline constexpr std::size_t kBinAlignment = 0x1000;
inline constexpr std::size_t kBinHeaderSize = 0x20;
inline constexpr std::size_t kCellAlignment = 8;
// A cell offset of all ones means "no cell" (no subkeys, no values, no class name).
inline constexpr std::uint32_t kNoCell = 0xFFFFFFFFu;
// libhivex refuses to list a key with more subkeys than this (HIVEX_MAX_SUBKEYS), so no key
// written here may have more.
inline constexpr std::size_t kMaxReadableSubkeys = 70000;
// The same for a key's values (HIVEX_MAX_VALUES).
inline constexpr std::size_t kMaxReadableValues = 110000;
// libhivex writes a value's data into one cell, which with its 4-byte size field may not be
// larger than it allocates (HIVEX_MAX_ALLOCATION).
inline constexpr std::size_t kMaxWritableValueData = 1000000 - 4;

namespace base {
inline constexpr std::size_t kSequence1 = 4;
inline constexpr std::size_t kSequence2 = 8;
inline constexpr std::size_t kTimestamp = 12;
inline constexpr std::size_t kMajorVersion = 20;
inline constexpr std::size_t kMinorVersion = 24;
inline constexpr std::size_t kFileType = 28;
inline constexpr std::size_t kFileFormat = 32;
inline constexpr std::size_t kRootCell = 36;
inline constexpr std::size_t kBinsSize = 40;
inline constexpr std::size_t kClustering = 44;
inline constexpr std::size_t kChecksum = 508;
} // namespace base

namespace bin {
inline constexpr std::size_t kOffset = 4;
inline constexpr std::size_t kSize = 8;
inline constexpr std::size_t kTimestamp = 20;
} // namespace bin

// Key node cell ("nk"); offsets from the start of the cell, its size field included.
namespace nk {
inline constexpr std::size_t kFlags = 6;
inline constexpr std::size_t kTimestamp = 8;
inline constexpr std::size_t kParent = 20;
inline constexpr std::size_t kSubkeyCount = 24;
inline constexpr std::size_t kVolatileSubkeyCount = 28;
inline constexpr std::size_t kSubkeyList = 32;
inline constexpr std::size_t kVolatileSubkeyList = 36;
inline constexpr std::size_t kValueCount = 40;
inline constexpr std::size_t kValueList = 44;
inline constexpr std::size_t kSecurity = 48;
inline constexpr std::size_t kClassName = 52;
inline constexpr std::size_t kMaxSubkeyNameBytes = 56;
// Windows' own bookkeeping, of no meaning in the file; it sits just before the two lengths.
inline constexpr std::size_t kWorkVariable = 72;
inline constexpr std::size_t kNameLength = 76;
inline constexpr std::size_t kClassNameLength = 78;
inline constexpr std::size_t kName = 80;
inline constexpr std::uint16_t kHiveEntry = 0x0004;
inline constexpr std::uint16_t kCompressedName = 0x0020;
} // namespace nk

// Value cell ("vk").
namespace vk {
inline constexpr std::size_t kNameLength = 6;
inline constexpr std::size_t kDataLength = 8;
inline constexpr std::size_t kData = 12;
inline constexpr std::size_t kType = 16;
inline constexpr std::size_t kFlags = 20;
// Set in the data length when up to four bytes of data sit in the data field itself.
inline constexpr std::uint32_t kInlineData = 0x80000000u;
inline constexpr std::size_t kName = 24;
inline constexpr std::uint16_t kCompressedName = 0x0001;
} // namespace vk

// Security cell ("sk"): a ring of descriptors shared by the keys that reference them.
namespace sk {
inline constexpr std::size_t kNext = 8;
inline constexpr std::size_t kPrevious = 12;
inline constexpr std::size_t kReferences = 16;
inline constexpr std::size_t kDescriptorSize = 20;
inline constexpr std::size_t kDescriptor = 24;
} // namespace sk

// Subkey lists: "lh" holds (cell, name hash) pairs, "ri" holds cells of further lists.
namespace list {
inline constexpr std::size_t kCount = 6;
inline constexpr std::size_t kEntries = 8;
inline constexpr std::size_t kLeafEntrySize = 8;
inline constexpr std::size_t kIndexEntrySize = 4;
} // namespace list

inline std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint64_t get64(const std::uint8_t* p) {
    return get32(p) | std::uint64_t{get32(p + 4)} << 32;
}
inline void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void put64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The base block's checksum: the XOR of its first 127 double words, as libhivex checks it.
inline std::uint32_t baseBlockChecksum(const std::uint8_t* block) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < base::kChecksum; i += 4)
        sum ^= get32(block + i);
    return sum;
}

} // namespace moxalo::hive::layout
