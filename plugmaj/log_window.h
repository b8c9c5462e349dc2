// The installer's only window: every action is drawn into it as one line of text. It stays
// hidden in the silent mode.
#pragma once

#include "platform/window.h"

namespace plug {

extern const char* const kLogWindowClass;  // "CFenetre"
extern const char* const kLogWindowTitle;

// Registers the window class; false when the system refuses it (the class exists already).
bool RegisterLogWindowClass();
// The window at (0, 0), 1000 x 400 pixels, not shown yet; 0 when it cannot be made.
plat::Hwnd CreateLogWindow();
// Runs the message loop until the window is closed.
void RunLogWindowLoop();

}  // namespace plug
