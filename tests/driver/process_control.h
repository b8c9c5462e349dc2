// Starting, finding and ending the programs under test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testdrv {

struct Process {
    HANDLE handle = nullptr;
    DWORD pid = 0;
    std::wstring name;  // file name of the program, for messages
};

// Scripts may give host paths ("/work/build/x.exe"): under Wine they name the same file
// through drive Z:. Windows paths are returned as they are.
std::wstring HostPathToWindows(const std::wstring& path);

// Quotes one argument so that the C runtime of the started program splits it back unchanged.
std::wstring QuoteArgument(const std::wstring& argument);

bool StartProcess(const std::wstring& program, const std::vector<std::wstring>& arguments,
                  const std::wstring& directory, Process* process, std::wstring* error);

// Opens the running process whose program file is `exeName` (case ignored), skipping the ids
// in `known`. Returns false when there is none.
bool OpenProcessByName(const std::wstring& exeName, const std::vector<DWORD>& known,
                       Process* process);

bool IsRunning(const Process& process);

}  // namespace testdrv
