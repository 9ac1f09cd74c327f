#pragma once
// The Windows registry functions, in their 8-bit ("ANSI") form, over the mounted registry.
// Text crossing this boundary is UTF-8, the 8-bit code page of this platform. Handles are real:
// opened, looked up and closed; a closed or unknown handle answers ERROR_INVALID_HANDLE.

#include "registry/WinTypes.h"

namespace moxalo::registry {

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);
// Values come in the store's order; names and string data are converted as by RegQueryValueExA.
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
LONG RegCloseKey(HKEY hKey);
// Refuses a key that has subkeys (ERROR_ACCESS_DENIED), as Windows NT does. The change is
// written back to the source that held the key before the function returns.
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);

} // namespace moxalo::registry
