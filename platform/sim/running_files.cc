#include "platform/sim/running_files.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/sim/machine.h"

namespace sim {
namespace {

// A process of this machine carries its folder in its environment (as the process list reads
// it): processes of other tests' machines are on other computers.
bool OnThisMachine(const std::string& procDir, const std::string& marker) {
    std::ifstream in(procDir + "/environ", std::ios::binary);
    std::string entry;
    while (std::getline(in, entry, '\0')) {
        if (entry == marker) return true;
    }
    return false;
}

bool IsAlive(const std::string& procDir) {
    std::string stat;
    std::getline(std::ifstream(procDir + "/stat"), stat);
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size()) return false;
    return stat[close + 2] != 'Z' && stat[close + 2] != 'X';
}

}  // namespace

bool IsRunningProgramFile(const std::string& host) {
    char resolved[PATH_MAX];
    if (realpath(host.c_str(), resolved) == nullptr) return false;
    const std::string wanted = resolved;
    const std::string marker = "SIMWIN_MACHINE=" + Machine::Current().Folder();
    const std::string self = "/proc/" + std::to_string(getpid());
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return false;
    bool running = false;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        const std::string base = std::string("/proc/") + entry->d_name;
        char exe[PATH_MAX];
        const ssize_t n = readlink((base + "/exe").c_str(), exe, sizeof exe - 1);
        if (n <= 0 || std::string(exe, static_cast<std::size_t>(n)) != wanted) continue;
        if (!IsAlive(base)) continue;
        if (base == self || OnThisMachine(base, marker)) {
            running = true;
            break;
        }
    }
    closedir(proc);
    return running;
}

}  // namespace sim
