#include "cnxassist/process_watch.h"

#include "cnxassist/wizard_utils.h"
#include "platform/process.h"

namespace cnx {

const std::vector<std::string>& WatchedFragments() {
    static const std::vector<std::string> fragments = {
        "ISIGNUP", "MORVK2",  "PELDUXRA", "TOBRIMAK", "GASHVELO", "LUNDAKOR",
        "BREXOLU", "ZAMPTIR", "VOLGRAN",  "KOBATRIM", "NERISUDA"};
    return fragments;
}

bool LoadProcessFunctions() { return plat::ProcessSnapshotAvailable(); }

bool WatchedProcessRunning() {
    std::vector<std::string> names;
    if (!plat::ProcessSnapshot(&names)) return false;
    for (const std::string& name : names) {
        std::string upper = UpperCase(name);
        for (const std::string& fragment : WatchedFragments()) {
            if (upper.find(fragment) != std::string::npos) return true;
        }
    }
    return false;
}

}  // namespace cnx
