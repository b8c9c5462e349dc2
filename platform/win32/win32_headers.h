// The Windows headers, for the win32 back end only. They define the "A"/"W" switch macros
// (CopyFile -> CopyFileA ...) whose names are also the names of our plat:: functions; the
// macros are removed here so that a plat:: definition keeps its own name. Call the Win32
// functions by their explicit "A" names (::CopyFileA) in this back end.
#pragma once

#include <windows.h>
// These need <windows.h> first.
#include <shlobj.h>
#include <tlhelp32.h>

#undef CopyFile
#undef DeleteFile
#undef MoveFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef CreateDirectory
#undef RemoveDirectory
#undef GetTempPath
#undef GetShortPathName
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetModuleFileName
#undef GetWindowsDirectory
#undef GetPrivateProfileString
#undef GetPrivateProfileInt
#undef GetPrivateProfileSection
#undef WritePrivateProfileString
#undef WriteProfileString
#undef RegOpenKey
#undef RegCreateKey
#undef RegQueryValue
#undef RegSetValue
#undef RegDeleteValue
#undef RegDeleteKey
#undef GetVersionEx
#undef LoadString
#undef CreateWindow
#undef SendMessage
#undef PostMessage
#undef GetMessage
#undef DispatchMessage
#undef IsDialogMessage
#undef DefWindowProc
#undef FindWindow
#undef SetWindowText
#undef GetWindowText
#undef MessageBox
#undef CreateFontIndirect
#undef DrawText
#undef GetTextExtentPoint32
#undef GetTextMetrics
#undef TextOut
#undef GetObject
#undef LoadIcon
#undef LoadImage
#undef LoadBitmap
#undef RegisterClass
#undef RegisterClassEx
#undef CreateDialog
#undef DialogBox
#undef GetWindowPlacement
#undef SetWindowPlacement
#undef GetStockObject
#undef CreatePen
#undef CreateSolidBrush
#undef Rectangle
#undef GetClassName
#undef GetWindowTextLength
#undef SetDlgItemText
#undef GetDlgItemText
#undef SendDlgItemMessage
#undef PeekMessage
#undef LoadCursor
