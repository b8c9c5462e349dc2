// Facts about the running system through the real Win32 calls. GetVersionExA and
// SetupPromptReboot are looked up at run time: the first is missing on the oldest systems, the
// second lives in SETUPAPI.DLL, which a system may lack.
#include "platform/system.h"
#include "platform/win32/win32_headers.h"

namespace plat {
namespace {

using GetVersionExProc = BOOL(WINAPI*)(OSVERSIONINFOA*);
using SetupPromptRebootProc = INT(WINAPI*)(void* fileQueue, HWND owner, BOOL scanOnly);

GetVersionExProc FindGetVersionEx() {
    HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL");
    if (kernel == nullptr) return nullptr;
    return reinterpret_cast<GetVersionExProc>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "GetVersionExA")));
}

int ScreenCaps(int index) {
    HDC screen = ::GetDC(nullptr);
    int value = ::GetDeviceCaps(screen, index);
    ::ReleaseDC(nullptr, screen);
    return value;
}

}  // namespace

bool HasGetVersionEx() { return FindGetVersionEx() != nullptr; }

bool GetVersionEx(OsVersion* out) {
    GetVersionExProc getVersionEx = FindGetVersionEx();
    if (out == nullptr || getVersionEx == nullptr) return false;
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!getVersionEx(&info)) return false;
    out->major = info.dwMajorVersion;
    out->minor = info.dwMinorVersion;
    out->build = info.dwBuildNumber;
    out->platformId = info.dwPlatformId;
    info.szCSDVersion[sizeof info.szCSDVersion - 1] = '\0';
    out->servicePack = info.szCSDVersion;
    return true;
}

Dword GetVersion() { return ::GetVersion(); }

int ScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return ::GetSystemMetrics(SM_CYSCREEN); }
int ScreenDpiX() { return ScreenCaps(LOGPIXELSX); }
int ScreenDpiY() { return ScreenCaps(LOGPIXELSY); }

bool PromptReboot(std::uintptr_t ownerWindow) {
    HMODULE setupapi = ::LoadLibraryA("SETUPAPI.DLL");
    if (setupapi == nullptr) return false;
    auto prompt = reinterpret_cast<SetupPromptRebootProc>(
        reinterpret_cast<void*>(::GetProcAddress(setupapi, "SetupPromptReboot")));
    if (prompt != nullptr) prompt(nullptr, reinterpret_cast<HWND>(ownerWindow), FALSE);
    ::FreeLibrary(setupapi);
    return prompt != nullptr;
}

void Sleep(Dword milliseconds) { ::Sleep(milliseconds); }

}  // namespace plat
