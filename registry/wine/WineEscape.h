#pragma once
// The string escapes of Wine's registry files. Text there is UTF-16 written as 7-bit ASCII:
// C escapes for control characters, octal for the other ones below 32, \x for the rest above 127.

#include <optional>
#include <string>
#include <string_view>

namespace moxalo::registry {

// Writes `text` escaped as wineserver does. A backslash and the two characters of `quotes`
// (`""` for names and data, `[]` for key names) get a backslash in front. Every unit is written,
// a final NUL too: leaving out a string's terminator is the caller's business.
std::string escapeWineText(std::u16string_view text, std::string_view quotes);

// Reads escaped text from `line` at `pos` up to the unescaped character `end`; returns the
// position just after `end`, or nothing when the line ends first. Raw UTF-8 is accepted too.
std::optional<std::size_t> parseWineText(std::string_view line, std::size_t pos, char end,
                                         std::u16string& text);

// Converts between the program's UTF-8 names and UTF-16 units.
std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view units);

} // namespace moxalo::registry
