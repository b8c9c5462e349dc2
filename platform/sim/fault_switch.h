// Faults on demand, so that tests can see what the programs do when the system refuses an
// operation: a full disk, a file in use, a registry that cannot be saved, a program that cannot
// be started. The environment variable SIMWIN_FAULT chooses:
//   SIMWIN_FAULT=count                     every operation below is counted, none fails
//   SIMWIN_FAULT=<kind>:<n>[:transient]    the n-th operation of that kind fails (only it)
//   SIMWIN_FAULT=<kind>:<n>:permanent      the n-th and every later one of that kind fail
//   SIMWIN_FAULT=<kind>:<n>:kill           the process that makes the n-th operation of that
//                                          kind dies there (SIGKILL: no destructor, no flush),
//                                          as at a power cut or a kill from the task manager
//   SIMWIN_FAULT=<kind>:<n>:hold           the process that makes the n-th operation of that
//                                          kind makes the file "fault-held" in the machine
//                                          folder, then waits there until "fault-release"
//                                          exists, and goes on: a test knows it is running and
//                                          where, and can start another program meanwhile
// Kinds: "write" (a file written whole, a private-profile write), "copy" (CopyFile), "move"
// (MoveFile), "registry" (creating a key, setting or deleting a value or a key), "spawn"
// (starting a program, waiting or not, or through WinExec).
// The count belongs to the machine, not to a process: every process of the machine counts in
// the same file, <machine folder>/fault-counts ("<kind> <count>" lines, updated under a lock),
// so that the n-th write is the n-th of the whole kit, whichever program makes it. Each
// operation counted is also logged to <machine folder>/fault-log, one line each:
// "<kind> <number> <program> <what>", with " FAILED" after the ones made to fail and " KILLED"
// after the one its process died at.
// A failed operation does nothing and answers as the platform's function answers a failure,
// except a program's own whole-file write, which Windows makes by truncating the file and then
// writing it: a failure or a kill there leaves the file cut (see `cut` below). A copy that
// fails removes what it had written, as CopyFile does; a process killed in its middle leaves
// the destination cut.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace sim {

enum class FaultKind { kWrite, kCopy, kMove, kRegistry, kSpawn };
constexpr int kFaultKindCount = 5;

// "write", "copy", "move", "registry", "spawn".
const char* FaultKindName(FaultKind kind);

// Counts one operation of `kind`, about to be made on the current machine, when SIMWIN_FAULT
// asks for counting or faults; true when this operation must fail. `what` names it in the log
// (a path, a key, a program). Without SIMWIN_FAULT nothing is counted and this is cheap.
// `cut`, when given, is what the operation leaves when it is stopped half-way: it runs before
// the operation fails, and before the process dies at a kill (its argument then true).
bool FaultHere(FaultKind kind, const std::string& what,
               const std::function<void(bool killed)>& cut = {});

// Adds "box <program> <text>" to the fault log when SIMWIN_FAULT is set, so that the log tells
// which operations came after a message box.
void NoteBoxInFaultLog(const std::string& text);

// The counts of a machine folder so far, in the order of FaultKind; zeros for a machine where
// nothing was counted.
std::array<std::uint64_t, kFaultKindCount> FaultCounts(const std::string& machineFolder);

}  // namespace sim
