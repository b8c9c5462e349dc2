#include "platform/instance.h"
#include "platform/win32/win32_headers.h"

namespace plat {

bool ClaimInstance(const char* name, InstanceClaim* claim) {
    *claim = 0;
    // Not inheritable (no security attributes): programs the holder starts do not get it.
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name);
    if (mutex == nullptr) return true;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    *claim = reinterpret_cast<InstanceClaim>(mutex);
    return true;
}

void ReleaseInstance(InstanceClaim claim) {
    if (claim != 0) ::CloseHandle(reinterpret_cast<HANDLE>(claim));
}

}  // namespace plat
