#include "process_control.h"

#include <tlhelp32.h>

namespace testdrv {

std::wstring HostPathToWindows(const std::wstring& path) {
    if (path.empty() || path[0] != L'/') return path;
    // Wine's own conversion knows the drive mapping of the prefix.
    using ToDos = wchar_t* (*)(const char*);
    const auto toDos = reinterpret_cast<ToDos>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (toDos != nullptr) {
        const int size =
            WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string unixPath(static_cast<size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, &unixPath[0], size, nullptr, nullptr);
        wchar_t* converted = toDos(unixPath.c_str());
        if (converted != nullptr) {
            std::wstring result(converted);
            HeapFree(GetProcessHeap(), 0, converted);
            return result;
        }
    }
    std::wstring result = L"Z:" + path;
    for (wchar_t& c : result) {
        if (c == L'/') c = L'\\';
    }
    return result;
}

std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

bool StartProcess(const std::wstring& program, const std::vector<std::wstring>& arguments,
                  const std::wstring& directory, Process* process, std::wstring* error) {
    const std::wstring path = HostPathToWindows(program);
    std::wstring commandLine = QuoteArgument(path);
    for (const std::wstring& argument : arguments) commandLine += L" " + QuoteArgument(argument);
    const std::wstring folder = HostPathToWindows(directory);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        *error =
            L"cannot start " + commandLine + L" (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    CloseHandle(info.hThread);
    process->handle = info.hProcess;
    process->pid = info.dwProcessId;
    const size_t slash = path.find_last_of(L"\\/");
    process->name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return true;
}

bool OpenProcessByName(const std::wstring& exeName, const std::vector<DWORD>& known,
                       Process* process) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, entry.szExeFile, -1, exeName.c_str(),
                           -1) != CSTR_EQUAL) {
            continue;
        }
        bool seen = false;
        for (DWORD pid : known) seen = seen || pid == entry.th32ProcessID;
        if (seen) continue;
        HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                    FALSE, entry.th32ProcessID);
        if (handle == nullptr) continue;
        process->handle = handle;
        process->pid = entry.th32ProcessID;
        process->name = entry.szExeFile;
        found = true;
    }
    CloseHandle(snapshot);
    return found;
}

bool IsRunning(const Process& process) {
    return process.handle != nullptr && WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT;
}

}  // namespace testdrv
