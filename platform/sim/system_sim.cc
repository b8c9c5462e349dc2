// Facts about the simulated system: version and screen from the machine's settings; the
// restart prompt is recorded for the tests (ui_driver.h); sleeping moves the virtual clock of
// the window system instead of waiting.
#include "platform/sim/machine.h"
#include "platform/sim/window_system.h"
#include "platform/system.h"

namespace plat {

bool HasGetVersionEx() { return sim::Machine::Current().Settings().hasGetVersionEx; }

bool GetVersionEx(OsVersion* out) {
    if (out == nullptr) return false;
    const sim::MachineSettings& s = sim::Machine::Current().Settings();
    out->major = s.major;
    out->minor = s.minor;
    out->build = s.build;
    out->platformId = s.platformId;
    out->servicePack = s.servicePack.substr(0, 127);
    return true;
}

Dword GetVersion() {
    const sim::MachineSettings& s = sim::Machine::Current().Settings();
    Dword low = (s.major & 0xFF) | ((s.minor & 0xFF) << 8);
    // Windows NT puts its build number in the high word; Windows 9x sets the top bits instead.
    if (s.platformId == 2) return low | ((s.build & 0x7FFF) << 16);
    return low | 0xC0000000u;
}

int ScreenWidth() { return sim::Machine::Current().Settings().screenWidth; }
int ScreenHeight() { return sim::Machine::Current().Settings().screenHeight; }
int ScreenDpiX() { return sim::Machine::Current().Settings().dpiX; }
int ScreenDpiY() { return sim::Machine::Current().Settings().dpiY; }

bool PromptReboot(std::uintptr_t ownerWindow) {
    // A modal prompt: its loop ends at once, unanswered, when the quit message already waits.
    if (sim::Ui().quitPending) return false;
    sim::Ui().rebootPrompts.push_back(ownerWindow);
    return true;
}

void Sleep(Dword milliseconds) { sim::Ui().clock += milliseconds; }

}  // namespace plat
