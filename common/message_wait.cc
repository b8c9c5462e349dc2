#include "common/message_wait.h"

#include <chrono>
#include <thread>

#include "platform/window.h"

namespace kit {

void WaitHandlingMessages(plat::Dword milliseconds) {
    constexpr plat::Dword kPumpMilliseconds = 50;
    plat::Dword elapsed = 0;
    while (true) {
        plat::Msg msg;
        while (plat::PeekMessage(&msg, 0, plat::kPmRemove)) {
            if (msg.message == plat::kWmQuit) return;
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
        if (elapsed >= milliseconds) return;
        plat::Dword step = milliseconds - elapsed;
        if (step > kPumpMilliseconds) step = kPumpMilliseconds;
        std::this_thread::sleep_for(std::chrono::milliseconds(step));
        elapsed += step;
    }
}

}  // namespace kit
