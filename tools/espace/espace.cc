// espace.exe: the subscriber's space of the demonstration kit. A small window that greets the
// subscriber and shows what the connection wizard left on the machine: the default dial-up
// connection and the mail address of the default mail account. "Fermer" (or the close box)
// ends it.
#include <cstdint>
#include <string>

#include "common/quit_on_destroy.h"
#include "platform/app_main.h"
#include "platform/draw.h"
#include "platform/registry.h"
#include "platform/window.h"

namespace {

constexpr int kCloseId = 1;
constexpr int kFirstLineId = 101;

// A registry text, or `missing` when it cannot be read.
std::string RegistryText(plat::RegKey root, const char* path, const char* name,
                         const std::string& missing) {
    plat::RegKey key = 0;
    if (plat::RegOpenKey(root, path, plat::kKeyRead, &key) != plat::kErrorSuccess) return missing;
    char buffer[256] = {};
    plat::Dword size = sizeof buffer - 1;
    bool read = plat::RegQueryValue(key, name, nullptr, reinterpret_cast<std::uint8_t*>(buffer),
                                    &size) == plat::kErrorSuccess;
    plat::RegCloseKey(key);
    buffer[sizeof buffer - 1] = '\0';
    return read && buffer[0] != '\0' ? std::string(buffer) : missing;
}

std::string MailAddress() {
    const char* manager = "Software\\Microsoft\\Internet Account Manager";
    std::string account = RegistryText(plat::kHkeyCurrentUser, manager, "Default Mail Account", "");
    if (account.empty()) return "aucune";
    std::string path = std::string(manager) + "\\Accounts\\" + account;
    return RegistryText(plat::kHkeyCurrentUser, path.c_str(), "SMTP Email Address", "aucune");
}

plat::LResult SpaceProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                        plat::LParam lParam) {
    if (message == plat::kWmCommand && (wParam & 0xFFFF) == kCloseId && (wParam >> 16) == 0) {
        plat::DestroyWindow(window);
        return 0;
    }
    return kit::QuitOnDestroyProc(window, message, wParam, lParam);
}

}  // namespace

int AppMain(const char*) {
    plat::WndClass windowClass;
    windowClass.wndProc = SpaceProc;
    windowClass.icon = plat::LoadSystemIcon(plat::kIdiApplication);
    windowClass.cursor = plat::LoadSystemCursor(plat::kIdcArrow);
    windowClass.background = plat::kColorBtnFace + 1;
    windowClass.className = "CEspaceTelvora";
    if (!plat::RegisterWindowClass(windowClass)) return 1;

    plat::Hwnd window =
        plat::CreateWindow(0, "CEspaceTelvora", "Mon espace Telvora",
                           plat::kWsOverlappedWindow & ~plat::kWsThickFrame & ~plat::kWsMaximizeBox,
                           120, 120, 420, 210, plat::kNoWindow, 0);
    if (window == plat::kNoWindow) return 1;
    const std::string lines[] = {
        "Bienvenue dans votre espace abonné Telvora.",
        "Connexion par défaut : " +
            RegistryText(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile", "aucune"),
        "Adresse électronique : " + MailAddress(),
    };
    const plat::Dword label = plat::kWsChild | plat::kWsVisible | plat::kSsLeft;
    int y = 16;
    for (int i = 0; i < 3; ++i, y += 28) {
        plat::CreateWindow(0, "Static", lines[i].c_str(), label, 16, y, 380, 20, window,
                           kFirstLineId + i);
    }
    plat::Hwnd close = plat::CreateWindow(
        0, "Button", "Fermer",
        plat::kWsChild | plat::kWsVisible | plat::kWsTabStop | plat::kBsDefPushButton, 296, 112, 90,
        26, window, kCloseId);
    plat::ShowWindow(window, plat::kSwShowNormal);
    plat::UpdateWindow(window);
    plat::SetFocus(close);

    plat::Msg msg;
    while (plat::GetMessage(&msg) > 0) {
        if (plat::IsDialogMessage(window, &msg)) continue;
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
    }
    return 0;
}
