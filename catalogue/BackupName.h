#pragma once
// The file name of an extension's backup, made from the extension's name in the registry,
// which a stranger may have chosen: it names one file in the Backups folder and no other place,
// a file Windows could hold too, and distinct extensions get distinct files.

#include <cstddef>
#include <string>
#include <string_view>

namespace moxalo::catalogue {

// The longest backup file name, in bytes: a file name holds at most 255 (Linux's file systems;
// Windows counts 255 UTF-16 units, never more than the UTF-8 bytes), less 7 for the ".XXXXXX"
// that a copy being written beside the file adds (mkstemp's pattern, which copying tools and
// editors use as well).
inline constexpr std::size_t kMaxBackupName = 248;

// "EXT.reg" for the extension EXT (without its dot), percent-encoded: "%" itself, the characters
// a Windows file name cannot hold (\ / : * ? " < > |), the control characters U+0000-U+001F and
// U+007F, and any byte that is no part of a valid UTF-8 character are written as "%XX", the
// byte in uppercase hexadecimal ("a:b" gives "a%3Ab.reg", "a%3Ab" gives "a%253Ab.reg"); the
// rest stays as it is ("txt" gives "txt.reg"). The ".reg" that follows keeps ".", ".." and the
// empty name from being the whole name. When that would be longer than kMaxBackupName, the
// encoding keeps as many whole characters as fit before "%~" and 32 hexadecimal digits of the
// SHA-256 of the whole extension; "%~" stands in no encoding that is not cut short.
std::string RowBackupName(std::string_view extension);

} // namespace moxalo::catalogue
