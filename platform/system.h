// Facts about the running system: version, screen, sleeping, the restart prompt.
#pragma once

#include <string>

#include "platform/types.h"

namespace plat {

// GetVersionExA (OSVERSIONINFOA). False when the call fails.
struct OsVersion {
    Dword major = 0;
    Dword minor = 0;
    Dword build = 0;
    Dword platformId = 0;     // 0 Win32s, 1 Windows 9x, 2 NT
    std::string servicePack;  // szCSDVersion, at most 127 characters
};
// False when GetVersionExA cannot be found in KERNEL32.DLL (the caller then uses GetVersion).
bool HasGetVersionEx();
bool GetVersionEx(OsVersion* out);
// GetVersion: low byte major, next byte minor.
Dword GetVersion();

// Screen size in pixels (GetSystemMetrics SM_CXSCREEN / SM_CYSCREEN) and the screen's
// pixels per logical inch (GetDeviceCaps LOGPIXELSX / LOGPIXELSY).
int ScreenWidth();
int ScreenHeight();
int ScreenDpiX();
int ScreenDpiY();

// SETUPAPI.DLL's SetupPromptReboot, looked up at run time. False (and nothing shown) when the
// library or the function is missing.
bool PromptReboot(std::uintptr_t ownerWindow);

void Sleep(Dword milliseconds);

}  // namespace plat
