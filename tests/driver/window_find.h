// Finding the windows of the program under test and the controls inside them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testdrv {

// How long the driver waits for a busy program to answer one message before giving up.
constexpr DWORD kAnswerTimeoutMs = 5000;

std::wstring ClassOf(HWND window);
// The text as the window's own procedure reports it (WM_GETTEXT): an edit control keeps its
// text to itself, so GetWindowText from another process would not see what was typed.
std::wstring TextOf(HWND window);
int IdOf(HWND window);
DWORD ProcessOf(HWND window);

// Top-level windows in Z order (topmost first); pid 0 takes every process.
std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly);
// Every window below `root`, parents before their children.
std::vector<HWND> Descendants(HWND root);

// What a top-level window must look like to be waited for; empty fields match anything.
struct WindowPattern {
    std::wstring className;
    std::wstring title;      // whole caption, in one-line form
    std::wstring titlePart;  // part of the caption
    bool Matches(HWND window) const;
    std::wstring Describe() const;
};

// The first visible top-level window of `pid` (0: any process) that matches.
HWND FindTopLevel(DWORD pid, const WindowPattern& pattern);

// Names a control inside the current window:
//   .          the current window itself
//   1001       the control with that id (0x3E9 works too)
//   @Suivant > the control whose label is that text, mnemonic marks left out
//   Edit:2     the second control of class Edit, in creation order
struct Selector {
    enum class Kind { Self, Id, Label, ClassIndex };
    Kind kind = Kind::Self;
    int id = 0;
    std::wstring text;
    int index = 0;
    std::wstring Describe() const;
};

bool ParseSelector(const std::wstring& word, Selector* selector, std::wstring* error);

// The control that `selector` names below `window`; when several share an id or label, a
// visible one wins. nullptr when there is none.
HWND FindControl(HWND window, const Selector& selector);

// The message box shown by `pid` (0: any process): a visible dialog holding only static texts
// and buttons, at least one of them an answer button (IDOK to IDCONTINUE).
HWND FindMessageBox(DWORD pid, const WindowPattern& pattern);

}  // namespace testdrv
