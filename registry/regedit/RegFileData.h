#pragma once
// The pieces of a value line: quoted strings with their escapes, dword digits, the hex type tag
// and comma-separated hex bytes. Each reports what is wrong in a short phrase.

#include "base/Result.h"
#include "registry/WinTypes.h"
#include "registry/regedit/RegFileText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace moxalo::regfile {

// No real value comes near this; it keeps a hostile file from filling memory with one value.
inline constexpr std::size_t kMaxValueBytes = 16u << 20;
// The longest value name the registry accepts, in characters.
inline constexpr std::size_t kMaxValueNameChars = 16383;

bool isBlank(char c);
bool isHexDigit(char c);
std::string_view skipBlanks(std::string_view text);
std::string_view trimBlanks(std::string_view text);
// A short quoted excerpt of `text` for messages, with control characters shown as "?".
std::string excerpt(std::string_view text);
// True when `rest` holds only blanks, optionally followed by a ";comment".
bool onlyComment(std::string_view rest);

struct QuotedText {
    std::string text;
    std::size_t end = 0; // just after the closing quote
    std::string problem; // empty when the text is usable
    std::vector<std::string> unknownEscapes;
};
// Reads a quoted string whose opening quote is just before `s`.
QuotedText readQuoted(std::string_view s);

// The text after "dword:": 1 to 8 hex digits, then only blanks or a comment.
Result<registry::DWORD> parseDword(std::string_view s);

struct HexTag {
    registry::DWORD type = registry::REG_BINARY;
    std::size_t length = 0; // of the tag, "hex:" or "hex(T):"
    // The type is written with a leading zero, "hex(02):": the bytes are the value's as they
    // stand (see finishHexData). regedit reads such a tag as it reads "hex(2):".
    bool asStored = false;
};
// Reads "hex:" or "hex(T):" at the start of `s`.
Result<HexTag> parseHexTag(std::string_view s);

enum class HexLine { Done, Continued, Invalid };
// Appends the bytes of one line of hex data. Continued: the line ends in ",\".
HexLine appendHexBytes(std::string_view s, std::vector<std::uint8_t>& bytes, std::string& problem);

// Gives hex(1), hex(2) and hex(7) data their terminating NUL and, in an 8-bit file, converts
// them from the file's code page to UTF-16LE, as regedit does; other types stay as they are.
// In a UTF-16 file the last whole character is looked at: when it is not NUL, a NUL character
// follows it, and an odd last byte stays after that.
std::vector<std::uint8_t> finishHexData(registry::DWORD type, std::vector<std::uint8_t> bytes,
                                        TextEncoding encoding, const text::CodePage& codePage);
// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ: the types whose hex data regedit converts.
bool isStringType(registry::DWORD type);

} // namespace moxalo::regfile
