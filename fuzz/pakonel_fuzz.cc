// Arbitrary bytes as the kit wizard's Pakonel.ini, driven on the simulated machine's headless
// windows as a user would: start-up, the first page laid out and painted, then two button
// presses (which run the page's Exe, Proc and Section keys, and refresh the next page). The last
// byte chooses the buttons. No crash, no hang; the texts the wizard keeps fit their buffers; and
// once the wizard is gone no drawing object is left behind.
//
// The programs a button names are looked for on the machine, which holds none, and never on the
// host: drive Z: (the host's root on the simulated machine) is taken out of the input.
#include <ftw.h>
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_machine.h"
#include "kitassist/kit_app.h"
#include "kitassist/kit_dialog.h"
#include "kitassist/resource_ids.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"

void TelvoraRegisterResources_kitassist();

namespace {

constexpr const char* kKit = "C:\\KIT";
constexpr const char* kIni = "C:\\KIT\\Pakonel.ini";

// The buttons in the order the last byte picks them.
const int kButtons[] = {plat::kIdOk, plat::kIdCancel, ID_SUIVANT, ID_PRECEDENT, ID_INFO1, ID_INFO2};

void Check(bool condition) {
    if (!condition) std::abort();
}

void SetText(plat::RegKey root, const char* key, const char* name, const char* text) {
    plat::RegKey opened = 0;
    Check(plat::RegCreateKey(root, key, &opened) == plat::kErrorSuccess);
    Check(plat::RegSetValue(opened, name, plat::kRegSz, reinterpret_cast<const std::uint8_t*>(text),
                            static_cast<plat::Dword>(std::string(text).size() + 1)) ==
          plat::kErrorSuccess);
    plat::RegCloseKey(opened);
}

void RemoveTree(const std::string& path) {
    nftw(
        path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); },
        16, FTW_DEPTH | FTW_PHYS);
}

// A fresh drive C: for every input (the previous one may have copied files, made shortcuts or
// changed the current directory), with the kit folder and its picture, and the registry values
// start-up reads: Internet Explorer 5 (first page "IE45") and the Program Files folder.
void FreshMachine() {
    static bool registered = (TelvoraRegisterResources_kitassist(), true);
    (void)registered;
    sim::Machine& machine = fuzzmachine::Machine("pakonel-fuzz");
    RemoveTree(machine.Folder());
    sim::Machine::Use(fuzzmachine::FolderName());
    sim::Machine::Current().SetModulePath("C:\\KIT\\kitassist.exe");
    Check(plat::CreateDirectory(kKit) && plat::SetCurrentDirectory(kKit));
    Check(plat::WriteWholeFile("C:\\KIT\\bandeau_kit.bmp",
                               std::string(reinterpret_cast<const char*>(fuzzmachine::kSmallBitmap),
                                           sizeof fuzzmachine::kSmallBitmap)));
    SetText(plat::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
            "ProgramFilesDir", "C:\\Program Files");
    SetText(plat::kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version",
            "5.00.2614.3500");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string ini(reinterpret_cast<const char*>(data), size);
    for (std::size_t i = 1; i < ini.size(); ++i) {
        if (ini[i] == ':' && (ini[i - 1] == 'Z' || ini[i - 1] == 'z')) ini[i - 1] = 'Y';
    }
    const unsigned choice = size > 0 ? data[size - 1] : 0;

    FreshMachine();
    fuzzmachine::PutHostFile(fuzzmachine::HostPath(kIni), ini);
    sim::ui::Reset();
    const int objects = sim::ui::LiveGdiObjects();
    {
        CKitApp app;
        CKitDialog dialog(app);
        app.Start();
        sim::ui::ScriptFolderChoice("C:\\Program Files\\Choisi");
        for (int press = 0; press < 2; ++press) {
            const int id = kButtons[(press == 0 ? choice : choice / 6) % 6];
            sim::ui::ScriptUserAction([&dialog, id, choice, press] {
                if (press == 0 && (choice & 0x80) != 0) {
                    sim::ui::TypeText(plat::GetDlgItem(dialog.m_hwnd, ID_SAISIE), "C:\\Saisi");
                }
                sim::ui::Click(dialog.m_hwnd, id);
                Check(dialog.Saisie().size() <= kSaisieMaxChars);
                Check(dialog.m_section.str().size() < dialog.m_section.capacity());
                dialog.RefreshPage();
            });
        }
        dialog.DoModal();
        Check(app.m_command.str().size() < app.m_command.capacity());
    }
    Check(sim::ui::LiveGdiObjects() == objects);
    sim::ui::Reset();
    return 0;
}
