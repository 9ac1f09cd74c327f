#pragma once
// A text file as Notepad reads it: the encoding its byte order mark names, else UTF-8 when the
// bytes are valid UTF-8, else the Windows ANSI code page.

#include "base/CodePage.h"
#include "base/Result.h"

#include <string>
#include <string_view>

namespace moxalo::text {

enum class TextEncoding {
    Utf16le,     // with the mark FF FE
    Utf16be,     // with the mark FE FF
    Utf8WithBom, // with the mark EF BB BF
    Utf8,        // no mark, valid UTF-8 (plain ASCII too)
    Ansi,        // no mark, not UTF-8: one byte a character in the code page
};

struct DecodedText {
    TextEncoding encoding = TextEncoding::Utf8;
    std::string utf8;                // without the byte order mark
    bool halfCharacterAtEnd = false; // UTF-16 with an odd number of bytes
};

// What cannot be decoded is not dropped: unpaired UTF-16 surrogates and invalid bytes after a
// UTF-8 mark become U+FFFD, an odd byte at the end of UTF-16 is left out.
DecodedText decodeText(std::string_view bytes, const text::CodePage& ansi);

// Valid UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, nothing cut off.
bool isValidUtf8(std::string_view bytes);
// The length of the valid UTF-8 character at `i` (by the rules above), or 0 when none starts
// there.
std::size_t utf8CharacterLength(std::string_view bytes, std::size_t i);

// Reads and decodes the file at `path`; fails with the system's reason ("No such file or
// directory", "Is a directory") when it cannot be read.
Result<DecodedText> readTextFile(const std::string& path, const text::CodePage& ansi);

} // namespace moxalo::text
