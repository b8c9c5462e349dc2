// Runs a program of the simulated machine and every program it starts, to their end, and tells
// how each one ended. The programs of a kit start one another and do not wait for each other, so
// their own parents cannot say whether one was killed by a signal: this runner adopts them all
// (it is their subreaper) and reaps each one itself.
//   machine_runner REPORT DEADLINE_SECONDS PROGRAM [ARGUMENT...]
// REPORT gets one line per process that ended: "exit <name> <code>" or "signal <name> <number>",
// and for each one still running at the deadline "hang <name>" (then it is killed). The exit
// code is 0 when every process ended by itself in time, 1 when one was killed by a signal or
// hung, 2 when the program could not be started.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

std::string NameOf(pid_t pid) {
    std::string name;
    std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), name);
    return name.empty() ? "pid" + std::to_string(pid) : name;
}

// The processes of the group `group` that still run (zombies left out).
std::vector<pid_t> Running(pid_t group) {
    std::vector<pid_t> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return found;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        std::string stat;
        std::getline(std::ifstream(std::string("/proc/") + entry->d_name + "/stat"), stat);
        auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        long parent = 0;
        long processGroup = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %ld %ld", &state, &parent, &processGroup) !=
            3) {
            continue;
        }
        if (processGroup == group && state != 'Z' && state != 'X') {
            found.push_back(static_cast<pid_t>(pid));
        }
    }
    closedir(proc);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: machine_runner REPORT DEADLINE_SECONDS PROGRAM [ARG...]\n");
        return 2;
    }
    std::FILE* report = std::fopen(argv[1], "w");
    if (report == nullptr) return 2;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    prctl(PR_SET_CHILD_SUBREAPER, 1);

    // The program and all it starts in a process group of their own, to be found at the end.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t first = 0;
    int started = posix_spawn(&first, argv[3], nullptr, &attributes, argv + 3, environ);
    posix_spawnattr_destroy(&attributes);
    if (started != 0) {
        std::fprintf(stderr, "machine_runner: %s cannot be started\n", argv[3]);
        return 2;
    }

    bool failed = false;
    bool killed = false;
    for (;;) {
        siginfo_t info{};
        // WNOWAIT: the ended process stays a zombie long enough for its name to be read.
        if (waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
            if (errno == EINTR) continue;
            break;  // ECHILD: nothing left
        }
        if (info.si_pid != 0) {
            std::string name = NameOf(info.si_pid);
            int status = 0;
            waitpid(info.si_pid, &status, 0);
            if (WIFSIGNALED(status)) {
                // The processes the deadline killed were reported as hung already.
                if (!killed) failed = true;
                if (!killed) std::fprintf(report, "signal %s %d\n", name.c_str(), WTERMSIG(status));
            } else {
                std::fprintf(report, "exit %s %d\n", name.c_str(), WEXITSTATUS(status));
            }
            continue;
        }
        if (!killed && std::chrono::steady_clock::now() > deadline) {
            for (pid_t pid : Running(first)) std::fprintf(report, "hang %s\n", NameOf(pid).c_str());
            failed = true;
            killed = true;
            killpg(first, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::fclose(report);
    return failed ? 1 : 0;
}
