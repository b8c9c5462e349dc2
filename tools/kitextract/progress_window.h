// The window the extraction program shows while it copies: a line of text and a progress bar
// drawn by the program itself.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"
#include "platform/window.h"

namespace kitextract {

constexpr const char* kWindowClass = "CKitExtract";
constexpr const char* kBarClass = "CKitExtractBar";
constexpr const char* kWindowTitle = "Installation du kit Telvora";
constexpr int kStatusTextId = 101;
constexpr int kBarId = 102;

// Registers the classes when needed, then makes, shows and paints the window, centred on the
// screen. 0 when it cannot be made.
plat::Hwnd OpenProgressWindow();

// Changes the line of text (when the window exists) and the bar's filling.
void ShowStatus(plat::Hwnd window, const std::string& text);
void ShowProgress(plat::Hwnd window, std::uint64_t done, std::uint64_t total);
// The bar's filling in thousandths, for tests.
int ProgressThousandths();

}  // namespace kitextract
