#include "plugmaj/log_window.h"

#include "common/quit_on_destroy.h"
#include "platform/draw.h"

namespace plug {

const char* const kLogWindowClass = "CFenetre";
const char* const kLogWindowTitle = "Fenêtre provisoire qu'on ne devrait pas voir !";

bool RegisterLogWindowClass() {
    plat::WndClass windowClass;
    windowClass.style = 0;
    windowClass.wndProc = kit::QuitOnDestroyProc;
    windowClass.icon = plat::LoadSystemIcon(plat::kIdiApplication);
    windowClass.smallIcon = 0;
    windowClass.cursor = plat::LoadSystemCursor(plat::kIdcArrow);
    windowClass.background = plat::GetStockObject(plat::kWhiteBrush);
    windowClass.className = kLogWindowClass;
    return plat::RegisterWindowClass(windowClass);
}

plat::Hwnd CreateLogWindow() {
    return plat::CreateWindow(0, kLogWindowClass, kLogWindowTitle, plat::kWsOverlappedWindow, 0, 0,
                              1000, 400, plat::kNoWindow, 0);
}

void RunLogWindowLoop() {
    plat::Msg msg;
    while (plat::GetMessage(&msg) > 0) {
        plat::TranslateMessage(&msg);
        plat::DispatchMessage(&msg);
    }
}

}  // namespace plug
