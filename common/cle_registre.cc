#include "common/cle_registre.h"

#include <cstring>

CCleRegistre::CCleRegistre(plat::RegKey root, const char* subKey, bool create) {
    Open(root, subKey, create);
}

CCleRegistre::~CCleRegistre() { Close(); }

void CCleRegistre::Open(plat::RegKey root, const char* subKey, bool create) {
    Close();
    plat::RegKey key = 0;
    plat::Long result;
    if (create) {
        result = plat::RegCreateKey(root, subKey, &key);
    } else {
        // Opened for writing too, since callers set values through keys they did not create;
        // read access alone where the system refuses more.
        result = plat::RegOpenKey(root, subKey, plat::kKeyAllAccess, &key);
        if (result != plat::kErrorSuccess) {
            result = plat::RegOpenKey(root, subKey, plat::kKeyRead, &key);
        }
    }
    m_hkey = result == plat::kErrorSuccess ? key : 0;
}

void CCleRegistre::Close() {
    if (m_hkey != 0) {
        plat::RegCloseKey(m_hkey);
        m_hkey = 0;
    }
}

bool CCleRegistre::QueryString(const char* name, char* buffer, plat::Dword size) {
    if (!IsOpen() || buffer == nullptr || size == 0) return false;
    plat::Dword count = size;
    plat::Long result =
        plat::RegQueryValue(m_hkey, name, nullptr, reinterpret_cast<std::uint8_t*>(buffer), &count);
    if (result != plat::kErrorSuccess) return false;
    // A value stored without its terminator comes back without one.
    buffer[count < size ? count : size - 1] = '\0';
    return true;
}

bool CCleRegistre::QueryBinary(const char* name, std::uint8_t* buffer, plat::Dword* size) {
    if (!IsOpen()) return false;
    return plat::RegQueryValue(m_hkey, name, nullptr, buffer, size) == plat::kErrorSuccess;
}

bool CCleRegistre::QueryDword(const char* name, plat::Dword* value) {
    if (!IsOpen()) return false;
    std::uint8_t bytes[4] = {0, 0, 0, 0};
    plat::Dword size = sizeof bytes;
    if (plat::RegQueryValue(m_hkey, name, nullptr, bytes, &size) != plat::kErrorSuccess) {
        return false;
    }
    *value = static_cast<plat::Dword>(bytes[0]) | static_cast<plat::Dword>(bytes[1]) << 8 |
             static_cast<plat::Dword>(bytes[2]) << 16 | static_cast<plat::Dword>(bytes[3]) << 24;
    return true;
}

bool CCleRegistre::SetString(const char* name, const char* text) {
    if (!IsOpen() || text == nullptr) return false;
    plat::Dword count = static_cast<plat::Dword>(std::strlen(text));
    if (count == 0 && m_emptyAsTerminator) count = 1;
    return plat::RegSetValue(m_hkey, name, plat::kRegSz,
                             reinterpret_cast<const std::uint8_t*>(text),
                             count) == plat::kErrorSuccess;
}

bool CCleRegistre::SetBinary(const char* name, const std::uint8_t* bytes, plat::Dword count) {
    if (!IsOpen()) return false;
    return plat::RegSetValue(m_hkey, name, plat::kRegBinary, bytes, count) == plat::kErrorSuccess;
}

bool CCleRegistre::SetDword(const char* name, plat::Dword value) {
    if (!IsOpen()) return false;
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return plat::RegSetValue(m_hkey, name, plat::kRegDword, bytes, 4) == plat::kErrorSuccess;
}

bool CCleRegistre::DeleteValue(const char* name) {
    return plat::RegDeleteValue(m_hkey, name) == plat::kErrorSuccess;
}

bool CCleRegistre::DeleteKey() {
    if (!IsOpen()) return false;
    return plat::RegDeleteKey(m_hkey, "") == plat::kErrorSuccess;
}
