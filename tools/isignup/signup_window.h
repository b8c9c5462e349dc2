// The small window the sign-up stand-in shows while it runs, and its wait.
#pragma once

#include <string>

#include "platform/types.h"
#include "platform/window.h"

namespace isignup {

constexpr const char* kWindowClass = "CIsignupStandIn";
constexpr const char* kWindowTitle = "Inscription Telvora";
constexpr int kWorkingTextId = 101;
constexpr int kConnectionTextId = 102;

// Registers the class when needed, then makes, shows and paints the window, centred on the
// screen, with its two lines of text. 0 when it cannot be made.
plat::Hwnd OpenSignupWindow(const std::string& entryName);

}  // namespace isignup
