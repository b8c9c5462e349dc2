// Starting programs and the process list through the real Win32 calls and the C runtime.
#include <process.h>

#include <cstring>
#include <vector>

#include "platform/command_line.h"
#include "platform/process.h"
#include "platform/win32/win32_headers.h"

namespace plat {
namespace {

// The C runtime's spawn functions join the arguments with blanks and quote nothing: a path
// with a blank would reach the program as two arguments. Each goes quoted as the program's
// own C runtime needs to split it back whole.
struct QuotedArguments {
    explicit QuotedArguments(const std::vector<std::string>& argv) {
        for (const std::string& arg : argv) quoted.push_back(QuoteArgument(arg));
        for (const std::string& arg : quoted) pointers.push_back(arg.c_str());
        pointers.push_back(nullptr);
    }
    std::vector<std::string> quoted;
    std::vector<const char*> pointers;
};

// The snapshot functions are looked up at run time in the already loaded KERNEL32.DLL, since
// the first Windows 95 had no ToolHelp32.
using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

struct SnapshotFunctions {
    CreateSnapshotFn create = nullptr;
    ProcessWalkFn first = nullptr;
    ProcessWalkFn next = nullptr;
};

SnapshotFunctions LookUpSnapshotFunctions() {
    SnapshotFunctions f;
    HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL");
    if (kernel == nullptr) return f;
    f.create = reinterpret_cast<CreateSnapshotFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "CreateToolhelp32Snapshot")));
    f.first = reinterpret_cast<ProcessWalkFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "Process32First")));
    f.next = reinterpret_cast<ProcessWalkFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "Process32Next")));
    return f;
}

}  // namespace

int SpawnWait(const char* program, const std::vector<std::string>& argv) {
    QuotedArguments args(argv);
    return static_cast<int>(::_spawnv(_P_WAIT, program, args.pointers.data()));
}

int SpawnNoWait(const char* program, const std::vector<std::string>& argv, ProcessHandle* started) {
    QuotedArguments args(argv);
    // In non-waiting mode the C runtime hands back the process handle it got from
    // CreateProcess.
    std::intptr_t process = ::_spawnv(_P_NOWAIT, program, args.pointers.data());
    if (process == -1) return -1;
    if (started != nullptr) {
        *started = process;
    } else {
        // Nobody will ask about this process: keeping the handle would only leak it.
        ::CloseHandle(reinterpret_cast<HANDLE>(process));
    }
    return 0;
}

bool ProcessStillRunning(ProcessHandle process) {
    if (process == 0 || process == -1) return false;
    // Waiting for no time at all rather than reading the exit code: a program that ends with
    // code 259 (STILL_ACTIVE) would look as if it still ran.
    return ::WaitForSingleObject(reinterpret_cast<HANDLE>(process), 0) == WAIT_TIMEOUT;
}

void CloseProcessHandle(ProcessHandle process) {
    if (process == 0 || process == -1) return;
    ::CloseHandle(reinterpret_cast<HANDLE>(process));
}

unsigned WinExec(const char* commandLine, int show) {
    return ::WinExec(commandLine, static_cast<UINT>(show));
}

unsigned StartProcessKept(const char* commandLine, int show, ProcessHandle* process) {
    if (commandLine == nullptr || process == nullptr) return 0;
    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION started = {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        // WinExec's answers: its own small codes for the usual errors.
        const DWORD error = ::GetLastError();
        if (error == ERROR_BAD_EXE_FORMAT) return 11;
        return error < 32 ? static_cast<unsigned>(error) : 0;
    }
    ::CloseHandle(started.hThread);
    *process = reinterpret_cast<ProcessHandle>(started.hProcess);
    return 33;
}

bool WaitForProcessOrMessage(ProcessHandle process, Dword milliseconds) {
    if (process == 0 || process == -1) return true;
    HANDLE handle = reinterpret_cast<HANDLE>(process);
    const DWORD result = ::MsgWaitForMultipleObjects(1, &handle, FALSE, milliseconds, QS_ALLINPUT);
    // A handle that cannot be waited for would have the caller wait for ever.
    return result == WAIT_OBJECT_0 || result == WAIT_FAILED;
}

bool ProcessSnapshotAvailable() {
    SnapshotFunctions f = LookUpSnapshotFunctions();
    return f.create != nullptr && f.first != nullptr && f.next != nullptr;
}

bool ProcessSnapshot(std::vector<std::string>* exeNames) {
    SnapshotFunctions f = LookUpSnapshotFunctions();
    if (f.create == nullptr || f.first == nullptr || f.next == nullptr) return false;
    HANDLE snapshot = f.create(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    exeNames->clear();
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL ok = f.first(snapshot, &entry); ok; ok = f.next(snapshot, &entry)) {
        entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
        exeNames->push_back(entry.szExeFile);
        entry.dwSize = sizeof entry;
    }
    ::CloseHandle(snapshot);
    return true;
}

}  // namespace plat
