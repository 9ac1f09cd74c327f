#pragma once
// SHGetFileInfoA, as far as a registry without a Windows shell can answer it: the type name of
// a file with a given extension. Other requested fields are left empty.

#include "registry/WinTypes.h"

#include <cstdint>
#include <string>

namespace moxalo::shell {

using registry::DWORD;

struct SHFILEINFOA {
    std::uint32_t hIcon = 0;
    int iIcon = 0;
    DWORD dwAttributes = 0;
    char szDisplayName[registry::MAX_PATH] = {};
    char szTypeName[80] = {};
};

inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD SHGFI_SMALLICON = 0x1;
inline constexpr DWORD SHGFI_SHELLICONSIZE = 0x4;
inline constexpr DWORD SHGFI_USEFILEATTRIBUTES = 0x10;
inline constexpr DWORD SHGFI_DISPLAYNAME = 0x200;
inline constexpr DWORD SHGFI_TYPENAME = 0x400;
inline constexpr DWORD SHGFI_EXETYPE = 0x2000;
inline constexpr DWORD SHGFI_SYSICONINDEX = 0x4000;

// pszPath names a file; with SHGFI_USEFILEATTRIBUTES it need not exist, and only its extension
// counts. With SHGFI_TYPENAME, szTypeName receives the type name (cut to 79 bytes).
// The result is non-zero on success.
std::uintptr_t SHGetFileInfoA(const char* pszPath, DWORD dwFileAttributes, SHFILEINFOA* psfi,
                              unsigned cbFileInfo, unsigned uFlags);

// The rules behind the type name: the type key named by the extension key's default value
// gives its FriendlyTypeName when that is plain text, else its own default value; failing
// both, the extension without its dot in capitals followed by " File".
std::string TypeNameOfExtension(const std::string& dottedExtension);

} // namespace moxalo::shell
