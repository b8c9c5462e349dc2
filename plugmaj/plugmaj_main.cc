#include "plugmaj/plugmaj_main.h"

#include <cstring>

#include "platform/window.h"
#include "plugmaj/log_window.h"
#include "plugmaj/plugin_setup.h"

namespace plug {

PluginMode ModeFromArgument(const char* argument) {
    PluginMode mode;
    if (argument == nullptr) return mode;
    if (std::strcmp(argument, "h") == 0 || std::strcmp(argument, "H") == 0) {
        mode.shown = true;
    } else if (std::strcmp(argument, "d") == 0 || std::strcmp(argument, "D") == 0) {
        mode.shown = true;
        mode.remove = true;
    }
    return mode;
}

int RunPlugmaj(const char* argument) {
    if (!RegisterLogWindowClass()) return 0;
    plat::Hwnd window = CreateLogWindow();
    PluginMode mode = ModeFromArgument(argument);
    if (window != plat::kNoWindow) {
        plat::ShowWindow(window, mode.shown ? plat::kSwShowNormal : plat::kSwHide);
        plat::UpdateWindow(window);
    }
    // The log goes to the window made just now, never to another instance's window of the
    // same class and title.
    PluginSetup setup;
    if (mode.remove) {
        setup.Remove(window);
    } else if (!setup.Install(window) && !mode.shown) {
        // The exit code is always 0 and the log hidden: without a box, a subscriber whose
        // plug-in was only half installed would never learn it.
        plat::MessageBox(0, kInstallProblemText, kInstallProblemCaption,
                         plat::kMbOk | plat::kMbIconExclamation);
    }
    if (mode.shown && window != plat::kNoWindow) RunLogWindowLoop();
    return 0;
}

}  // namespace plug
