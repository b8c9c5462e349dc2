// The connection wizard on the simulated machine: how long start-up takes up to the first
// step entered, and how long a step's registry script of 100 entries takes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "cnxassist/assistant.h"
#include "cnxassist/registry_script.h"
#include "cnxassist/wizard_main.h"
#include "cnxassist/wizard_utils.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"

namespace {

void FreshKit(const std::string& stepFile) {
    char pattern[] = "/tmp/cnx-bench-XXXXXX";
    sim::Machine::Use(mkdtemp(pattern));
    plat::CreateDirectory("C:\\KIT");
    plat::SetCurrentDirectory("C:\\KIT");
    cnx::ForgetWorkingDirectory();
    plat::WriteWholeFile("C:\\KIT\\ISIGNUP.EXE", "stand-in");
    plat::WriteWholeFile("C:\\KIT\\cfg.ini", stepFile);
}

const char kSteps[] =
    "[General]\r\nTx=0\r\nTy=0\r\nTl=640\r\nTh=400\r\nCx=10\r\nCy=20\r\nCl=600\r\nCh=300\r\n"
    "Precx=100\r\nPrecy=350\r\nSuivx=400\r\nSuivy=350\r\nQuitx=250\r\nQuity=350\r\n"
    "NbBitmaps=0\r\nTitre=Connexion\r\n"
    "[IdentWindow]\r\nSuivants=Etape1\r\nMessage=Systeme non supporte\r\n"
    "[Etape1]\r\nSuivants=Etape2\r\nPresenceSuivant=3\r\n";

void StartUpToFirstStep(benchmark::State& state) {
    FreshKit(kSteps);
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
    FreshKit(section);
    for (auto _ : state) {
        CScriptRegistre script(0, "C:\\KIT\\cfg.ini", "Etape1");
        benchmark::DoNotOptimize(&script);
    }
}
BENCHMARK(RegistryScriptOfHundredEntries)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
