// Files through the real Win32 calls.
#include <cstdio>

#include "platform/files.h"
#include "platform/win32/late_shell_win.h"
#include "platform/win32/win32_headers.h"

namespace plat {

bool CanOpenForReading(const char* path) {
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

bool ReadWholeFile(const char* path, std::string* contents) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    std::string data;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.append(chunk, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (ok) *contents = std::move(data);
    return ok;
}

bool WriteWholeFile(const char* path, const std::string& contents) {
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok =
        contents.empty() ||
        ::WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == contents.size();
}

bool CopyFile(const char* source, const char* destination, bool failIfExists) {
    return ::CopyFileA(source, destination, failIfExists) != 0;
}

bool DeleteFile(const char* path) { return ::DeleteFileA(path) != 0; }

bool DeleteAtNextStartNt(const char* path) {
    return ::MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

bool MoveFile(const char* source, const char* destination) {
    return ::MoveFileA(source, destination) != 0;
}

bool ListDirectory(const char* folder, std::vector<DirectoryEntry>* entries) {
    entries->clear();
    std::string pattern = std::string(folder) + "\\*";
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        entries->push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return true;
}

Dword GetFileAttributes(const char* path) { return ::GetFileAttributesA(path); }

bool SetFileAttributes(const char* path, Dword attributes) {
    return ::SetFileAttributesA(path, attributes) != 0;
}

bool CreateDirectory(const char* path) { return ::CreateDirectoryA(path, nullptr) != 0; }

bool RemoveDirectory(const char* path) { return ::RemoveDirectoryA(path) != 0; }

Dword LastFileError() { return ::GetLastError(); }

bool GetFileSize(const char* path, std::uint64_t* size) {
    // FindFirstFileA rather than GetFileAttributesExA, which Windows 95 lacks.
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    *size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    return true;
}

Dword GetShortPathName(const char* longPath, char* buffer, Dword size) {
    return ::GetShortPathNameA(longPath, buffer, size);
}

Dword GetCurrentDirectory(Dword size, char* buffer) { return ::GetCurrentDirectoryA(size, buffer); }

bool SetCurrentDirectory(const char* path) { return ::SetCurrentDirectoryA(path) != 0; }

Dword GetModuleFileName(char* buffer, Dword size) {
    if (buffer == nullptr || size == 0) return 0;
    DWORD n = ::GetModuleFileNameA(nullptr, buffer, size);
    // Windows 98 does not terminate a cut path; make sure it is.
    if (n >= size) n = size - 1;
    buffer[n] = '\0';
    return n;
}

Dword GetWindowsDirectory(char* buffer, Dword size) { return ::GetWindowsDirectoryA(buffer, size); }

Dword GetTempPath(Dword size, char* buffer) { return ::GetTempPathA(size, buffer); }

bool GetDesktopDirectory(char* buffer, Dword size) {
    if (buffer == nullptr || size < MAX_PATH) return false;
    const auto location = LateBound<decltype(&::SHGetSpecialFolderLocation)>(
        "shell32.dll", "SHGetSpecialFolderLocation");
    LPITEMIDLIST list = nullptr;
    if (location == nullptr || FAILED(location(nullptr, CSIDL_DESKTOPDIRECTORY, &list))) {
        return false;
    }
    return PathOfShellList(list, buffer);
}

}  // namespace plat
