#include "platform/sim/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <functional>

#include "platform/sim/change_count.h"
#include "platform/sim/machine.h"

namespace sim {

namespace {

// Writes the whole of `contents` to a new file `tmp`, flushed to disk.
bool WriteNewFile(const std::string& tmp, const std::string& contents, mode_t mode) {
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < contents.size()) {
        ssize_t n = write(fd, contents.data() + done, contents.size() - done);
        if (n <= 0) {
            close(fd);
            unlink(tmp.c_str());
            return false;
        }
        done += static_cast<size_t>(n);
    }
    fchmod(fd, mode);
    if (fsync(fd) != 0 || close(fd) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    return true;
}

// Where the new contents wait before they replace the file. For a file on one of the machine's
// drives, a folder of the machine folder that no program sees: a process killed in the middle
// of a write leaves nothing on the drives, where a stray file would show in folder listings and
// be copied along with a kit's files. Elsewhere (the registry file, files of the host), beside
// the file, named after the process.
std::string TemporaryPath(const std::string& hostPath, bool beside) {
    const std::string& folder = Machine::Current().Folder();
    if (beside || hostPath.rfind(folder + "/drive_", 0) != 0) {
        return hostPath + ".tmp" + std::to_string(getpid());
    }
    static std::atomic<unsigned> written{0};
    std::string pending = folder + "/pending-writes";
    mkdir(pending.c_str(), 0755);
    return pending + "/" + std::to_string(getpid()) + "-" + std::to_string(written++);
}

}  // namespace

bool ReplaceFileAtomically(const std::string& hostPath, const std::string& contents) {
    mode_t mode = 0644;
    struct stat st;
    if (stat(hostPath.c_str(), &st) == 0) mode = st.st_mode & 0777;
    for (bool beside : {false, true}) {
        std::string tmp = TemporaryPath(hostPath, beside);
        if (!WriteNewFile(tmp, contents, mode)) {
            if (!beside) continue;
            return false;
        }
        if (std::rename(tmp.c_str(), hostPath.c_str()) == 0) {
            NoteMachineChange();
            return true;
        }
        // A drive of the machine on another file system than its folder: a rename cannot
        // cross that, the write goes beside the file.
        int error = errno;
        unlink(tmp.c_str());
        if (error != EXDEV) return false;
    }
    return false;
}

// The lock files live in the machine folder, named after the locked file, so that the folders
// of the simulated drives hold only what the programs put there.
FileLock::FileLock(const std::string& hostPath) {
    std::string folder = Machine::Current().Folder() + "/locks";
    mkdir(folder.c_str(), 0755);
    char name[32];
    std::snprintf(name, sizeof name, "/%016zx.lock", std::hash<std::string>{}(hostPath));
    fd_ = open((folder + name).c_str(), O_RDWR | O_CREAT, 0644);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        flock(fd_, LOCK_UN);
        close(fd_);
    }
}

}  // namespace sim
