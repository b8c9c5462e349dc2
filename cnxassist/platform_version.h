// The platform version probe of the root step: which Windows is this, and is it one the kit
// supports (the Windows 95/98 family)?
#pragma once

#include <cstdint>

// Platform codes: 0 Win32s, 1 Windows 95/98, 2 NT workstation, 6 NT server.
struct PlatformVersion {
    std::uint32_t size;  // the caller sets it to sizeof(PlatformVersion), 292
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t build;
    std::uint32_t platformCode;
    char text[128];
    // A copy for display; Win32s shows itself as 3.10.
    std::uint32_t displayMajor;
    std::uint32_t displayMinor;
    std::uint32_t displayBuild;
    std::uint32_t displayPlatformCode;
    char displayText[128];
};
static_assert(sizeof(PlatformVersion) == 292, "the record's size is part of its contract");

bool GetPlatformVersion(PlatformVersion* version);
bool IsWindows95(const PlatformVersion* version);
bool IsWindows98OrLater(const PlatformVersion* version);
