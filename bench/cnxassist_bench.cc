// The connection wizard on the simulated machine: how long start-up takes up to the first
// step entered, how long a step's registry script of 100 entries takes, and how much processor
// time the wizard spends while it waits for the sign-up program (target: under 0.5 % of one
// core; bench/wait-cpu-wine measures the same wait under Wine).
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

#include "cnxassist/assistant.h"
#include "cnxassist/etapes_inscription.h"
#include "cnxassist/process_watch.h"
#include "cnxassist/registry_script.h"
#include "cnxassist/wizard_main.h"
#include "cnxassist/wizard_utils.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"
#include "tests/support/temp_folder.h"

namespace {

// A fresh machine with the kit in C:\KIT as current directory. When the benchmark ends, the
// programs it made the wizard start are killed and the machine folder is removed.
class FreshKit {
  public:
    explicit FreshKit(const std::string& stepFile) {
        sim::Machine::Use(folder_.path());
        plat::CreateDirectory("C:\\KIT");
        plat::SetCurrentDirectory("C:\\KIT");
        cnx::ForgetWorkingDirectory();
        plat::WriteWholeFile("C:\\KIT\\ISIGNUP.EXE", "stand-in");
        plat::WriteWholeFile("C:\\KIT\\cfg.ini", stepFile);
    }
    ~FreshKit() {
        if (g_assistant != nullptr) cnx::EndWizard();
        EndStartedPrograms();
    }
    FreshKit(const FreshKit&) = delete;
    FreshKit& operator=(const FreshKit&) = delete;

  private:
    // The wizard starts the sign-up program without keeping its process id: every child of
    // this process is one of the programs the benchmark made it start.
    static void EndStartedPrograms() {
        const pid_t self = getpid();
        DIR* proc = opendir("/proc");
        if (proc == nullptr) return;
        while (dirent* entry = readdir(proc)) {
            char* end = nullptr;
            long pid = std::strtol(entry->d_name, &end, 10);
            if (pid <= 0 || *end != '\0') continue;
            std::string stat;
            std::getline(std::ifstream(std::string("/proc/") + entry->d_name + "/stat"), stat);
            // The parent's id is the second field after the parenthesised command name.
            auto close = stat.rfind(')');
            if (close == std::string::npos) continue;
            int parent = 0;
            char state = 0;
            if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) != 2) continue;
            if (parent != self) continue;
            kill(static_cast<pid_t>(pid), SIGKILL);
            waitpid(static_cast<pid_t>(pid), nullptr, 0);
        }
        closedir(proc);
    }

    testsupport::TempFolder folder_{"cnx-bench"};
};

const char kSteps[] =
    "[General]\r\nTx=0\r\nTy=0\r\nTl=640\r\nTh=400\r\nCx=10\r\nCy=20\r\nCl=600\r\nCh=300\r\n"
    "Precx=100\r\nPrecy=350\r\nSuivx=400\r\nSuivy=350\r\nQuitx=250\r\nQuity=350\r\n"
    "NbBitmaps=0\r\nTitre=Connexion\r\n"
    "[IdentWindow]\r\nSuivants=Etape1\r\nMessage=Systeme non supporte\r\n"
    "[Etape1]\r\nSuivants=Etape2\r\nPresenceSuivant=3\r\n";

void StartUpToFirstStep(benchmark::State& state) {
    FreshKit kit(kSteps);
    for (auto _ : state) {
        sim::ui::Reset();
        cnx::StartWizard("");
        sim::ui::PumpMessages();
        if (g_assistant == nullptr || g_assistant->m_current == nullptr ||
            std::string(g_assistant->m_current->Name()) != "Etape1") {
            state.SkipWithError("the first step was not reached");
            break;
        }
        cnx::EndWizard();
    }
}
BENCHMARK(StartUpToFirstStep)->Unit(benchmark::kMicrosecond);

void RegistryScriptOfHundredEntries(benchmark::State& state) {
    std::string section = "[Etape1]\r\n";
    for (int i = 0; i < 100; ++i) {
        char entry[256];
        std::snprintf(entry, sizeof entry,
                      "I0%02d.Branche=HKEY_CURRENT_USER\r\nI0%02d.Cle=Software\\Telvora\\K%d\r\n"
                      "I0%02d.Nom=V%d\r\nI0%02d.Type=c\r\nI0%02d.Valeur=valeur %d\r\n",
                      i, i, i % 10, i, i, i, i, i);
        section += entry;
    }
    FreshKit kit(section);
    for (auto _ : state) {
        CScriptRegistre script(0, "C:\\KIT\\cfg.ini", "Etape1");
        benchmark::DoNotOptimize(&script);
    }
}
BENCHMARK(RegistryScriptOfHundredEntries)->Unit(benchmark::kMillisecond);

