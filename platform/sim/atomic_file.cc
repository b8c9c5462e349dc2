#include "platform/sim/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "platform/sim/change_count.h"
#include "platform/sim/machine.h"

namespace sim {

bool ReplaceFileAtomically(const std::string& hostPath, const std::string& contents) {
    std::string tmp = hostPath + ".tmp" + std::to_string(getpid());
    mode_t mode = 0644;
    struct stat st;
    if (stat(hostPath.c_str(), &st) == 0) mode = st.st_mode & 0777;
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
    if (fsync(fd) != 0 || close(fd) != 0 || std::rename(tmp.c_str(), hostPath.c_str()) != 0) {
        unlink(tmp.c_str());
        return false;
    }
    NoteMachineChange();
    return true;
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
