// The registry through the real Win32 calls. Handles and error codes pass through unchanged.
#include "platform/registry.h"
#include "platform/win32/win32_headers.h"

namespace plat {
namespace {

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

}  // namespace

Long RegOpenKey(RegKey root, const char* subKey, Dword access, RegKey* out) {
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExA(ToHkey(root), subKey, 0, access, &key);
    if (out != nullptr) *out = result == ERROR_SUCCESS ? FromHkey(key) : 0;
    return result;
}

Long RegCreateKey(RegKey root, const char* subKey, RegKey* out) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    char emptyClass[] = "";
    LONG result = ::RegCreateKeyExA(ToHkey(root), subKey, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (out != nullptr) *out = result == ERROR_SUCCESS ? FromHkey(key) : 0;
    return result;
}

Long RegCloseKey(RegKey key) { return ::RegCloseKey(ToHkey(key)); }

Long RegQueryValue(RegKey key, const char* name, Dword* type, std::uint8_t* data, Dword* size) {
    DWORD winType = 0;
    DWORD winSize = size != nullptr ? *size : 0;
    LONG result =
        ::RegQueryValueExA(ToHkey(key), name, nullptr, type != nullptr ? &winType : nullptr, data,
                           size != nullptr ? &winSize : nullptr);
    // What the function wrote is passed on; a failure leaves the caller's variables as they were.
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (type != nullptr) *type = winType;
        if (size != nullptr) *size = winSize;
    }
    return result;
}

Long RegSetValue(RegKey key, const char* name, Dword type, const std::uint8_t* data, Dword size) {
    return ::RegSetValueExA(ToHkey(key), name, 0, type, data, size);
}

Long RegDeleteValue(RegKey key, const char* name) { return ::RegDeleteValueA(ToHkey(key), name); }

Long RegDeleteKey(RegKey key, const char* subKey) { return ::RegDeleteKeyA(ToHkey(key), subKey); }

}  // namespace plat
