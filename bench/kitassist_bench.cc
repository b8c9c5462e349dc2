// The kit wizard on the simulated machine: one button press with the refresh of the page it
// leads to, in a Pakonel.ini of about 100 KB. A press reads the button's 99 numbered program
// keys and its other keys; the refresh reads the title, the six captions with their places,
// the entry field, the picture and the 25 text lines. The target is under 1 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "kitassist/kit_app.h"
#include "kitassist/kit_dialog.h"
#include "kitassist/resource_ids.h"
#include "platform/files.h"
#include "platform/sim/machine.h"
#include "platform/sim/ui_driver.h"
#include "tests/support/temp_folder.h"

namespace {

// One page of the wizard: 25 styled lines, four buttons with places and markers, an entry
// field, a picture, and the next page for Suivant.
std::string Page(const std::string& name, const std::string& next) {
    std::string page =
        "[" + name + "]\r\nBitmap=absent.bmp\r\nxb=20\r\nyb=10\r\nxt=30\r\nyt=60\r\n";
    for (int n = 1; n <= 25; ++n) {
        page += std::to_string(n) + "=#10#a#N" + (n % 5 == 0 ? "#r#g" : "") + "Ligne " +
                std::to_string(n) + " de la page " + name +
                " : l'assistant installe le kit de connexion Telvora\r\n";
    }
    page +=
        "Suivant=Suivant+\r\nPosSuivant=256\r\nSizeSuivant=85\r\nPrecedent=Pr\xE9"
        "c\xE9"
        "dent\r\n"
        "Quitter=Quitter\r\nInfo1=Aide#\r\nSaisie=#pfTelvora\r\nSectionSuivant=" +
        next + "\r\nSectionPrecedent=" + next + "\r\n\r\n";
    return page;
}

std::string BigPakonel() {
    std::string ini =
        "[General]\r\nTitre=Installation du Kit Telvora\r\nExtractible=extract.exe\r\n"
        "Abonnement=abonne.exe\r\nEspace=espace.exe\r\nRaccEspace=Espace\r\n\r\n";
    ini += Page("NOIE", "Page2") + Page("Page2", "NOIE");
    for (int i = 0; ini.size() < 100 * 1024; ++i) ini += Page("Autre" + std::to_string(i), "NOIE");
    return ini;
}

void ButtonPressWithRefresh(benchmark::State& state) {
    testsupport::TempFolder folder("kit-bench");
    sim::Machine::Use(folder.path());
    plat::CreateDirectory("C:\\KIT");
    sim::Machine::Current().SetModulePath("C:\\KIT\\kitassist.exe");
    // No browser on this machine: the first page is "NOIE".
    const std::string ini = BigPakonel();
    plat::WriteWholeFile("C:\\KIT\\Pakonel.ini", ini);
    sim::ui::Reset();
    CKitApp app;
    app.Start();
    CKitDialog dialog(app);
    bool changed = false;
    sim::ui::ScriptUserAction([&] {
        sim::ui::Click(dialog.m_hwnd, ID_SUIVANT);
        changed = dialog.m_section.str() == "Page2";
        for (auto _ : state) {
            sim::ui::Click(dialog.m_hwnd, ID_SUIVANT);
            // The sim keeps every drawing; a real screen does not.
            sim::ui::ClearDrawLog(dialog.m_hwnd);
        }
        plat::EndDialog(dialog.m_hwnd, 1);
    });
    dialog.DoModal();
    if (!changed) state.SkipWithError("the pages did not alternate");
    state.counters["ini_bytes"] = static_cast<double>(ini.size());
}
BENCHMARK(ButtonPressWithRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
