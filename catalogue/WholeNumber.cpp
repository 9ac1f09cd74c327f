#include "catalogue/WholeNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

// Numbers are read with std::from_chars, never strtod and the like: the window sets the user's
// locale, and a setting must not mean another number (or none) under a decimal comma.

namespace moxalo::catalogue {

namespace {

Failure typeMismatch() {
    return fail("Error: 13 - Type mismatch");
}

Failure overflow() {
    return fail("Error: 6 - Overflow");
}

std::string_view trimmed(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "&H1F" and "&O17": after the prefix come digits of that base and nothing else, no blank or
// sign. Values that fill 16 or 32 bits are taken as negative, as a hexadecimal literal is.
Result<std::int32_t> radixNumber(std::string_view digits, int base) {
    if (digits.empty() || digits.size() > 11)
        return typeMismatch();
    std::uint64_t n = 0;
    const char* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, n, base);
    if (error != std::errc{} || stop != end)
        return typeMismatch();
    if (n > 0xFFFFFFFFull)
        return overflow();
    if (n <= 0xFFFF)
        return static_cast<std::int32_t>(n > 0x7FFF ? static_cast<std::int16_t>(n) : n);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
}

// For a number from_chars found beyond a double's range: whether it is beyond the largest
// rather than below the smallest, told by the power of ten of its first significant digit.
bool beyondLargest(std::string_view number) {
    std::size_t e = number.find_first_of("eE");
    std::string_view mantissa = number.substr(0, e);
    std::int64_t exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        bool negative = digits.starts_with('-');
        if (negative || digits.starts_with('+'))
            digits.remove_prefix(1);
        if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec ==
            std::errc::result_out_of_range)
            exponent = std::numeric_limits<std::int32_t>::max(); // far beyond either end
        if (negative)
            exponent = -exponent;
    }
    std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    std::size_t first = mantissa.find_first_not_of("0.");
    if (first == std::string_view::npos)
        return false;
    auto power = first < point ? static_cast<std::int64_t>(point - first - 1)
                               : -static_cast<std::int64_t>(first - point);
    return power + exponent > 0;
}

} // namespace

Result<std::int32_t> ToWholeNumber(const std::string& text) {
    std::string_view t = trimmed(text);
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h'))
        return radixNumber(t.substr(2), 16);
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'O' || t[1] == 'o'))
        return radixNumber(t.substr(2), 8);

    // A sign, then digits with a point and an exponent where wanted. from_chars would also
    // take "inf" and "nan", which a setting never means.
    bool negative = t.starts_with('-');
    std::string_view number = t.substr(negative || t.starts_with('+') ? 1 : 0);
    if (number.empty() || number[0] == '+' || number[0] == '-' ||
        number.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        return typeMismatch();
    double value = 0;
    const char* end = number.data() + number.size();
    auto [stop, error] = std::from_chars(number.data(), end, value);
    if (stop != end || (error != std::errc{} && error != std::errc::result_out_of_range))
        return typeMismatch();
    if (error == std::errc::result_out_of_range) {
        if (beyondLargest(number))
            return overflow();
        value = 0;
    }
    double rounded = std::nearbyint(negative ? -value : value);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max())
        return overflow();
    return static_cast<std::int32_t>(rounded);
}

} // namespace moxalo::catalogue
