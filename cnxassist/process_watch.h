// The wait for the sign-up program and the tools that may run beside it.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

namespace cnx {

// The fragments of executable names that keep the wizard waiting, in the order they are
// tested. The first is the platform's sign-up program.
const std::vector<std::string>& WatchedFragments();

// Whether the process snapshot functions exist on this system.
bool LoadProcessFunctions();

// Hands over the sign-up program the wizard has just started (`programPath` is the file it
// started), forgetting any earlier one. While that process runs, and its file name contains a
// watched fragment, the wait needs no snapshot.
void WatchSignupProcess(plat::ProcessHandle process, const std::string& programPath);
// Gives back the sign-up program handed over, if any; for the end of the wizard.
void ForgetSignupProcess();

// True when a running process's executable name, upper-cased, contains a watched fragment.
// False when no snapshot can be taken.
bool WatchedProcessRunning();

// How many process snapshots WatchedProcessRunning has taken since the program started; for
// the tests, which check that a waiting wizard leaves the process list alone.
long SnapshotsTaken();

}  // namespace cnx
