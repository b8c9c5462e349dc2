// Waiting a while in a program that shows a window, its messages handled meanwhile.
#pragma once

#include "platform/types.h"

namespace kit {

// Handles the waiting messages every 50 ms until `milliseconds` have passed, or at once when
// the quit message comes. No window timer: on the simulated machine timers only fire when a
// test moves its virtual clock, and plat::Sleep moves that clock without waiting, so a program
// started as a process of its own would either hang or end at once. The standard library's
// sleep waits for real on both back ends (on Windows through Sleep, which Windows 95 has).
void WaitHandlingMessages(plat::Dword milliseconds);

}  // namespace kit
