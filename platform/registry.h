// The registry family: the handful of RegXxxA operations the programs call.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

// An open key. 0 is "no key". The predefined roots carry their Win32 values.
using RegKey = std::uintptr_t;

constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;
constexpr RegKey kHkeyUsers = 0x80000003u;
constexpr RegKey kHkeyCurrentConfig = 0x80000005u;
constexpr RegKey kHkeyDynData = 0x80000006u;

// Value types.
constexpr Dword kRegNone = 0;
constexpr Dword kRegSz = 1;
constexpr Dword kRegExpandSz = 2;
constexpr Dword kRegBinary = 3;
constexpr Dword kRegDword = 4;
constexpr Dword kRegMultiSz = 7;

// Access rights for opening a key.
constexpr Dword kKeyRead = 0x20019;
constexpr Dword kKeyAllAccess = 0xF003F;

// RegOpenKeyExA: opens an existing key, never creates one. A path beginning with a backslash is
// refused (161) here and by RegDeleteKey, skipped by RegCreateKey.
Long RegOpenKey(RegKey root, const char* subKey, Dword access, RegKey* out);
// RegCreateKeyExA with class "", non-volatile, KEY_ALL_ACCESS, no security attributes.
Long RegCreateKey(RegKey root, const char* subKey, RegKey* out);
Long RegCloseKey(RegKey key);
// RegQueryValueExA. `type` and `data` may be null; `size` is in/out (capacity, then the
// value's byte count). A too small buffer gives kErrorMoreData and the needed size. The count
// stays the stored one; a text type stored without its terminator gets one in the buffer after
// the data when there is room.
Long RegQueryValue(RegKey key, const char* name, Dword* type, std::uint8_t* data, Dword* size);
// RegSetValueExA: stores exactly `size` bytes of `data` with the given type, but for REG_SZ:
// Windows 98 ignores the count and stores the text up to and with its terminator.
Long RegSetValue(RegKey key, const char* name, Dword type, const std::uint8_t* data, Dword size);
Long RegDeleteValue(RegKey key, const char* name);
// RegDeleteKeyA. An empty `subKey` deletes the open key itself. Subkeys go with it, as on
// Windows 98.
Long RegDeleteKey(RegKey key, const char* subKey);

}  // namespace plat
