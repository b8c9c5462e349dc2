#include "platform/files.h"
#include "platform/process.h"
#include "tests/contract/reg_import.h"

namespace contract {

bool ImportRegFile(const std::string& windowsPath) {
    char windows[260];
    if (plat::GetWindowsDirectory(windows, sizeof windows) == 0) return false;
    std::string regedit = std::string(windows) + "\\regedit.exe";
    // The start quotes a path with blanks by itself.
    return plat::SpawnWait(regedit.c_str(), {"regedit", "/S", windowsPath}) == 0;
}

}  // namespace contract
