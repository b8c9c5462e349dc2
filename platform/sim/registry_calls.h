// A record of the registry calls this process made, so tests can check what a caller asked of
// the platform (the byte count it passed, or that it did not call at all), which the registry's
// contents alone cannot show: Windows 98 stores a REG_SZ up to its terminator whatever count it
// is given.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"

namespace sim {

struct RegistryCall {
    std::string function;  // "RegSetValue", "RegQueryValue", ...
    plat::RegKey key = 0;
    std::string name;      // value or subkey name as passed ("" for a null pointer)
    plat::Dword type = 0;  // RegSetValue: the type passed
    plat::Dword size = 0;  // RegSetValue: the count passed; RegQueryValue: the capacity passed
};

// Every plat::Reg* call since the last ClearRegistryCalls(), oldest first.
const std::vector<RegistryCall>& RegistryCalls();
void ClearRegistryCalls();

}  // namespace sim
