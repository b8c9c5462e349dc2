// The private-profile family: INI files read and written with the platform's own rules.
#pragma once

#include "platform/types.h"

namespace plat {

// GetPrivateProfileStringA. Returns the number of characters copied, without the terminator.
// A null `key` lists the section's keys, a null `section` the file's sections (each ended by
// a zero, the list by a second zero). A bare file name designates a file in the Windows
// directory.
Dword GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, Dword size, const char* file);
// GetPrivateProfileSectionA: the lines of the section's entries, in order, as the file holds
// them once blanks around names and values are gone (quotes stay): "name=value", or the bare
// name of a line without '=', each ended by a zero, the list by a second zero. Comments and
// blank lines are left out. Returns the bytes copied, without the list's final zero; a list
// cut to the buffer returns size - 2. One call instead of one per key: a key read costs the
// platform a look at the file each time.
Dword GetPrivateProfileSection(const char* section, char* buffer, Dword size, const char* file);
// GetPrivateProfileIntA.
unsigned GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* file);
// WritePrivateProfileStringA. A null `value` deletes the key, a null `key` the section.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* file);
// WriteProfileStringA: the system's main initialisation file, WIN.INI.
bool WriteProfileString(const char* section, const char* key, const char* value);

}  // namespace plat
