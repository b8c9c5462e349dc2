#include "common/profile_access.h"

#include <vector>

#include "platform/profile.h"

namespace kit {

std::string ReadProfileString(const std::string& file, const char* section, const char* key,
                              const char* defaultValue, std::size_t capacity) {
    if (capacity == 0) return std::string();
    std::vector<char> buffer(capacity, '\0');
    plat::Dword n = plat::GetPrivateProfileString(section, key, defaultValue, buffer.data(),
                                                  static_cast<plat::Dword>(capacity), file.c_str());
    if (n >= capacity) n = static_cast<plat::Dword>(capacity - 1);
    return std::string(buffer.data(), n);
}

int ReadProfileInt(const std::string& file, const char* section, const char* key,
                   int defaultValue) {
    return static_cast<int>(plat::GetPrivateProfileInt(section, key, defaultValue, file.c_str()));
}

}  // namespace kit
