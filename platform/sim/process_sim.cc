// Programs on the simulated machine are host executables stored on its drives. They are
// started with posix_spawn, in the host folder of the current directory, with the machine
// folder in their environment so that they share the machine.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>

#include "common/program_lookup.h"
#include "platform/process.h"
#include "platform/sim/command_line.h"
#include "platform/sim/fault_switch.h"
#include "platform/sim/machine.h"
#include "platform/window.h"

extern char** environ;

namespace plat {
namespace {

// Children started without waiting; reaped whenever the process list is read, so that an
// ended child does not linger as a zombie that looks alive.
std::set<pid_t>& DetachedChildren() {
    static std::set<pid_t> children;
    return children;
}

// A program of the machine killed by a signal (a crash) is said on the error output, by the
// process that reaps it: the one that started it may be the only one to learn of it.
void SayIfKilled(pid_t pid, int status) {
    if (!WIFSIGNALED(status)) return;
    std::fprintf(stderr, "simwin: process %d started by %s was killed by signal %d\n",
                 static_cast<int>(pid), program_invocation_short_name, WTERMSIG(status));
}

void ReapDetachedChildren() {
    auto& children = DetachedChildren();
    for (auto it = children.begin(); it != children.end();) {
        int status = 0;
        if (waitpid(*it, &status, WNOHANG) != 0) {
            SayIfKilled(*it, status);
            it = children.erase(it);
        } else {
            ++it;
        }
    }
}

bool IsRegularFile(const std::string& host) {
    struct stat st;
    return stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "SIMWIN_MACHINE=", 15) != 0) env.push_back(*e);
    }
    env.push_back("SIMWIN_MACHINE=" + sim::Machine::Current().Folder());
    return env;
}

