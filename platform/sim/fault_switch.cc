#include "platform/sim/fault_switch.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>
#include <vector>

#include "platform/sim/machine.h"

namespace sim {
namespace {

constexpr const char* kKindNames[kFaultKindCount] = {"write", "copy", "move", "registry", "spawn"};

struct FaultPlan {
    bool active = false;   // counting at least
    bool injects = false;  // a fault is chosen
    FaultKind kind = FaultKind::kWrite;
    std::uint64_t number = 0;
    bool permanent = false;
    bool kill = false;
    bool hold = false;
};

bool KindNamed(const std::string& name, FaultKind* kind) {
    for (int i = 0; i < kFaultKindCount; ++i) {
        if (name == kKindNames[i]) {
            *kind = static_cast<FaultKind>(i);
            return true;
        }
    }
    return false;
}

bool ParsePlan(const std::string& text, FaultPlan* plan) {
    *plan = FaultPlan();
    if (text == "count") {
        plan->active = true;
        return true;
    }
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ':');) parts.push_back(part);
    if (parts.size() < 2 || parts.size() > 3 || !KindNamed(parts[0], &plan->kind)) return false;
    char* end = nullptr;
    unsigned long long number = std::strtoull(parts[1].c_str(), &end, 10);
    if (parts[1].empty() || *end != '\0' || number == 0) return false;
    plan->number = number;
    if (parts.size() == 3) {
        if (parts[2] == "permanent") {
            plan->permanent = true;
        } else if (parts[2] == "kill") {
            plan->kill = true;
        } else if (parts[2] == "hold") {
            plan->hold = true;
        } else if (parts[2] != "transient") {
            return false;
        }
    }
    plan->active = true;
    plan->injects = true;
    return true;
}

// What SIMWIN_FAULT asks for now. A test may change the variable between operations, so it is
// read each time; a value that cannot be understood is said once and asks for nothing.
FaultPlan CurrentPlan() {
    const char* value = std::getenv("SIMWIN_FAULT");
    FaultPlan plan;
    if (value == nullptr || *value == '\0') return plan;
    if (ParsePlan(value, &plan)) return plan;
    static std::once_flag said;
    std::call_once(said, [value] {
        std::fprintf(
            stderr,
            "fault: SIMWIN_FAULT=%s is not count nor <kind>:<n>[:transient|permanent|kill|hold]\n",
            value);
    });
    return FaultPlan();
}

using Counts = std::array<std::uint64_t, kFaultKindCount>;

Counts ParseCounts(const std::string& text) {
    Counts counts{};
    std::stringstream in(text);
    std::string name;
    std::uint64_t count = 0;
    while (in >> name >> count) {
        FaultKind kind;
        if (KindNamed(name, &kind)) counts[static_cast<int>(kind)] = count;
    }
    return counts;
}

std::string FormatCounts(const Counts& counts) {
    std::string text;
    for (int i = 0; i < kFaultKindCount; ++i) {
        text += std::string(kKindNames[i]) + " " + std::to_string(counts[i]) + "\n";
    }
    return text;
}

std::string ReadFd(int fd) {
    std::string text;
    char buffer[512];
    off_t offset = 0;
    for (;;) {
        ssize_t n = pread(fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return text;
        text.append(buffer, static_cast<size_t>(n));
        offset += n;
    }
}

// Adds one to the machine's count of `kind` under the counts file's lock; the new count, or 0
// when the file cannot be used (then nothing fails).
std::uint64_t CountOne(const std::string& folder, FaultKind kind) {
    int fd = open((folder + "/fault-counts").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    Counts counts = ParseCounts(ReadFd(fd));
    std::uint64_t count = ++counts[static_cast<int>(kind)];
    // Counts only grow, so the new text is never shorter than the old: written over it in
    // place, it leaves no stale end behind.
    std::string text = FormatCounts(counts);
    bool written = pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
    close(fd);
    return written ? count : 0;
}

// The running program's file name, without the folder (which may hold blanks, and would mix
// with the fields of the log's lines).
std::string ProgramName() {
    std::string name = program_invocation_short_name;
    std::size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

void Log(const std::string& folder, FaultKind kind, std::uint64_t number, const std::string& what,
         const char* mark) {
    int fd = open((folder + "/fault-log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    std::string line = std::string(kKindNames[static_cast<int>(kind)]) + " " +
                       std::to_string(number) + " " + ProgramName() + " " + what + mark + "\n";
    // One write with O_APPEND: lines of several processes do not mix.
    ssize_t ignored = write(fd, line.data(), line.size());
    (void)ignored;
    close(fd);
}

}  // namespace

const char* FaultKindName(FaultKind kind) { return kKindNames[static_cast<int>(kind)]; }

bool FaultHere(FaultKind kind, const std::string& what, const std::function<void(bool)>& cut) {
    FaultPlan plan = CurrentPlan();
    if (!plan.active) return false;
    const std::string& folder = Machine::Current().Folder();
    std::uint64_t number = CountOne(folder, kind);
    bool hit = plan.injects && plan.kind == kind && number != 0 &&
               (number == plan.number || (plan.permanent && number > plan.number));
    if (hit && plan.hold) {
        Log(folder, kind, number, what, " HELD");
        close(open((folder + "/fault-held").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        while (access((folder + "/fault-release").c_str(), F_OK) != 0) usleep(10000);
        return false;
    }
    Log(folder, kind, number, what, !hit ? "" : plan.kill ? " KILLED" : " FAILED");
    if (hit && cut) cut(plan.kill);
    if (hit && plan.kill) {
        // Nothing of the process runs after this: no destructor, no buffered output.
        kill(getpid(), SIGKILL);
        pause();
    }
    return hit;
}

void NoteBoxInFaultLog(const std::string& text) {
    if (!CurrentPlan().active) return;
    int fd = open((Machine::Current().Folder() + "/fault-log").c_str(),
                  O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    std::string line = "box " + ProgramName() + " " + text + "\n";
    ssize_t ignored = write(fd, line.data(), line.size());
    (void)ignored;
    close(fd);
}

Counts FaultCounts(const std::string& machineFolder) {
    int fd = open((machineFolder + "/fault-counts").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Counts{};
    flock(fd, LOCK_SH);
    Counts counts = ParseCounts(ReadFd(fd));
    close(fd);
    return counts;
}

}  // namespace sim
