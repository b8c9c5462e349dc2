// Screenshots as 24-bit .bmp files, read from the screen as the user sees it.
#pragma once

#include <windows.h>

#include <string>

namespace testdrv {

// Copies `area` (screen coordinates; clipped to the screen) into a .bmp file at `path`.
bool SaveScreenArea(const RECT& area, const std::wstring& path, std::wstring* error);

}  // namespace testdrv
