// Pixels of the simulated screen: a window's client area, or the whole window with its frame
// and caption, drawn as our Wine prefix draws them (Windows 98 colour scheme, classic look):
// the window's draw log replayed, then its visible child controls.
#pragma once

#include "platform/sim/image.h"
#include "platform/window.h"

namespace sim {

Image RenderClientArea(plat::Hwnd window);
Image RenderWholeWindow(plat::Hwnd window);

}  // namespace sim
