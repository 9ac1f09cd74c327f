#include "catalogue/BackupName.h"

#include "base/PercentEncoding.h"
#include "base/TextFile.h"

#include <array>
#include <openssl/evp.h>
#include <stdexcept>

namespace moxalo::catalogue {

namespace {

constexpr std::string_view kSuffix = ".reg";
// What a Windows file name cannot hold besides control characters.
constexpr std::string_view kNotInWindowsNames = "\\/:*?\"<>|";
// Marks an encoding cut short: everywhere else a "%" is followed by two hexadecimal digits.
constexpr std::string_view kCutMark = "%~";
// 128 bits of SHA-256: two names that share a file cannot be found, even on purpose.
constexpr std::size_t kHashDigits = 32;
// The longest start of an encoding kept before the mark and the hash.
constexpr std::size_t kKeptLength = kMaxBackupName - kSuffix.size() - kCutMark.size() - kHashDigits;

bool escaped(unsigned char byte) {
    return byte == '%' || byte < 0x20 || byte == 0x7F ||
           kNotInWindowsNames.find(static_cast<char>(byte)) != std::string_view::npos;
}

// A hash fixed once, so that an extension's backup keeps its name from one version of the
// program to the next; a cryptographic one, since whoever wrote the registry chose the names.
std::string hashDigits(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
    constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string digits;
    for (std::size_t i = 0; digits.size() < kHashDigits; ++i) {
        digits += kHex[digest[i] >> 4];
        digits += kHex[digest[i] & 0x0F];
    }
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