// Starts the host file `host` with `argv`; the child's pid, or -1.
pid_t Start(const std::string& host, const std::vector<std::string>& argv) {
    sim::Machine& machine = sim::Machine::Current();
    std::string hostCwd;
    if (!machine.ToHostPath(machine.CurrentDirectory(), &hostCwd)) hostCwd = "/";
    std::vector<std::string> env = ChildEnvironment();
    std::vector<char*> argPointers;
    for (const std::string& a : argv) argPointers.push_back(const_cast<char*>(a.c_str()));
    if (argPointers.empty()) argPointers.push_back(const_cast<char*>(host.c_str()));
    argPointers.push_back(nullptr);
    std::vector<char*> envPointers;
    for (const std::string& e : env) envPointers.push_back(const_cast<char*>(e.c_str()));
    envPointers.push_back(nullptr);

    // The child changes to the directory, then execs. A close-on-exec pipe tells the parent
    // whether the exec succeeded, so that a started program is in the process list as soon as
    // the start returns, and a program that cannot run is reported as not started.
    int status[2];
    if (pipe2(status, O_CLOEXEC) != 0) return -1;
    pid_t pid = fork();
    if (pid < 0) {
        close(status[0]);
        close(status[1]);
        return -1;
    }
    if (pid == 0) {
        close(status[0]);
        if (chdir(hostCwd.c_str()) == 0)
            execve(host.c_str(), argPointers.data(), envPointers.data());
        int error = errno;
        ssize_t ignored = write(status[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }
    close(status[1]);
    int error = 0;
    ssize_t n;
    while ((n = read(status[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(status[0]);
    if (n > 0) {
        waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

// Whether the host file can be started at all: present, a regular file, executable.
// Windows starts any program file whatever its attributes, so a host program that a program of
// the machine copied byte by byte (an installer writing a new file, without the host's execute
// permission) still starts: the permission is given to files that begin as host programs do.
bool Startable(const std::string& host) {
    if (!IsRegularFile(host)) return false;
    if (access(host.c_str(), X_OK) == 0) return true;
    char magic[4] = {};
    std::ifstream file(host, std::ios::binary);
    if (!file.read(magic, sizeof magic) || std::memcmp(magic,
                                                       "\x7f"
                                                       "ELF",
                                                       4) != 0)
        return false;
    struct stat st;
    return stat(host.c_str(), &st) == 0 && chmod(host.c_str(), (st.st_mode & 07777) | 0111) == 0 &&
           access(host.c_str(), X_OK) == 0;
}

// The arguments travel as one command line, each quoted as the C runtime needs; the child sees
// them split again with its C runtime's rules.
std::vector<std::string> AsTheChildSeesThem(const std::vector<std::string>& argv) {
    return sim::SplitCommandLine(sim::JoinArguments(argv));
}

// Whether the last component of a Windows path has an extension.
bool HasExtension(const std::string& path) {
    auto slash = path.find_last_of("\\/");
    return path.find('.', slash == std::string::npos ? 0 : slash) != std::string::npos;
}

bool ResolveProgram(const char* program, std::string* host) {
    if (program == nullptr || *program == '\0') return false;
    std::string name(program);
    // spawn adds ".exe" to a name without extension.
    if (!HasExtension(name)) name += ".exe";
    return sim::Machine::Current().ToHostPath(name, host) && IsRegularFile(*host);
}

std::string DirectoryOf(const std::string& windowsPath) {
    auto slash = windowsPath.rfind('\\');
    return slash == std::string::npos ? std::string() : windowsPath.substr(0, slash);
}

// WinExec's search for a program named without a folder: the program's own folder, the
// current directory, the system folder, the Windows folder.
bool FindForWinExec(const std::string& name, std::string* host) {
    sim::Machine& machine = sim::Machine::Current();
    std::string withExtension = HasExtension(name) ? name : name + ".exe";
    auto slash = name.find_last_of("\\/");
    if (slash != std::string::npos || (name.size() >= 2 && name[1] == ':')) {
        return machine.ToHostPath(withExtension, host) && IsRegularFile(*host);
    }
    for (const std::string& folder :
         {DirectoryOf(machine.ModulePath()), machine.CurrentDirectory(),
          machine.WindowsDirectory() + "\\SYSTEM", machine.WindowsDirectory()}) {
        if (folder.empty()) continue;
        if (machine.ToHostPath(folder + "\\" + withExtension, host) && IsRegularFile(*host)) {
            return true;
        }
    }
    return false;
}

}  // namespace

int SpawnWait(const char* program, const std::vector<std::string>& argv) {
    std::string host;
    if (!ResolveProgram(program, &host) || !Startable(host)) return -1;
    if (sim::FaultHere(sim::FaultKind::kSpawn, program)) return -1;
    pid_t pid = Start(host, AsTheChildSeesThem(argv));
    if (pid < 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    SayIfKilled(pid, status);
    return 3;  // ended abnormally, as abort() does on Windows
}

int SpawnNoWait(const char* program, const std::vector<std::string>& argv, ProcessHandle* started) {
    std::string host;
    if (!ResolveProgram(program, &host) || !Startable(host)) return -1;
    if (sim::FaultHere(sim::FaultKind::kSpawn, program)) return -1;
    pid_t pid = Start(host, AsTheChildSeesThem(argv));
    if (pid < 0) return -1;
    DetachedChildren().insert(pid);
    if (started != nullptr) *started = pid;
    return 0;
}

bool ProcessStillRunning(ProcessHandle process) {
    // Only our own children are asked about, and the same way ReapDetachedChildren does: a
    // child it has reaped is no longer in the list, and a child found ended here is reaped and
    // taken out, so that both ways of looking agree.
    auto& children = DetachedChildren();
    auto it = children.find(static_cast<pid_t>(process));
    if (process <= 0 || it == children.end()) return false;
    int status = 0;
    if (waitpid(*it, &status, WNOHANG) == 0) return true;
    SayIfKilled(*it, status);
    children.erase(it);
    return false;
}

// The pid is all there is to give back: the child stays in the list of detached children,
// to be reaped once it ends.
void CloseProcessHandle(ProcessHandle) {}

namespace {

// WinExec's reading of a command line, shared by the starts that take one: the program found
// (an unquoted one at the shortest beginning of the line that names a file), then started. The
// child's pid in `pid` and 33 once started, else WinExec's error code.
unsigned StartCommandLine(const char* commandLine, pid_t* pid) {
    if (commandLine == nullptr) return 2;
    std::string line(commandLine);
    std::vector<std::string> args = sim::SplitCommandLine(line);
    if (args.empty()) return 2;
    std::string host;
    bool found = false;
    if (line[line.find_first_not_of(" \t")] == '"') {
        found = FindForWinExec(args[0], &host);
    } else {
        const kit::UnquotedProgram program = kit::FindUnquotedProgram(
            line, [&host](const std::string& path) { return FindForWinExec(path, &host); });
        found = program.found;
        if (found) {
            args = {program.program};
            for (const std::string& arg : sim::SplitCommandLine(program.arguments)) {
                args.push_back(arg);
            }
        }
    }
    if (!found) return 2;             // ERROR_FILE_NOT_FOUND
    if (!Startable(host)) return 11;  // ERROR_BAD_FORMAT
    // A start made to fail: "out of memory or resources".
    if (sim::FaultHere(sim::FaultKind::kSpawn, args[0])) return 0;
    *pid = Start(host, args);
    if (*pid < 0) return 11;
    DetachedChildren().insert(*pid);
    return 33;
}

}  // namespace

unsigned WinExec(const char* commandLine, int show) {
    pid_t pid = 0;
    return StartCommandLine(commandLine, &pid);
}

unsigned StartProcessKept(const char* commandLine, int show, ProcessHandle* process) {
    pid_t pid = 0;
    const unsigned code = StartCommandLine(commandLine, &pid);
    if (code > 31 && process != nullptr) *process = pid;
    return code;
}

bool WaitForProcessOrMessage(ProcessHandle process, Dword milliseconds) {
    // The window system lives in this thread and never blocks: a message can only be waiting
    // already, while the process is a real one, looked at every few milliseconds.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (true) {
        if (!ProcessStillRunning(process)) return true;
        Msg msg;
        if (PeekMessage(&msg, 0, kPmNoRemove)) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

namespace {

// Whether process `pid` runs on this machine: the process itself, and every process started
// with this machine's folder in its environment. Processes of other machines (other tests
// running at the same time) are not seen, as on separate computers.
bool OnThisMachine(const std::string& procDir, const std::string& marker) {
    if (procDir == "/proc/" + std::to_string(getpid())) return true;
    std::ifstream in(procDir + "/environ", std::ios::binary);
    std::string entry;
    while (std::getline(in, entry, '\0')) {
        if (entry == marker) return true;
    }
    return false;
}

}  // namespace

bool ProcessSnapshotAvailable() { return true; }

bool ProcessSnapshot(std::vector<std::string>* exeNames) {
    ReapDetachedChildren();
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return false;
    exeNames->clear();
    sim::Machine& machine = sim::Machine::Current();
    const std::string marker = "SIMWIN_MACHINE=" + machine.Folder();
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        std::string base = std::string("/proc/") + entry->d_name;
        std::string stat;
        std::getline(std::ifstream(base + "/stat"), stat);
        auto close = stat.rfind(')');
        if (close == std::string::npos || close + 2 >= stat.size()) continue;
        if (stat[close + 2] == 'Z' || stat[close + 2] == 'X') continue;  // ended, not reaped
        if (!OnThisMachine(base, marker)) continue;
        char exe[4096];
        ssize_t n = readlink((base + "/exe").c_str(), exe, sizeof exe - 1);
        if (n > 0) {
            // Windows 9x reports the executable's full path.
            exeNames->push_back(machine.ToWindowsPath(std::string(exe, static_cast<size_t>(n))));
        } else {
            std::string comm;
            std::getline(std::ifstream(base + "/comm"), comm);
            if (!comm.empty()) exeNames->push_back(comm);
        }
    }
    closedir(proc);
    return true;
}

}  // namespace plat
