// The shell's and COM's functions, found the first time a program calls one rather than when it
// starts. Imported, shell32.dll and ole32.dll (and what they load in turn) are loaded and set up
// before the first page can show, though the first page needs neither: only the folder browser,
// the desktop folder and shortcuts do. Every start of the wizards paid for them.
//
// The names looked up must be exported by Windows 95 and 98 as the imports are.
#pragma once

#include "platform/win32/win32_headers.h"

namespace plat {

// `name` in `module`, loaded if the process has not loaded it yet (and kept loaded: the
// functions found stay usable); null when either cannot be found.
FARPROC LateBoundProc(const char* module, const char* name);

// The same, as the function's own pointer type: LateBound<decltype(&::SHGetMalloc)>(...).
template <typename Function>
Function LateBound(const char* module, const char* name) {
    // Through the one function type that converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(LateBoundProc(module, name)));
}

// The path of a shell item list into `path` (MAX_PATH bytes), the list then freed by the shell's
// own allocator: Windows 95/98 require it when COM has not been set up, as the wizards do not
// for the folder browser. False when the list names no file system folder.
bool PathOfShellList(LPITEMIDLIST list, char* path);

}  // namespace plat
