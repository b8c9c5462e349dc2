// Private-profile files through the real Win32 calls.
#include "platform/profile.h"
#include "platform/win32/win32_headers.h"

namespace plat {

Dword GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, Dword size, const char* file) {
    return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
}

Dword GetPrivateProfileSection(const char* section, char* buffer, Dword size, const char* file) {
    return ::GetPrivateProfileSectionA(section, buffer, size, file);
}

unsigned GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* file) {
    return ::GetPrivateProfileIntA(section, key, defaultValue, file);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* file) {
    return ::WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

bool WriteProfileString(const char* section, const char* key, const char* value) {
    return ::WriteProfileStringA(section, key, value) != FALSE;
}

}  // namespace plat
