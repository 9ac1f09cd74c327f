#pragma once
// How large a .reg file may be. The readers refuse a larger one and the writers do not write
// one, so that every .reg file the program writes can be read back.

#include "base/ByteOrderMark.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace moxalo::regfile {

// Real exports of a whole HKEY_CLASSES_ROOT hold tens of millions of characters; this leaves
// ample room and bounds the memory a hostile file takes. It counts characters, not bytes, so
// that an 8-bit file exported again in UTF-16, at twice its bytes, is read all the same.
inline constexpr std::size_t kMaxRegFileChars = std::size_t{512} << 20;
// How a UTF-16 .reg file begins; any other is 8-bit, a byte a character.
inline constexpr std::string_view kUtf16Mark = text::kUtf16leMark;
// The bytes of the largest file within the limit, in UTF-16 after its byte order mark: a
// larger file is refused before it is read, whatever its encoding.
inline constexpr std::size_t kMaxRegFileBytes = kUtf16Mark.size() + 2 * kMaxRegFileChars;

// Why a .reg file of `size` bytes that begins with `start` (its first two bytes, where it has
// them) is not read ("holds more than ... characters, ..."), or "".
std::string whyTooLarge(std::string_view start, std::size_t size);

} // namespace moxalo::regfile
