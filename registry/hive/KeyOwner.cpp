#include "registry/hive/KeyOwner.h"

#include "registry/hive/HiveCells.h"
#include "registry/hive/HiveLayout.h"

#include <cstdio>

namespace moxalo::hive {

namespace {

using namespace layout;

// SID: revision, subauthority count, authority; then the subauthorities.
constexpr std::size_t kSidHeader = 8;
constexpr std::size_t kMaxSubAuthorities = 15; // SID_MAX_SUB_AUTHORITIES
// SECURITY_DESCRIPTOR_RELATIVE: revision, padding, control, then the owner's offset.
constexpr std::size_t kDescriptorOwner = 4;
constexpr std::size_t kDescriptorHeader = 20;

} // namespace

std::optional<std::string> sidText(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kSidHeader || bytes[0] != 1)
        return std::nullopt;
    std::size_t count = bytes[1];
    if (count > kMaxSubAuthorities || kSidHeader + 4 * count > bytes.size())
        return std::nullopt;
    std::uint64_t authority = 0;
    for (std::size_t i = 2; i < kSidHeader; ++i)
        authority = authority << 8 | bytes[i];
    std::string text = "S-1-";
    // Windows writes an authority that needs more than 32 bits in hex.
    if (authority >> 32 != 0) {
        char hex[20];
        std::snprintf(hex, sizeof hex, "0x%012llX", static_cast<unsigned long long>(authority));
        text += hex;
    } else {
        text += std::to_string(authority);
    }
    for (std::size_t i = 0; i < count; ++i)
        text += "-" + std::to_string(get32(bytes.data() + kSidHeader + 4 * i));
    return text;
}

std::optional<std::string> keyOwner(const HiveCells& cells, std::size_t key) {
    if (!cells.is(key, "nk") || cells.usedCell(key) < nk::kName)
        return std::nullopt;
    std::uint32_t security = get32(cells.bytes() + key + nk::kSecurity);
    if (security == kNoCell)
        return std::nullopt;
    std::size_t sk = kBaseBlockSize + std::size_t{security};
    std::size_t size = cells.usedCell(sk);
    if (!cells.is(sk, "sk") || size < sk::kDescriptor)
        return std::nullopt;
    std::size_t length = get32(cells.bytes() + sk + sk::kDescriptorSize);
    if (length < kDescriptorHeader || length > size - sk::kDescriptor)
        return std::nullopt;
    std::span<const std::uint8_t> descriptor(cells.bytes() + sk + sk::kDescriptor, length);
    std::size_t owner = get32(descriptor.data() + kDescriptorOwner);
    if (descriptor[0] != 1 || owner < kDescriptorHeader || owner >= length)
        return std::nullopt;
    return sidText(descriptor.subspan(owner));
}

} // namespace moxalo::hive
