#pragma once
// The Windows profile functions over INI files, read and written as Windows does it: names
// match without regard to case or surrounding blanks, and a write changes only the lines it
// must, leaving every other byte of the file as it was. The 8-bit strings are UTF-8.
//
// The file is read afresh on every call; nothing is cached. A path is used as given (Windows
// would look for a bare file name in its own folder). A file that starts with a UTF-8 or UTF-16
// byte order mark is read in that encoding and written back in it; any other file is taken as
// UTF-8 bytes and written back as such.

#include "registry/WinTypes.h"

namespace moxalo::profile {

using registry::BOOL;
using registry::DWORD;

// The value of `key` in `section` (quotes around it removed) or, failing that, `defaultValue`
// (NULL being "", with trailing spaces and quotes removed), copied to `buffer` as at most
// size - 1 bytes and a NUL. Returns the bytes copied without the NUL; size 0 copies nothing.
// Windows lists the names of the sections, or of a section's keys, for a NULL `section` or
// `key`; the program never asks for them, and gets an empty text.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);

// Sets `key` in `section` to `value`, adding the key at the end of its section, or the section
// at the end of the file, when missing; the file is created if need be. Returns nonzero on
// success; on failure the file is as it was. Refused: a NULL or blank section, a blank key, a
// key holding "=" or starting with ";" or "[", and a line break in any of the three, as each
// would make a line that does not read back as written; and a NULL key or value, with which
// Windows deletes, which the program never asks for.
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);

} // namespace moxalo::profile