// The first step goes on by itself to DejaAbonne1, which at once starts the sign-up program on
// modele_0.ins and waits for it with the wait timer; Etape2 follows.
const char kSignupSteps[] =
    "[General]\r\nTx=0\r\nTy=0\r\nTl=640\r\nTh=400\r\nCx=10\r\nCy=20\r\nCl=600\r\nCh=300\r\n"
    "Precx=100\r\nPrecy=350\r\nSuivx=400\r\nSuivy=350\r\nQuitx=250\r\nQuity=350\r\n"
    "NbBitmaps=0\r\nTitre=Connexion\r\n"
    "[IdentWindow]\r\nSuivants=DejaAbonne1\r\nMessage=Systeme non supporte\r\n"
    "[DejaAbonne1]\r\nSuivants=Etape2\r\nPresenceSuivant=1\r\nPresencePrecedent=1\r\n"
    "[Etape2]\r\nSuivants=Etape2\r\nPresenceSuivant=3\r\n";

std::string CurrentStep() {
    return g_assistant != nullptr && g_assistant->m_current != nullptr
               ? g_assistant->m_current->Name()
               : std::string("(none)");
}

// Starts the wizard with the real stand-in of the sign-up program (a host process whose
// executable is C:\KIT\ISIGNUP.EXE, as the snapshot reports it) told to run `milliseconds`.
// False, with the reason in `why`, unless the wizard is left waiting for it.
bool StartWaitingForSignupProgram(int milliseconds, std::string* why) {
    std::string standIn = sim::Machine::Current().ToWindowsPath(ISIGNUP_PATH);
    if (!plat::CopyFile(standIn.c_str(), "C:\\KIT\\ISIGNUP.EXE", false)) {
        *why = "cannot copy the stand-in " + standIn;
        return false;
    }
    plat::WriteWholeFile("C:\\KIT\\modele_0.ins",
                         "[Entry]\r\nEntry_Name=Telvora Banc\r\n[StandIn]\r\nOutcome=created," +
                             std::to_string(milliseconds) + "\r\n");
    // Every machine with a browser has this key; the step opens it without creating it.
    plat::RegKey key = 0;
    if (plat::RegCreateKey(plat::kHkeyCurrentUser,
                           "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                           &key) == 0) {
        plat::RegCloseKey(key);
    }
    g_profileBefore = "";
    sim::ui::Reset();
    cnx::StartWizard("");
    sim::ui::PumpMessages();
    if (CurrentStep() != "DejaAbonne1") {
        *why = "the wizard is at step " + CurrentStep() + ", not DejaAbonne1";
        return false;
    }
    if (!cnx::WatchedProcessRunning()) {
        *why = "the sign-up program does not run";
        return false;
    }
    return true;
}

// The processor time of this process, all its threads (to the microsecond with glibc).
double ProcessCpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The simulated snapshot looks at every process of the host, so its cost grows with their count.
int HostProcessCount() {
    int count = 0;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return 0;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        if (std::strtol(entry->d_name, &end, 10) > 0 && *end == '\0') ++count;
    }
    closedir(proc);
    return count;
}

// The ticks of the wait timer in one second.
constexpr double kTicksPerSecond = 1000.0 / kWaitTimerMilliseconds;

// One tick of the wait timer while the sign-up program runs: OnTimer takes a process snapshot,
// finds the program and leaves the timer as it is. The program is told to run a minute, far
// longer than the measurement.
void WaitForSignupProgramTick(benchmark::State& state) {
    FreshKit kit(kSignupSteps);
    std::string why;
    if (!StartWaitingForSignupProgram(60000, &why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    CEtape* waiting = g_assistant->m_current;
    bool stillWaiting = true;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        g_assistant->OnTimer(kWaitTimerId);
        stillWaiting = stillWaiting && g_assistant->m_current == waiting;
    }
    const double cpuPerTick =
        (ProcessCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
    if (!stillWaiting) {
        state.SkipWithError("the wizard stopped waiting while the sign-up program ran");
        return;
    }
    state.counters["cpu_us_per_tick"] = cpuPerTick * 1e6;
    state.counters["cpu_percent_of_one_core"] = kTicksPerSecond * cpuPerTick * 100.0;
    state.counters["host_processes"] = HostProcessCount();
}
BENCHMARK(WaitForSignupProgramTick)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The whole wait for a sign-up program that runs 10 s: the timer ticks every 500 ms of real
// time (the virtual clock moved along) until the wizard sees the program has ended and goes on
// to Etape2. Most of the wait is sleeping; the counters say what the wizard's process used.
// One iteration takes about ten seconds.
void WholeWaitForTenSecondSignupProgram(benchmark::State& state) {
    FreshKit kit(kSignupSteps);
    std::string why;
    if (!StartWaitingForSignupProgram(10000, &why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    int ticks = 0;
    const double cpuBefore = ProcessCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    for (auto _ : state) {
        // Sixty seconds is the stand-in's longest run: the wait cannot last longer.
        while (CurrentStep() == "DejaAbonne1" && ticks < 130) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kWaitTimerMilliseconds));
            sim::ui::AdvanceClock(kWaitTimerMilliseconds);
            sim::ui::PumpMessages();
            ++ticks;
        }
    }
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    if (CurrentStep() != "Etape2") {
        state.SkipWithError(("the wait ended at step " + CurrentStep()).c_str());
        return;
    }
    state.counters["ticks"] = ticks;
    state.counters["host_processes"] = HostProcessCount();
    state.counters["cpu_us_per_tick"] = cpu / ticks * 1e6;
    state.counters["cpu_percent_of_one_core"] = cpu / wall * 100.0;
}
BENCHMARK(WholeWaitForTenSecondSignupProgram)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
