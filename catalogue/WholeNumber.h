#pragma once
// Turning a setting's text into a 32-bit whole number the way the program always has: blanks
// around it are ignored, "&H" and "&O" prefixes give hexadecimal and octal, a fraction rounds
// to the nearest whole number (halves to even); anything else fails with its error's number and
// description: "Error: 13 - Type mismatch" for text that is not a number, "Error: 6 - Overflow"
// for one out of range.

#include "base/Result.h"

#include <cstdint>
#include <string>

namespace moxalo::catalogue {

Result<std::int32_t> ToWholeNumber(const std::string& text);

} // namespace moxalo::catalogue
