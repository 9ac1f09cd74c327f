#pragma once
// The Windows registry's own types, handle values, access masks, value types and error codes,
// so that code above the registry reads exactly as it would against the Windows API.

#include <cstdint>

namespace moxalo::registry {

using LONG = std::int32_t;
// Nonzero for success; Windows' own constants TRUE and FALSE are left out, as other headers
// define them as macros.
using BOOL = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using REGSAM = DWORD;
using HKEY = DWORD;
using PHKEY = HKEY*;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;
using LPSTR = char*;
using LPCSTR = const char*;

struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};
using PFILETIME = FILETIME*;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr REGSAM KEY_READ = 0x20019u;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_OUTOFMEMORY = 14;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
// "The configuration registry database is corrupt": what Windows answers when a hive's cells do
// not hold up, and what these functions answer for any key or value a store cannot read.
inline constexpr LONG ERROR_BADDB = 1009;
inline constexpr LONG ERROR_KEY_DELETED = 1018;
inline constexpr LONG ERROR_WRITE_FAULT = 29;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_LINK = 6;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// The longest key name the registry accepts, in characters (without the terminating NUL).
inline constexpr DWORD MAX_KEY_NAME = 255;
// The size of the text buffers that names are enumerated into, in characters.
inline constexpr DWORD MAX_PATH = 260;

} // namespace moxalo::registry
