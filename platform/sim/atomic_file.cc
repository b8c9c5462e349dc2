#include "platform/sim/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

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
    return true;
}

FileLock::FileLock(const std::string& hostPath) {
    fd_ = open((hostPath + ".lock").c_str(), O_RDWR | O_CREAT, 0644);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        flock(fd_, LOCK_UN);
        close(fd_);
    }
}

}  // namespace sim
