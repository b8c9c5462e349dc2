// The page description language: parsing and placing a description of about 4 KB (the largest
// a page file may hold), the same with its windows made and drawn on the simulated machine, and
// the deepest nesting such a file can reach.
#include <benchmark/benchmark.h>

#include <string>

#include "cnxassist/etape.h"
#include "cnxassist/page.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"

namespace {

std::string Join(const std::string& a, const std::string& op, const std::string& b) {
    return "(\r\n  " + a + "\r\n  " + op + "\r\n  " + b + "\r\n)";
}

// A title over rows of radio buttons, entry fields, texts, icons and push buttons, grown
// until it nearly reaches the size limit.
std::string LargeDescription() {
    std::string element = "(ttexte, 0, 600, 40, \"Connexion à Telvora\",\"Arial\",16,700,0,1)";
    int number = 1;
    while (true) {
        std::string n1 = std::to_string(number);
        std::string n2 = std::to_string(number + 1);
        std::string row =
            Join(Join("(icone, 0, 32, 20, \"question\")", "a_gauche_de",
                      "(ctexte, 0, 268, 20, \"Choisissez une option (ligne " + n1 + ")\")"),
                 "a_gauche_de",
                 Join("(radio, " + n1 + ", 150, 20, \"Oui\")", "a_droite_de",
                      "(saisie, " + n2 + ", 150, 20, \"valeur " + n2 + "\")"));
        std::string next = Join(element, "sur", row);
        std::string footer = Join(next, "sur", "(bouton, 99, 600, 20, \"Valider\",3)");
        if (("fenetre(0, 600, 2000)\r\n" + footer).size() > kMaxPageDescription) break;
        element = next;
        number += 2;
    }
    return "fenetre(0, 600, 2000)\r\n" +
           Join(element, "sur", "(bouton, 99, 600, 20, \"Valider\",3)");
}

// Composites nested as deep as a 4095-character file allows, each holding one more item.
std::string DeepDescription() {
    std::string element = "(ctexte,0,0,0,\"x\")";
    const std::string item = "(ctexte,0,0,0,\"x\")";
    while (("fenetre(0,0,0)(" + element + "sur" + item + ")").size() <= kMaxPageDescription) {
        element = "(" + element + "sur" + item + ")";
    }
    return "fenetre(0,0,0)" + element;
}

void ParseLargePage(benchmark::State& state) {
    const std::string text = LargeDescription();
    std::size_t items = 0;
    for (auto _ : state) {
        CPage page;
        if (!page.Parse(text.c_str())) state.SkipWithError("description refused");
        items = page.Layout() != nullptr ? page.Layout()->Count() : 0;
        benchmark::DoNotOptimize(items);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
    state.counters["items"] = static_cast<double>(items);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseLargePage)->Unit(benchmark::kMicrosecond);

plat::LResult PlainProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                        plat::LParam lParam) {
    return plat::DefWindowProc(window, message, wParam, lParam);
}

void ParseCreateAndDrawLargePage(benchmark::State& state) {
    const std::string text = LargeDescription();
    const plat::Rect area{10, 20, 610, 320};
    for (auto _ : state) {
        state.PauseTiming();
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        plat::WndClass windowClass;
        windowClass.wndProc = PlainProc;
        windowClass.className = "PageBench";
        plat::RegisterWindowClass(windowClass);
        plat::Hwnd window = plat::CreateWindow(0, "PageBench", "", plat::kWsOverlappedWindow, 0, 0,
                                               640, 400, plat::kNoWindow, 0);
        plat::Hdc dc = plat::GetDC(window);
        state.ResumeTiming();
        CPage page;
        page.Parse(text.c_str());
        page.Create(window, &area);
        page.Draw(dc, &area);
        state.PauseTiming();
        plat::ReleaseDC(window, dc);
        state.ResumeTiming();
    }
}
BENCHMARK(ParseCreateAndDrawLargePage)->Unit(benchmark::kMicrosecond);

void ParseDeepestNesting(benchmark::State& state) {
    const std::string text = DeepDescription();
    for (auto _ : state) {
        CPage page;
        if (!page.Parse(text.c_str())) state.SkipWithError("description refused");
        benchmark::DoNotOptimize(page.Layout());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(ParseDeepestNesting)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
