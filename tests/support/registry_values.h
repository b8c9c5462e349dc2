// Reading the registry back in tests, through the platform's own calls.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace testsupport {

struct RegValue {
    bool present = false;
    plat::Dword type = 0;
    std::vector<std::uint8_t> bytes;
    // A text value up to its terminator (Windows 98 stores one whatever count was given).
    std::string Text() const {
        std::string text(bytes.begin(), bytes.end());
        return text.substr(0, text.find('\0'));
    }
};

inline RegValue ReadValue(plat::RegKey root, const char* key, const char* name) {
    RegValue value;
    plat::RegKey handle = 0;
    if (plat::RegOpenKey(root, key, plat::kKeyRead, &handle) != plat::kErrorSuccess) return value;
    std::uint8_t data[1024];
    plat::Dword size = sizeof data;
    if (plat::RegQueryValue(handle, name, &value.type, data, &size) == plat::kErrorSuccess) {
        value.present = true;
        value.bytes.assign(data, data + size);
    }
    plat::RegCloseKey(handle);
    return value;
}

inline bool KeyExists(plat::RegKey root, const char* key) {
    plat::RegKey handle = 0;
    if (plat::RegOpenKey(root, key, plat::kKeyRead, &handle) != plat::kErrorSuccess) return false;
    plat::RegCloseKey(handle);
    return true;
}

// Writes a text value with its terminator, creating the key.
inline bool WriteText(plat::RegKey root, const char* key, const char* name, const char* text) {
    plat::RegKey handle = 0;
    if (plat::RegCreateKey(root, key, &handle) != plat::kErrorSuccess) return false;
    bool ok =
        plat::RegSetValue(handle, name, plat::kRegSz, reinterpret_cast<const std::uint8_t*>(text),
                          static_cast<plat::Dword>(std::strlen(text) + 1)) == plat::kErrorSuccess;
    plat::RegCloseKey(handle);
    return ok;
}

}  // namespace testsupport
