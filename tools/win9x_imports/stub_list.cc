#include "tools/win9x_imports/stub_list.h"

#include "tools/win9x_imports/export_lists.h"

namespace win9x {
namespace {

struct Stub {
    std::string_view dll;
    std::string_view name;
};

// Only calls known to fail on every Windows 95/98 system that exports them. Handle flags,
// processor affinity and critical-section polling are NT features: TryEnterCriticalSection and
// SetProcessAffinityMask are absent from Windows 95 and a failing stub on 98, and the handle
// information pair is a failing stub on both. Windows 95/98 implement only a handful of the wide
// (W) functions; the W functions below are the ones the MinGW runtime links into the programs
// (libgcc's thread mutexes create their semaphore with CreateSemaphoreW; the C runtime's
// compatibility wrappers find their DLLs with GetModuleHandleW and LoadLibraryW), and each of
// them fails there.
constexpr Stub kStubs[] = {
    {"KERNEL32.DLL", "CreateSemaphoreW"},        {"KERNEL32.DLL", "GetHandleInformation"},
    {"KERNEL32.DLL", "GetModuleHandleW"},        {"KERNEL32.DLL", "LoadLibraryW"},
    {"KERNEL32.DLL", "SetHandleInformation"},    {"KERNEL32.DLL", "SetProcessAffinityMask"},
    {"KERNEL32.DLL", "TryEnterCriticalSection"},
};

}  // namespace

bool IsStubOnWin9x(std::string_view dll, std::string_view name) {
    std::string key = DllKey(dll);
    for (const Stub& stub : kStubs) {
        if (stub.dll == key && stub.name == name) return true;
    }
    return false;
}

}  // namespace win9x
