// The processes family: starting programs and looking at the process list.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

// The C runtime's spawnv in waiting mode: the program's exit code, or -1 when it cannot start.
// argv[0] is passed as given; the program is found by its path as it stands.
int SpawnWait(const char* program, const std::vector<std::string>& argv);
// spawnv in non-waiting mode: 0 once started, -1 when it cannot start.
int SpawnNoWait(const char* program, const std::vector<std::string>& argv);

constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShowDefault = 10;
// WinExec: the command line is split with the Windows rules; the result is above 31 when the
// program was started, else an error code (2 file not found, 11 bad format...).
unsigned WinExec(const char* commandLine, int show);

// Whether the process snapshot functions (ToolHelp32) are present on this system.
bool ProcessSnapshotAvailable();
// The executable names of every running process, as the snapshot reports them (the file name
// on Windows 9x may carry a path). False when no snapshot can be taken.
bool ProcessSnapshot(std::vector<std::string>* exeNames);

}  // namespace plat
