#include "tools/isignup/signup_window.h"

#include "common/quit_on_destroy.h"
#include "platform/draw.h"
#include "platform/system.h"

namespace isignup {
namespace {

constexpr int kWindowWidth = 360;
constexpr int kWindowHeight = 120;

}  // namespace

plat::Hwnd OpenSignupWindow(const std::string& entryName) {
    plat::WndClass windowClass;
    windowClass.wndProc = kit::QuitOnDestroyProc;
    windowClass.icon = plat::LoadSystemIcon(plat::kIdiApplication);
    windowClass.cursor = plat::LoadSystemCursor(plat::kIdcArrow);
    windowClass.background = plat::kColorBtnFace + 1;
    windowClass.className = kWindowClass;
    // Registering twice fails; the class of the first time serves.
    plat::RegisterWindowClass(windowClass);

    int x = (plat::ScreenWidth() - kWindowWidth) / 2;
    int y = (plat::ScreenHeight() - kWindowHeight) / 2;
    plat::Hwnd window = plat::CreateWindow(
        0, kWindowClass, kWindowTitle, plat::kWsOverlapped | plat::kWsCaption, x > 0 ? x : 0,
        y > 0 ? y : 0, kWindowWidth, kWindowHeight, plat::kNoWindow, 0);
    if (window == plat::kNoWindow) return window;
    const plat::Dword label = plat::kWsChild | plat::kWsVisible | plat::kSsLeft;
    plat::Hwnd working = plat::CreateWindow(0, "Static", "Création de votre accès ...", label, 16,
                                            16, 320, 20, window, kWorkingTextId);
    std::string connection = "Connexion : " + entryName;
    plat::Hwnd name = plat::CreateWindow(0, "Static", connection.c_str(), label, 16, 44, 320, 20,
                                         window, kConnectionTextId);
    // A bare static draws with the large bold system font; the dialog font reads better.
    plat::WParam font = static_cast<plat::WParam>(plat::GetStockObject(plat::kDefaultGuiFont));
    for (plat::Hwnd control : {working, name}) {
        if (control != plat::kNoWindow) plat::SendMessage(control, plat::kWmSetFont, font, 0);
    }
    plat::ShowWindow(window, plat::kSwShowNormal);
    plat::UpdateWindow(window);
    return window;
}

}  // namespace isignup
