#pragma once
// Turning a setting's text into a 32-bit whole number the way the program always has: blanks
// around it are ignored, "&H" and "&O" prefixes give hexadecimal and octal, a fraction rounds
// to the nearest whole number (halves to even); anything else is an error with its number.

#include <cstdint>
#include <string>
#include <variant>

namespace moxalo::catalogue {

struct ConversionError {
    int number;              // 13 for text that is not a number, 6 for one out of range
    std::string description; // "Type mismatch", "Overflow"
};

std::variant<std::int32_t, ConversionError> ToWholeNumber(const std::string& text);

} // namespace moxalo::catalogue
