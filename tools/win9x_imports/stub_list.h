// Functions that Windows 95/98 export only as stubs: importing them loads, but every call fails.
// The checker lets them pass and names them, so that the documentation can say which calls the
// programs make that do nothing on those systems.
#pragma once

#include <string_view>

namespace win9x {

// True when `dll` (any case) exports `name` on Windows 95/98 only as a stub that always fails.
bool IsStubOnWin9x(std::string_view dll, std::string_view name);

}  // namespace win9x
