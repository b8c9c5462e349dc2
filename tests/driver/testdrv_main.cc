// testdrv.exe: drives a Win32 program inside Wine from a script, for end-to-end tests.
//
//   testdrv.exe SCRIPT [NAME=VALUE ...]
//
// The script (UTF-8) holds one command per line; NAME=VALUE pairs define ${NAME} for it. The
// driver prints one UTF-8 line per command on stdout and exits with 0 when every command
// passed, 1 at the first failed one, 2 when the script cannot be read or is malformed.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "process_control.h"
#include "script_parser.h"
#include "script_runner.h"
#include "text_codec.h"

namespace {

void Print(const std::wstring& line) {
    const std::string bytes = testdrv::ToUtf8(line) + "\n";
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

bool ReadUtf8File(const std::wstring& path, std::wstring* text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    *text = testdrv::FromUtf8(bytes);
    return true;
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);  // LF line ends, bytes as they are

    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr || count < 2) {
        Print(L"usage: testdrv.exe SCRIPT [NAME=VALUE ...]");
        return 2;
    }
    testdrv::Variables variables;
    for (int i = 2; i < count; ++i) {
        const std::wstring pair = argv[i];
        const size_t equals = pair.find(L'=');
        if (equals == std::wstring::npos || equals == 0) {
            Print(L"testdrv: not NAME=VALUE: " + pair);
            return 2;
        }
        variables[pair.substr(0, equals)] = pair.substr(equals + 1);
    }

    const std::wstring scriptPath = testdrv::HostPathToWindows(argv[1]);
    std::wstring text;
    if (!ReadUtf8File(scriptPath, &text)) {
        Print(L"testdrv: cannot read " + scriptPath);
        return 2;
    }
    std::vector<testdrv::Command> commands;
    std::wstring error;
    if (!testdrv::ParseScript(text, variables, &commands, &error)) {
        Print(L"testdrv: " + scriptPath + L": " + error);
        return 2;
    }
    testdrv::ScriptRunner runner(Print);
    if (!runner.Check(commands, &error)) {
        Print(L"testdrv: " + scriptPath + L": " + error);
        return 2;
    }
    if (!runner.Run(commands)) {
        Print(L"testdrv: FAILED (" + scriptPath + L")");
        return 1;
    }
    Print(L"testdrv: all " + std::to_wstring(commands.size()) + L" commands passed");
    return 0;
}
