#pragma once
// Reading hexadecimal digits, in either case, as .reg data and percent-escapes write them.

namespace moxalo::text {

// The value of a hexadecimal digit, or -1 for any other character.
inline int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace moxalo::text
