// The wait for the sign-up program and the tools that may run beside it.
#pragma once

#include <string>
#include <vector>

namespace cnx {

// The fragments of executable names that keep the wizard waiting, in the order they are
// tested. The first is the platform's sign-up program.
const std::vector<std::string>& WatchedFragments();

// Whether the process snapshot functions exist on this system.
bool LoadProcessFunctions();

// True when a running process's executable name, upper-cased, contains a watched fragment.
// False when no snapshot can be taken.
bool WatchedProcessRunning();

}  // namespace cnx
