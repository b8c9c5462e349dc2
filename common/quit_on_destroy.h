// The window procedure of a program's only window that handles nothing itself: destroying the
// window ends the program's message loop, everything else goes to the default procedure.
#pragma once

#include "platform/window.h"

namespace kit {

inline plat::LResult QuitOnDestroyProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                                       plat::LParam lParam) {
    if (message == plat::kWmDestroy) {
        plat::PostQuitMessage(0);
        return 0;
    }
    return plat::DefWindowProc(window, message, wParam, lParam);
}

}  // namespace kit
