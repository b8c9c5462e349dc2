// Files on the simulated machine. The read-only attribute is the owner's write permission of
// the host file, as under Wine, but the machine itself enforces it, so that it holds even for a
// process run as root.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/files.h"
#include "platform/sim/atomic_file.h"
#include "platform/sim/change_count.h"
#include "platform/sim/fault_switch.h"
#include "platform/sim/machine.h"
#include "platform/sim/pending_deletion.h"
#include "platform/sim/running_files.h"

namespace plat {
namespace {

bool HostPath(const char* path, std::string* host) {
    if (path == nullptr || *path == '\0') return false;
    return sim::Machine::Current().ToHostPath(path, host);
}

bool HostIsReadOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

// Copies `text` into a caller's buffer the way the A functions do: the length copied when it
// fits, else the size needed with its terminator and nothing copied.
Dword CopyOut(const std::string& text, char* buffer, Dword size) {
    if (buffer == nullptr || text.size() + 1 > size) return static_cast<Dword>(text.size() + 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<Dword>(text.size());
}

// What Windows leaves of a whole-file write or a copy stopped half-way (a full disk, a program
// killed): the file was truncated when it was opened and holds the first part of the new
// contents. Registry and profile writes are whole: the system makes them, not the program.
void LeaveCutFile(const std::string& host, const std::string& contents) {
    int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    ssize_t ignored = write(fd, contents.data(), contents.size() / 2);
    (void)ignored;
    close(fd);
    sim::NoteMachineChange();
}

}  // namespace

bool CanOpenForReading(const char* path) {
    std::string host;
    if (!HostPath(path, &host)) return false;
    struct stat st;
    if (stat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    std::ifstream in(host, std::ios::binary);
    return in.good();
}

bool ReadWholeFile(const char* path, std::string* contents) {
    std::string host;
    if (!HostPath(path, &host)) return false;
    struct stat st;
    if (stat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    std::ifstream in(host, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *contents = buffer.str();
    return true;
}

namespace {

bool WriteFile(const char* path, const std::string& contents, bool cutOnFault) {
    std::string host;
    if (!HostPath(path, &host)) return false;
    struct stat st;
    if (stat(host.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || HostIsReadOnly(st))) return false;
    std::function<void(bool)> cut;
    if (cutOnFault) cut = [&](bool) { LeaveCutFile(host, contents); };
    if (sim::FaultHere(sim::FaultKind::kWrite, path, cut)) return false;
    return sim::ReplaceFileAtomically(host, contents);
}

}  // namespace

bool WriteWholeFile(const char* path, const std::string& contents) {
    return WriteFile(path, contents, true);
}

}  // namespace plat

namespace sim {

bool WriteFileForTheSystem(const char* path, const std::string& contents) {
    return plat::WriteFile(path, contents, false);
}

}  // namespace sim

namespace plat {

bool CopyFile(const char* source, const char* destination, bool failIfExists) {
    std::string data;
    if (!ReadWholeFile(source, &data)) return false;
    std::string host;
    if (!HostPath(destination, &host)) return false;
    struct stat st;
    if (stat(host.c_str(), &st) == 0) {
        if (failIfExists || S_ISDIR(st.st_mode) || HostIsReadOnly(st)) return false;
        // A file is not copied onto itself: the platform refuses, as the file is in use.
        std::string sourceHost;
        struct stat sourceStat;
        if (HostPath(source, &sourceHost) && stat(sourceHost.c_str(), &sourceStat) == 0 &&
            sourceStat.st_dev == st.st_dev && sourceStat.st_ino == st.st_ino) {
            return false;
        }
    }
    // CopyFile removes what it had written when it fails; killed in its middle, the process
    // leaves it cut.
    auto stopped = [&](bool killed) {
        LeaveCutFile(host, data);
        if (!killed) unlink(host.c_str());
    };
    if (sim::FaultHere(sim::FaultKind::kCopy, destination, stopped)) {
        return false;
    }
    if (!sim::ReplaceFileAtomically(host, data)) return false;
    // The copy keeps the source's read-only attribute, as CopyFileA does.
    std::string sourceHost;
    struct stat sourceStat;
    if (HostPath(source, &sourceHost) && stat(sourceHost.c_str(), &sourceStat) == 0) {
        chmod(host.c_str(), sourceStat.st_mode & 0777);
    }
    return true;
}

bool DeleteFile(const char* path) {
    std::string host;
    if (!HostPath(path, &host)) return false;
    struct stat st;
    if (lstat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || HostIsReadOnly(st)) return false;
    // Windows keeps the file of a running program open: it cannot be deleted until it ends.
    if (sim::IsRunningProgramFile(host)) return false;
    if (unlink(host.c_str()) != 0) return false;
    sim::NoteMachineChange();
    return true;
}

bool MoveFile(const char* source, const char* destination) {
    std::string sourceHost;
    std::string destinationHost;
    if (!HostPath(source, &sourceHost) || !HostPath(destination, &destinationHost)) return false;
    struct stat st;
    if (lstat(sourceHost.c_str(), &st) != 0 || lstat(destinationHost.c_str(), &st) == 0) {
        return false;
    }
    if (sim::FaultHere(sim::FaultKind::kMove, destination)) return false;
    if (std::rename(sourceHost.c_str(), destinationHost.c_str()) != 0) return false;
    sim::NoteMachineChange();
    return true;
}

bool ListDirectory(const char* folder, std::vector<DirectoryEntry>* entries) {
    entries->clear();
    std::string host;
    if (!HostPath(folder, &host)) return false;
    DIR* directory = opendir(host.c_str());
    if (directory == nullptr) return false;
    while (struct dirent* entry = readdir(directory)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        bool isDirectory = stat((host + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries->push_back({name, isDirectory});
    }
    closedir(directory);
    return true;
}

Dword GetFileAttributes(const char* path) {
    std::string host;
    if (!HostPath(path, &host)) return kInvalidFileAttributes;
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return kInvalidFileAttributes;
    Dword attributes = S_ISDIR(st.st_mode) ? kFileAttributeDirectory : kFileAttributeArchive;
    if (HostIsReadOnly(st)) attributes |= kFileAttributeReadOnly;
    return attributes;
}

bool SetFileAttributes(const char* path, Dword attributes) {
    std::string host;
    if (!HostPath(path, &host)) return false;
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return false;
    mode_t mode = st.st_mode & 0777;
    if (attributes & kFileAttributeReadOnly) {
        mode &= ~static_cast<mode_t>(0222);
    } else {
        mode |= S_IWUSR;
    }
    return chmod(host.c_str(), mode) == 0;
}

namespace {

// The Win32 code of the last CreateDirectory that failed.
Dword g_lastFileError = 0;

Dword Win32ErrorOf(int error) {
    switch (error) {
        case EEXIST:
            return 183;  // ERROR_ALREADY_EXISTS
        case ENOENT:
        case ENOTDIR:
            return 3;  // ERROR_PATH_NOT_FOUND
        case EACCES:
        case EPERM:
            return 5;  // ERROR_ACCESS_DENIED
        case EROFS:
            return 19;  // ERROR_WRITE_PROTECT
        case ENOSPC:
        case EDQUOT:
            return 112;  // ERROR_DISK_FULL
        case ENAMETOOLONG:
            return 206;  // ERROR_FILENAME_EXCED_RANGE
        default:
            return 31;  // ERROR_GEN_FAILURE
    }
}

}  // namespace

bool CreateDirectory(const char* path) {
    std::string host;
    if (!HostPath(path, &host)) {
        g_lastFileError = 3;  // a drive the machine does not have
        return false;
    }
    if (mkdir(host.c_str(), 0755) == 0) return true;
    g_lastFileError = Win32ErrorOf(errno);
    return false;
}

bool RemoveDirectory(const char* path) {
    std::string host;
    if (!HostPath(path, &host)) return false;
    struct stat st;
    if (lstat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (rmdir(host.c_str()) != 0) return false;
    sim::NoteMachineChange();
    return true;
}

bool DeleteAtNextStartNt(const char* path) {
    // Windows 95/98 have the function but answer that it is not implemented.
    if (sim::Machine::Current().Settings().platformId != 2) return false;
    std::string host;
    if (path == nullptr || !HostPath(path, &host)) return false;
    return sim::AddPendingDeletion(path);
}

Dword LastFileError() { return g_lastFileError; }

bool GetFileSize(const char* path, std::uint64_t* size) {
    std::string host;
    struct stat st;
    if (!HostPath(path, &host) || stat(host.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }
    *size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

Dword GetShortPathName(const char* longPath, char* buffer, Dword size) {
    std::string host;
    if (!HostPath(longPath, &host)) return 0;
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return 0;
    // Each component of the real name on disk, shortened.
    std::string full = sim::Machine::Current().ToWindowsPath(host);
    std::string result = full.substr(0, 3);
    std::string rest = full.substr(3);
    std::stringstream parts(rest);
    std::string part;
    bool first = true;
    while (std::getline(parts, part, '\\')) {
        if (part.empty()) continue;
        if (!first) result += '\\';
        result += sim::ShortName(part);
        first = false;
    }
    return CopyOut(result, buffer, size);
}

Dword GetCurrentDirectory(Dword size, char* buffer) {
    return CopyOut(sim::Machine::Current().CurrentDirectory(), buffer, size);
}

bool SetCurrentDirectory(const char* path) {
    return path != nullptr && sim::Machine::Current().SetCurrentDirectory(path);
}

Dword GetModuleFileName(char* buffer, Dword size) {
    if (buffer == nullptr || size == 0) return 0;
    const std::string& path = sim::Machine::Current().ModulePath();
    Dword n = static_cast<Dword>(std::min<size_t>(path.size(), size - 1));
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
    return n;
}

Dword GetWindowsDirectory(char* buffer, Dword size) {
    return CopyOut(sim::Machine::Current().WindowsDirectory(), buffer, size);
}

Dword GetTempPath(Dword size, char* buffer) {
    return CopyOut(sim::Machine::Current().TempDirectory() + "\\", buffer, size);
}

bool GetDesktopDirectory(char* buffer, Dword size) {
    std::string desktop = sim::Machine::Current().DesktopDirectory();
    return CopyOut(desktop, buffer, size) == desktop.size();
}

}  // namespace plat
