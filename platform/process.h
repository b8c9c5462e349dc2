// The processes family: starting programs and looking at the process list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

// The C runtime's spawnv in waiting mode: the program's exit code, or -1 when it cannot start.
// The program is found by its path as it stands. Unlike spawnv, every argument (argv[0]
// included) is quoted as BuildCommandLine does, so the program's argv is exactly `argv`.
int SpawnWait(const char* program, const std::vector<std::string>& argv);
// A process started without waiting: the process handle on Windows, the pid on the simulated
// machine. Zero is never a started process.
using ProcessHandle = std::intptr_t;
// spawnv in non-waiting mode, the arguments quoted the same way: 0 once started, -1 when it cannot
// start. When `started` is given and the program started, it receives the process, which the caller
// then owns and gives back with CloseProcessHandle; when the program cannot start, `started` is
// left as it was.
int SpawnNoWait(const char* program, const std::vector<std::string>& argv,
                ProcessHandle* started = nullptr);
// Whether a process handed back by SpawnNoWait is still running. Cheap: it asks about that one
// process only, unlike a snapshot.
bool ProcessStillRunning(ProcessHandle process);
// Gives back a process handed back by SpawnNoWait; the process itself goes on running.
void CloseProcessHandle(ProcessHandle process);

constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShowDefault = 10;
// WinExec: the command line is split with the Windows rules; the result is above 31 when the
// program was started, else an error code (2 file not found, 11 bad format...).
unsigned WinExec(const char* commandLine, int show);

// A start that keeps the process, for a caller that waits for it while its window goes on
// answering (CreateProcessA with no application name). The program is searched for as WinExec
// does: an unquoted name with blanks is taken at the shortest beginning that names a file, a
// name without a folder is looked for in the program's own folder, the current directory and
// the system folders. The result is WinExec's: above 31 once started, and `process` then
// receives the process, which the caller gives back with CloseProcessHandle; 0 to 31 when the
// program did not start (2 file not found, 3 path not found, 11 bad format, 0 any other
// reason), `process` left as it was.
unsigned StartProcessKept(const char* commandLine, int show, ProcessHandle* process);
// Waits at most `milliseconds` for a process handed back by StartProcessKept to end, or for a
// message of this thread's windows to arrive (MsgWaitForMultipleObjects): true once the process
// has ended (or cannot be waited for), false when a message is waiting or the time has passed.
bool WaitForProcessOrMessage(ProcessHandle process, Dword milliseconds);

// Whether the process snapshot functions (ToolHelp32) are present on this system.
bool ProcessSnapshotAvailable();
// The executable names of every running process, as the snapshot reports them (the file name
// on Windows 9x may carry a path). False when no snapshot can be taken.
bool ProcessSnapshot(std::vector<std::string>* exeNames);

}  // namespace plat
