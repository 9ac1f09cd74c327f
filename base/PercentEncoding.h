#pragma once
// Percent-encoding: a byte written as "%XX", its value in two uppercase hexadecimal digits, so
// that a text can hold any bytes without the ones its own syntax gives a meaning to.

#include <string>
#include <string_view>

namespace moxalo::text {

// Appends "%XX" for `byte` to `out`.
void appendPercentEscape(std::string& out, unsigned char byte);

// `text` with "%" and every byte of `reserved` written as "%XX", the rest as it is.
std::string percentEncode(std::string_view text, std::string_view reserved);

// The bytes `text` encodes: each "%XX" (in either case) becomes its byte; a "%" not followed by
// two hexadecimal digits stands for itself, so that no text is refused.
std::string percentDecode(std::string_view text);

} // namespace moxalo::text
