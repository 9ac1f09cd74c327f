#include "catalogue/BackupName.h"

#include "platform/text/PercentEncoding.h"
#include "platform/text/TextFile.h"

#include <cstdint>

namespace moxalo::catalogue {

namespace {

constexpr std::string_view kSuffix = ".reg";
// What a Windows file name cannot hold besides control characters.
constexpr std::string_view kNotInWindowsNames = "\\/:*?\"<>|";
// Marks an encoding cut short: everywhere else a "%" is followed by two hexadecimal digits.
constexpr std::string_view kCutMark = "%~";
constexpr std::size_t kHashDigits = 16;
// The longest start of an encoding kept before the mark and the hash.
constexpr std::size_t kKeptLength = kMaxBackupName - kSuffix.size() - kCutMark.size() - kHashDigits;

bool escaped(unsigned char byte) {
    return byte == '%' || byte < 0x20 || byte == 0x7F ||
           kNotInWindowsNames.find(static_cast<char>(byte)) != std::string_view::npos;
}

// FNV-1a, 64 bits: fixed, so that an extension's backup keeps its name from one version of
// the program to the next. It tells names apart by chance, not against design: two long names
// made to collide share a file, the later backup replacing the earlier as one of the same key
// does.
std::string hashDigits(std::string_view bytes) {
    std::uint64_t hash = 0xCBF29CE484222325;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3;
    }
    constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string digits(kHashDigits, '0');
    for (std::size_t i = kHashDigits; i-- > 0; hash >>= 4)
        digits[i] = kHex[hash & 0x0F];
    return digits;
}

} // namespace

std::string RowBackupName(std::string_view extension) {
    std::string encoded;
    std::size_t kept = 0; // the longest start of whole characters that fits before the hash
    for (std::size_t i = 0; i < extension.size();) {
        std::size_t length = text::utf8CharacterLength(extension, i);
        auto byte = static_cast<unsigned char>(extension[i]);
        if (length == 0 || (length == 1 && escaped(byte))) {
            text::appendPercentEscape(encoded, byte);
            ++i;
        } else {
            encoded.append(extension.substr(i, length));
            i += length;
        }
        if (encoded.size() <= kKeptLength)
            kept = encoded.size();
    }
    if (encoded.size() + kSuffix.size() > kMaxBackupName)
        encoded = encoded.substr(0, kept) + std::string(kCutMark) + hashDigits(extension);
    return encoded + std::string(kSuffix);
}

} // namespace moxalo::catalogue
