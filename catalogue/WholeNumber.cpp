#include "catalogue/WholeNumber.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace moxalo::catalogue {

namespace {

const ConversionError kTypeMismatch{13, "Type mismatch"};
const ConversionError kOverflow{6, "Overflow"};

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "&H1F" and "&O17": the whole text must be digits of that base. Values that fill 16 or 32 bits
// are taken as negative, as a hexadecimal literal is.
std::variant<std::int32_t, ConversionError> radixNumber(const std::string& digits, int base) {
    if (digits.empty() || digits.size() > 11)
        return kTypeMismatch;
    char* end = nullptr;
    errno = 0;
    unsigned long long n = std::strtoull(digits.c_str(), &end, base);
    if (*end != '\0' || digits[0] == '-' || digits[0] == '+' || errno != 0)
        return kTypeMismatch;
    if (n > 0xFFFFFFFFull)
        return kOverflow;
    if (n <= 0xFFFF)
        return static_cast<std::int32_t>(n > 0x7FFF ? static_cast<std::int16_t>(n) : n);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
}

} // namespace

std::variant<std::int32_t, ConversionError> ToWholeNumber(const std::string& text) {
    std::string t = trimmed(text);
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h'))
        return radixNumber(t.substr(2), 16);
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'O' || t[1] == 'o'))
        return radixNumber(t.substr(2), 8);
    if (t.empty() || t.find_first_of("xXpPnN") != std::string::npos)
        return kTypeMismatch; // strtod would take hex, "inf" and "nan"; a setting never means them
    char* end = nullptr;
    double value = std::strtod(t.c_str(), &end);
    if (*end != '\0')
        return kTypeMismatch;
    double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        return kOverflow;
    return static_cast<std::int32_t>(rounded);
}

} // namespace moxalo::catalogue
