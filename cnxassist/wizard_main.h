// The run of the connection wizard, from its command line to its exit code.
#pragma once

#include "platform/window.h"

namespace cnx {

// What start-up decided.
struct WizardStart {
    bool ended = false;  // nothing more to run: `exitCode` is the program's result
    int exitCode = 0;
    plat::Hwnd window = 0;
};

// Chooses the step file (or shows the version box), creates the wizard window, sets
// g_assistant, runs its start-up and shows it. The caller then runs the message loop.
WizardStart StartWizard(const char* commandLine);
// GetMessage / IsDialogMessage / TranslateMessage / DispatchMessage until the quit message;
// returns its code.
int RunMessageLoop(plat::Hwnd window);
// The end of every run: the working sign-up file is removed, the step tree and the window are
// released.
void EndWizard();

// All of it, as the program runs it.
int RunWizard(const char* commandLine);

}  // namespace cnx
