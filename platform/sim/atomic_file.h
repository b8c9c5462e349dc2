// Writing files of the simulated machine so that a reader, or a crash, sees the old contents or
// the new ones, never half of them; and serialising read-modify-write cycles between processes.
#pragma once

#include <string>

namespace sim {

// Writes `contents` to a temporary file, flushes it, then renames it over `hostPath`. The
// temporary file of a file on the machine's drives is in the machine folder's "pending-writes",
// so that a process killed meanwhile leaves nothing on the drives; for other files it is beside
// them, "<file>.tmp<pid>". The file's permissions are kept.
bool ReplaceFileAtomically(const std::string& hostPath, const std::string& contents);

// A whole file that the system writes for a program (a shortcut the shell saves): as
// plat::WriteWholeFile, but whole on a fault or a kill, where a program's own write is cut.
bool WriteFileForTheSystem(const char* path, const std::string& contents);

// An exclusive lock between the processes of the machine on `hostPath` (flock on a lock file
// of the machine folder), held for the object's life.
class FileLock {
  public:
    explicit FileLock(const std::string& hostPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    int fd_ = -1;
};

}  // namespace sim
