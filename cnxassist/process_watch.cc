#include "cnxassist/process_watch.h"

#include "cnxassist/wizard_utils.h"

namespace cnx {
namespace {

// The sign-up program the wizard started and still holds, 0 when none. A process snapshot
// costs Wine several milliseconds of work on every tick of the wait; asking about this one
// process costs next to nothing.
plat::ProcessHandle g_signupProcess = 0;
long g_snapshotsTaken = 0;

bool NameIsWatched(const std::string& name) {
    std::string upper = UpperCase(name);
    for (const std::string& fragment : WatchedFragments()) {
        if (upper.find(fragment) != std::string::npos) return true;
    }
    return false;
}

std::string FileNameOf(const std::string& path) {
    auto slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

const std::vector<std::string>& WatchedFragments() {
    static const std::vector<std::string> fragments = {
        "ISIGNUP", "MORVK2",  "PELDUXRA", "TOBRIMAK", "GASHVELO", "LUNDAKOR",
        "BREXOLU", "ZAMPTIR", "VOLGRAN",  "KOBATRIM", "NERISUDA"};
    return fragments;
}

bool LoadProcessFunctions() { return plat::ProcessSnapshotAvailable(); }

void WatchSignupProcess(plat::ProcessHandle process, const std::string& programPath) {
    ForgetSignupProcess();
    // A program whose name the snapshot would not recognise must not keep the wizard waiting
    // either: only the snapshot decides for it, as it always did. Nor must any program where
    // no snapshot can be taken: there the wizard has never waited.
    if (!NameIsWatched(FileNameOf(programPath)) || !plat::ProcessSnapshotAvailable()) {
        plat::CloseProcessHandle(process);
        return;
    }
    g_signupProcess = process;
}

void ForgetSignupProcess() {
    if (g_signupProcess == 0) return;
    plat::CloseProcessHandle(g_signupProcess);
    g_signupProcess = 0;
}

bool WatchedProcessRunning() {
    if (g_signupProcess != 0) {
        if (plat::ProcessStillRunning(g_signupProcess)) return true;
        // It has ended, but it may have started another sign-up process, and the other
        // watched tools may run: from now on the snapshot tells.
        ForgetSignupProcess();
    }
    ++g_snapshotsTaken;
    std::vector<std::string> names;
    if (!plat::ProcessSnapshot(&names)) return false;
    for (const std::string& name : names) {
        if (NameIsWatched(name)) return true;
    }
    return false;
}

long SnapshotsTaken() { return g_snapshotsTaken; }

}  // namespace cnx
