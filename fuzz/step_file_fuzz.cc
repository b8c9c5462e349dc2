// Arbitrary bytes as the connection wizard's step file, read on the simulated machine as the
// wizard reads it: the [General] section with its bitmaps, then each step section built by its
// kind's constructor, which runs the section's registry script first. Every refusal must be an
// error with a message, never a crash; bitmaps are all released; every registry script entry
// read is complete; and the registry the scripts leave stays readable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cnxassist/etape.h"
#include "cnxassist/etape_exception.h"
#include "cnxassist/etape_factory.h"
#include "cnxassist/etapes_environnement.h"
#include "cnxassist/general_config.h"
#include "cnxassist/registry_script.h"
#include "cnxassist/step_file.h"
#include "cnxassist/wizard_utils.h"
#include "common/cle_registre.h"
#include "fuzz/fuzz_machine.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/sim/regedit4.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"

namespace {

constexpr const char* kStepFile = "C:\\KIT\\cfg.ini";
constexpr std::size_t kMaxSections = 8;
constexpr int kMaxEntriesPerList = 100;

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Setup {
    std::string stepFileHost;
    std::string registryHost;
    std::string registry;  // the registry as every input starts with it
};

const Setup& Prepare() {
    static const Setup setup = [] {
        Setup s;
        sim::Machine& machine = fuzzmachine::Machine("step-file-fuzz");
        if (!plat::CreateDirectory("C:\\KIT") || !plat::SetCurrentDirectory("C:\\KIT"))
            std::abort();
        machine.SetModulePath("C:\\KIT\\cnxassist.exe");
        cnx::ForgetWorkingDirectory();
        cnx::SetStepFileName("cfg.ini");
        Check(plat::WriteWholeFile("C:\\KIT\\page.txt",
                                   "fenetre(0,100,50)(ctexte,0,100,50,\"Bonjour\")"));
        Check(plat::WriteWholeFile(
            "C:\\KIT\\logo.bmp",
            std::string(reinterpret_cast<const char*>(fuzzmachine::kSmallBitmap),
                        sizeof fuzzmachine::kSmallBitmap)));
        // A value to copy, so that copy entries can succeed.
        CCleRegistre key(plat::kHkeyLocalMachine, "Software\\Telvora", true);
        Check(key.SetString("Source", "valeur"));
        Check(key.SetDword("Nombre", 7));
        s.stepFileHost = fuzzmachine::HostPath(kStepFile);
        s.registryHost = machine.RegistryFile();
        s.registry = fuzzmachine::ReadHostFile(s.registryHost);
        Check(!s.registry.empty());
        return s;
    }();
    return setup;
}

plat::LResult PlainProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                        plat::LParam lParam) {
    return plat::DefWindowProc(window, message, wParam, lParam);
}

std::vector<std::string> SectionNames() {
    std::vector<char> buffer(8192);
    plat::Dword n = plat::GetPrivateProfileString(
        nullptr, nullptr, "", buffer.data(), static_cast<plat::Dword>(buffer.size()), kStepFile);
    std::vector<std::string> names;
    for (std::size_t start = 0; start < n && names.size() < kMaxSections;) {
        std::string name(buffer.data() + start);
        start += name.size() + 1;
        names.push_back(name);
    }
    return names;
}

// Every entry of every list as the script reads it: complete, or an error that says which key.
void ReadEveryEntry(const std::string& section) {
    for (char list : {'5', '4', '3', '0'}) {
        for (int index = 0; index < kMaxEntriesPerList; ++index) {
            ScriptEntry entry;
            try {
                if (!ReadScriptEntry(kStepFile, section.c_str(), list, index, &entry)) break;
            } catch (const util_exception& e) {
                Check(e.Message()[0] != '\0');
                break;
            }
            Check(entry.dstRoot != 0 && !entry.dstKey.empty() && !entry.dstValue.empty() &&
                  !entry.type.empty());
            Check(entry.action >= 1 && entry.action <= 3);
            if (entry.action == 2) {
                Check(entry.srcRoot != 0 && !entry.srcKey.empty() && !entry.srcValue.empty());
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Setup& setup = Prepare();
    fuzzmachine::PutHostFile(setup.registryHost, setup.registry);
    fuzzmachine::PutHostFile(setup.stepFileHost,
                             std::string(reinterpret_cast<const char*>(data), size));
    sim::ui::Reset();
    g_nextControlId = kFirstControlId;

    int objects = sim::ui::LiveGdiObjects();
    cnx::GeneralConfig config;
    // The page area the wizard gives its steps: the section's, or an ordinary one.
    plat::Rect pageRect = {150, 10, 580, 300};
    if (cnx::ReadGeneral(kStepFile, &config)) {
        pageRect = cnx::PageArea(config);
        cnx::ReleaseBitmaps(&config);
    }
    Check(config.nbBitmaps == 0 && sim::ui::LiveGdiObjects() == objects);

    plat::WndClass windowClass;
    windowClass.wndProc = PlainProc;
    windowClass.className = "StepFileFuzz";
    Check(plat::RegisterWindowClass(windowClass));
    plat::Hwnd window = plat::CreateWindow(0, "StepFileFuzz", "", plat::kWsOverlappedWindow, 0, 0,
                                           600, 400, plat::kNoWindow, 0);
    std::vector<std::string> sections = SectionNames();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::string& name = sections[i];
        ReadEveryEntry(name);
        // Each browser version in turn, and one that has no list of its own.
        g_ieVersionCode = static_cast<int>(i % 4);
        try {
            CEtape* step = CreateEtape(window, nullptr, &pageRect, name.c_str());
            Check(StepKindKeyword(name.c_str()) != nullptr);
            delete step;
        } catch (const CEtapeException& e) {
            Check(e.Message()[0] != '\0');
        }
    }
    plat::DestroyWindow(window);

    // What the scripts wrote, the registry can read again.
    sim::RegScript script;
    std::string error;
    Check(sim::ParseRegedit4(fuzzmachine::ReadHostFile(setup.registryHost), "system.reg", &script,
                             &error));
    return 0;
}
