#include "platform/win32/late_shell_win.h"

namespace plat {

FARPROC LateBoundProc(const char* module, const char* name) {
    HMODULE loaded = ::GetModuleHandleA(module);
    if (loaded == nullptr) loaded = ::LoadLibraryA(module);
    return loaded == nullptr ? nullptr : ::GetProcAddress(loaded, name);
}

bool PathOfShellList(LPITEMIDLIST list, char* path) {
    const char shell32[] = "shell32.dll";
    const auto pathOf =
        LateBound<decltype(&::SHGetPathFromIDListA)>(shell32, "SHGetPathFromIDListA");
    const bool ok = pathOf != nullptr && pathOf(list, path) != 0;
    IMalloc* shellMalloc = nullptr;
    const auto getMalloc = LateBound<decltype(&::SHGetMalloc)>(shell32, "SHGetMalloc");
    if (getMalloc != nullptr && SUCCEEDED(getMalloc(&shellMalloc)) && shellMalloc != nullptr) {
        shellMalloc->Free(list);
        shellMalloc->Release();
    }
    return ok;
}

}  // namespace plat
