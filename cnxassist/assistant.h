// The wizard window: one dialog with three buttons and its decoration bitmaps, the root of the
// step tree, and the routing of the window's messages to the current step.
#pragma once

#include <string>

#include "cnxassist/etape.h"
#include "cnxassist/general_config.h"
#include "cnxassist/resource_ids.h"
#include "platform/draw.h"
#include "platform/window.h"

// Posted by a step that has made another step current.
constexpr plat::Uint MSG_STEP_CHANGED = plat::kWmUser + 1;
// Every end of the run posts this quit code.
constexpr int kQuitCode = 1;
// The wait timer set by the steps that start the sign-up program.
constexpr plat::Uint kWaitTimerId = 1;
constexpr plat::Uint kWaitTimerMilliseconds = 500;

class CAssistant {
  public:
    CAssistant();
    virtual ~CAssistant();
    CAssistant(const CAssistant&) = delete;
    CAssistant& operator=(const CAssistant&) = delete;

    virtual int OnInitDialog();
    void OnPaint();
    void OnNext();
    void OnPrevious();
    void OnQuit();
    void OnStepChanged();
    void OnTimer(plat::Uint id);

    void ShowError(const char* text);
    void FatalError(const char* text);
    void FatalErrorString(int id);

    bool Created() const { return m_hwnd != 0; }
    // Set by a fatal error before its box: from then on nothing moves the run on.
    bool Ending() const { return m_ending; }

    plat::Hwnd m_hwnd = 0;
    CEtape* m_current = nullptr;
    CEtape* m_left = nullptr;
    CEtape* m_first = nullptr;
    plat::Rect m_pageRect;

  private:
    // Shows a step error: fatal ones end the run, warnings let it go on.
    void Report(const CEtapeException& e);
    // The quit of a last step: no question; the restart prompt after a kind-0 step.
    void EndOnLastStep(int endKind);
    // OnLeave then GoNext of the current step, errors reported; GoNext's result, or
    // kStepRaised when it raised (the error has been shown already).
    static constexpr int kStepRaised = -1;
    int Advance(int fromTimer);
    void PlaceWindowAndButtons();
    // After a step change: the keyboard focus on a shown, enabled control of the window, a
    // wizard button when the page gave it none.
    void KeepAFocus();

    cnx::GeneralConfig m_config;
    // A fatal error's box runs its own message loop, which still hands out what was posted
    // before it (a step change, a Next click, the wait's tick): every handler that would
    // move the run on looks at this first, so that no later step writes or starts anything.
    bool m_ending = false;
};

extern CAssistant* g_assistant;

// The dialog procedure of the wizard window.
std::intptr_t AssistantDlgProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                               plat::LParam lParam);

// A string resource of the wizard.
std::string LoadWizardString(int id);

// The working sign-up file "modele_0.ins" in the working directory, and the longest path the
// steps that write it can hold.
std::string SignupFilePath();
constexpr std::size_t kSignupPathLongest = 127;

// Deletes the working sign-up file "modele_0.ins" (it holds the subscriber's password in
// clear), clearing its read-only attribute first.
void DeleteSignupFile();
