// Claims of the simulated machine: a lock file in the machine folder held with flock, which the
// system drops when the holder ends, however it ends. The descriptor is closed on exec, so that
// a program started by the holder does not keep the claim after the holder is gone.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/instance.h"
#include "platform/sim/machine.h"

namespace plat {

bool ClaimInstance(const char* name, InstanceClaim* claim) {
    *claim = 0;
    std::string folder = sim::Machine::Current().Folder() + "/locks";
    mkdir(folder.c_str(), 0755);
    std::string file = folder + "/instance-" + (name != nullptr ? name : "");
    int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return true;
    int result;
    while ((result = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        bool held = errno == EWOULDBLOCK;
        close(fd);
        return !held;
    }
    *claim = fd + 1;  // never 0
    return true;
}

void ReleaseInstance(InstanceClaim claim) {
    if (claim != 0) close(static_cast<int>(claim - 1));
}

}  // namespace plat
