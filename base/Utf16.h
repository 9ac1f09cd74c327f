#pragma once
// Conversions between the registry's UTF-16LE strings and the program's UTF-8 text. A registry
// name or string may hold a lone surrogate, half of a pair, which UTF-8 cannot: the text keeps
// it as the three bytes UTF-8 would give its code point (as WTF-8 does), so that converting
// back gives the same unit. Text shown to a user goes through displayText().

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::text {

// An odd trailing byte is ignored.
std::string utf16leToUtf8(const std::uint8_t* data, std::size_t size);
inline std::string utf16leToUtf8(const std::vector<std::uint8_t>& data) {
    return utf16leToUtf8(data.data(), data.size());
}
// A lone surrogate's three bytes give its unit back. Other bytes that are not UTF-8 are taken
// as Latin-1 characters, so no byte of input is dropped.
std::vector<std::uint8_t> utf8ToUtf16le(std::string_view text);
// The same, appended to bytes already there.
void appendUtf16le(std::string& out, std::string_view text);
// A REG_SZ value's data: the text in UTF-16LE followed by a NUL character.
std::vector<std::uint8_t> stringValueData(std::string_view text);

// The length of the character, or lone surrogate, whose bytes start at text[i]; 0 when the
// byte there starts neither.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i);
// The unit of the lone surrogate whose bytes start at text[i], or 0 when none does.
char16_t loneSurrogateAt(std::string_view text, std::size_t i);
// `text` as valid UTF-8, to be shown: each lone surrogate, and each byte that is not UTF-8,
// becomes U+FFFD.
std::string displayText(std::string_view text);
// The same for a text of the caller's, which comes back as it is, without a copy, when it has
// nothing to replace: a whole list file, say.
std::string intoDisplayText(std::string text);

} // namespace moxalo::text
