// What the driver and its message hook (testdrv_hook.dll) agree on to tell when a program has
// dealt with everything posted to it: the driver posts a marker message after its actions; the
// hook, running inside the program's thread, sees the program's message loop take the marker
// out of the queue (so every message posted before it has been dispatched and handled, or a
// modal loop is running) and writes the marker's number into memory shared with the driver.
#pragma once

#include <windows.h>

#include <cwchar>

namespace testdrv {

// Registered message; its wParam is the marker's number, its lParam the driver's process id.
inline UINT SettleMarkerMessage() { return RegisterWindowMessageW(L"testdrv-settle-marker"); }

// Name of the shared memory (one LONG, the last marker number seen) and of the event set when
// it changes, for the driver whose process id is `driverPid`.
inline void SettleObjectNames(DWORD driverPid, wchar_t* memory, wchar_t* event, size_t size) {
    swprintf(memory, size, L"Local\\testdrv-settle-memory-%lu",
             static_cast<unsigned long>(driverPid));
    swprintf(event, size, L"Local\\testdrv-settle-event-%lu",
             static_cast<unsigned long>(driverPid));
}

constexpr size_t kSettleNameSize = 64;

// Real key presses (SendInput) reach a program through its input queue, which its loop reads
// after every posted message: a marker cannot tell when they were handled. The hook counts the
// key releases the program's loop takes, in this memory (one LONG) made by the driver.
constexpr const wchar_t* kKeyReleaseMemoryName = L"Local\\testdrv-key-releases";

}  // namespace testdrv
