// Acting on the program under test the way a user does. Every action is posted to the
// program's message queue, as real input is: the program's own message loop (and so the
// dialog manager's IsDialogMessage) sees it, a handler that opens a modal message box does not
// block the driver, and actions keep their order.
#pragma once

#include <windows.h>

#include <string>

namespace testdrv {

// Waits until the thread owning `window` has dispatched everything posted to it so far, and
// the messages its handlers posted in turn (a few rounds): it posts a marker after them and
// waits for testdrv_hook.dll to see the program's message loop take it (settle_marker.h).
// Also returns true when the window or its program is gone, false only when the thread stays
// busy for `timeoutMs`. Without the hook DLL it falls back to timing (SettlesByTiming).
bool Settle(HWND window, DWORD timeoutMs);
bool SettlesByTiming();

// A mouse click on a button: BM_CLICK makes the button procedure press and release itself, so
// a radio button or check box changes its state as under the mouse (a bare WM_COMMAND would
// not) and the parent gets BN_CLICKED.
void PostClick(HWND button);

// Puts the keyboard focus in an edit control the way a click in it does, selects its whole text
// unless `append`, and types `text` as WM_CHAR messages: the control inserts each character
// and notifies its parent (EN_UPDATE, EN_CHANGE) as for real typing.
void PostTyping(HWND edit, const std::wstring& text, bool append);

// The virtual key of a named key: enter, escape, tab, space, backspace, delete, up, down, left,
// right, home, end, pageup, pagedown, f1 to f12; 0 for any other name.
UINT NamedKeyCode(const std::wstring& name);
// Key names: those of NamedKeyCode, and alt+<letter or digit> for a mnemonic.
bool KnownKey(const std::wstring& name);
// Posts the key to the window holding the focus in the thread of `window` (or to `window` when
// nothing has the focus): WM_KEYDOWN and WM_KEYUP, or WM_SYSCHAR for alt+<letter>.
void PostKey(HWND window, const std::wstring& name);

// The window that holds the keyboard focus in the thread of `window`, or nullptr.
HWND FocusOf(HWND window);

}  // namespace testdrv
