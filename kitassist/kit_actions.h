// What the wizard's buttons set going: the programs their keys start, each start checked and a
// failure told, and the four internal actions. The dialog calls these; they call back nothing of
// the dialog, only the window functions on its handle (the entry field, the boxes' owner).
#pragma once

#include <string>

#include "platform/window.h"

// The caption of the wizard's boxes.
constexpr const char* kKitBoxCaption = "Assistant d'installation du Kit Telvora";

// Starts `commandLine` (WinExec); when it does not start, a stop box owned by `owner` names it.
// True when it started.
bool StartProgramOrSay(plat::Hwnd owner, const std::string& commandLine);
// The stop box for a command line too long to be started whole (`cut`: what fits of it).
void SayCommandTooLong(plat::Hwnd owner, const std::string& cut);
