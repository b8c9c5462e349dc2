// What a test can observe of a window or control: its text, class, id, geometry and state.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testdrv {

struct WindowState {
    std::wstring className;
    std::wstring text;  // one-line form
    int id = 0;
    bool visible = false;  // the window and all its parents are shown
    bool enabled = false;
    bool focused = false;  // holds the keyboard focus of its thread
    bool active = false;   // top-level window that is the foreground window
    int checked = -1;      // BM_GETCHECK for buttons, -1 for other classes
    DWORD style = 0;
    RECT rect = {0, 0, 0, 0};    // in the client coordinates of the parent (screen for top level)
    RECT screen = {0, 0, 0, 0};  // on the screen
};

bool ReadState(HWND window, WindowState* state);

// "x,y,w,h", the form used by the rect= and screen= properties.
std::wstring FormatRect(const RECT& rect);

// One line with every property: id=1001 class=Edit text="..." visible=1 ...
std::wstring FormatState(const WindowState& state);

// Checks one property against an expected value, as written after "key=" in a script. The
// keys: text, text~ (part of the text), class, id, visible, enabled, focused, active, checked,
// style& (all these bits set), rect, screen. *known is false for any other key.
bool PropertyMatches(const WindowState& state, const std::wstring& key,
                     const std::wstring& expected, bool* known);
// The actual value of a property, as shown in a failure message.
std::wstring PropertyText(const WindowState& state, const std::wstring& key);

bool IsPropertyKey(const std::wstring& key);

// The windows of `pid` (0: every process) as an indented list, one window per line.
std::vector<std::wstring> DumpWindows(DWORD pid);

}  // namespace testdrv
