// What a contract test needs from the machine it runs on, the same on both back ends: a fresh
// empty folder and a fresh registry key of its own.
#pragma once

#include <string>

#include "platform/registry.h"

namespace contract {

// A new empty folder (Windows path, no trailing backslash) on drive C.
std::string FreshFolder();
// A new key path under HKEY_CURRENT_USER that does not exist yet.
std::string FreshKeyPath();

// ASCII upper case, for comparing paths the platform may return in either case.
std::string Upper(std::string text);

}  // namespace contract
