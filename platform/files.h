// The files family: existence tests, copies, attributes and the machine's well-known folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace plat {

constexpr Dword kFileAttributeReadOnly = 0x01;
constexpr Dword kFileAttributeHidden = 0x02;
constexpr Dword kFileAttributeSystem = 0x04;
constexpr Dword kFileAttributeDirectory = 0x10;
constexpr Dword kFileAttributeArchive = 0x20;
constexpr Dword kFileAttributeNormal = 0x80;
constexpr Dword kInvalidFileAttributes = 0xFFFFFFFFu;

// What the programs do with fopen(path, "r"): can the file be opened for reading?
bool CanOpenForReading(const char* path);
// Reads a whole file as bytes. False when it cannot be opened.
bool ReadWholeFile(const char* path, std::string* contents);
// Replaces a whole file (creating it). False when it cannot be written, a read-only file
// among the reasons.
bool WriteWholeFile(const char* path, const std::string& contents);
// CopyFileA.
bool CopyFile(const char* source, const char* destination, bool failIfExists);
// DeleteFileA.
bool DeleteFile(const char* path);
// MoveFileA: renames a file or folder. False when the destination exists or the source does
// not: a file is never replaced by this, which is what lets a copy be finished in one step.
bool MoveFile(const char* source, const char* destination);
// GetFileAttributesA / SetFileAttributesA.
Dword GetFileAttributes(const char* path);
bool SetFileAttributes(const char* path, Dword attributes);
// CreateDirectoryA.
bool CreateDirectory(const char* path);
// RemoveDirectoryA: removes an empty folder. False when it holds anything or is not there.
bool RemoveDirectory(const char* path);
// MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): asks Windows NT to delete the file (or
// empty folder) at its next start. Called only when the system reports NT: Windows 95/98 refuse
// it (they read WININIT.INI instead), which the simulated machine does too, while Wine accepts it
// whatever version it reports.
bool DeleteAtNextStartNt(const char* path);
// GetLastError after a CreateDirectory that failed: the Win32 code (3 path not found, 5 access
// denied, 19 write-protected, 112 disk full, 183 already exists, 206 name too long...).
Dword LastFileError();
// The size of a file in bytes (FindFirstFileA's). False when there is no such file.
bool GetFileSize(const char* path, std::uint64_t* size);
// FindFirstFileA / FindNextFileA on "<folder>\*": the folder's entries, "." and ".." left out,
// in no particular order. False when the folder cannot be read.
struct DirectoryEntry {
    std::string name;
    bool directory = false;
};
bool ListDirectory(const char* folder, std::vector<DirectoryEntry>* entries);
// GetShortPathNameA: the 8.3 form of an existing path. Returns the length copied, or the size
// needed (terminator included) when the buffer is too small, 0 on failure.
Dword GetShortPathName(const char* longPath, char* buffer, Dword size);
// GetCurrentDirectoryA: the length copied, or the size needed when `size` is too small.
Dword GetCurrentDirectory(Dword size, char* buffer);
bool SetCurrentDirectory(const char* path);
// GetModuleFileNameA for the running program: the length copied, cut to size - 1.
Dword GetModuleFileName(char* buffer, Dword size);
// GetTempPathA: the temporary folder, with its trailing '\'.
Dword GetTempPath(Dword size, char* buffer);
// GetWindowsDirectoryA.
Dword GetWindowsDirectory(char* buffer, Dword size);
// The user's desktop folder (SHGetSpecialFolderLocation + SHGetPathFromIDListA).
bool GetDesktopDirectory(char* buffer, Dword size);

}  // namespace plat
