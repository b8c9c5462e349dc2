// testdrv_hook.dll: the driver installs TestdrvGetMessageHook as a WH_GETMESSAGE hook on the
// thread of the program under test; Wine (like Windows) loads this DLL into that program. The
// hook does nothing but report the driver's settle markers and count the key releases taken
// (settle_marker.h); every message goes on unchanged.
#include <windows.h>

#include "settle_marker.h"

namespace {

void Report(DWORD driverPid, LONG number) {
    wchar_t memoryName[testdrv::kSettleNameSize];
    wchar_t eventName[testdrv::kSettleNameSize];
    testdrv::SettleObjectNames(driverPid, memoryName, eventName, testdrv::kSettleNameSize);
    HANDLE memory = OpenFileMappingW(FILE_MAP_WRITE, FALSE, memoryName);
    if (memory == nullptr) return;
    auto* last = static_cast<LONG*>(MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    if (last != nullptr) {
        InterlockedExchange(last, number);
        UnmapViewOfFile(last);
    }
    CloseHandle(memory);
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName);
    if (event != nullptr) {
        SetEvent(event);
        CloseHandle(event);
    }
}

void CountKeyRelease() {
    HANDLE memory = OpenFileMappingW(FILE_MAP_WRITE, FALSE, testdrv::kKeyReleaseMemoryName);
    if (memory == nullptr) return;
    auto* count = static_cast<LONG*>(MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
    if (count != nullptr) {
        InterlockedIncrement(count);
        UnmapViewOfFile(count);
    }
    CloseHandle(memory);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    TestdrvGetMessageHook(int code, WPARAM removal, LPARAM message) {
    if (code == HC_ACTION && removal == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(message);
        if (msg->message == testdrv::SettleMarkerMessage()) {
            Report(static_cast<DWORD>(msg->lParam), static_cast<LONG>(msg->wParam));
        } else if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) {
            CountKeyRelease();
        }
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
