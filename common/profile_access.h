// Reading INI values into bounded texts: every INI file of the kit is read through the
// platform's private-profile functions with a buffer of a stated capacity.
#pragma once

#include <cstddef>
#include <string>

namespace kit {

// GetPrivateProfileStringA with a buffer of `capacity` bytes: the value, cut to capacity - 1
// characters, or `defaultValue` (cut likewise) when the key is missing.
std::string ReadProfileString(const std::string& file, const char* section, const char* key,
                              const char* defaultValue, std::size_t capacity);
// GetPrivateProfileIntA.
int ReadProfileInt(const std::string& file, const char* section, const char* key, int defaultValue);

}  // namespace kit
