#include "window_state.h"

#include <cwchar>

#include "text_codec.h"
#include "window_find.h"

namespace testdrv {

namespace {

std::wstring Hex(DWORD value) {
    wchar_t buffer[16];
    swprintf(buffer, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return buffer;
}

std::wstring Flag(bool value) { return value ? L"1" : L"0"; }

std::wstring WithoutBlanks(const std::wstring& text) {
    std::wstring compact;
    for (wchar_t c : text) {
        if (c != L' ') compact += c;
    }
    return compact;
}

}  // namespace

bool ReadState(HWND window, WindowState* state) {
    if (!IsWindow(window)) return false;
    *state = WindowState();
    state->className = ClassOf(window);
    state->text = OneLine(TextOf(window));
    state->style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    state->visible = IsWindowVisible(window) != FALSE;
    state->enabled = IsWindowEnabled(window) != FALSE;
    if (state->style & WS_CHILD) state->id = IdOf(window) & 0xFFFF;
    state->active = !(state->style & WS_CHILD) && GetForegroundWindow() == window;

    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) {
        state->focused = thread.hwndFocus == window;
    }
    if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, state->className.c_str(), -1, L"Button",
                       -1) == CSTR_EQUAL) {
        DWORD_PTR check = 0;
        if (SendMessageTimeoutW(window, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                                &check)) {
            state->checked = static_cast<int>(check);
        }
    }
    GetWindowRect(window, &state->screen);
    state->rect = state->screen;
    HWND parent = (state->style & WS_CHILD) ? GetParent(window) : nullptr;
    if (parent != nullptr) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&state->rect), 2);
    }
    return true;
}

std::wstring FormatRect(const RECT& rect) {
    return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," +
           std::to_wstring(rect.right - rect.left) + L"," + std::to_wstring(rect.bottom - rect.top);
}

std::wstring FormatState(const WindowState& state) {
    std::wstring line = L"id=" + std::to_wstring(state.id) + L" class=" + state.className +
                        L" text=\"" + state.text + L"\" visible=" + Flag(state.visible) +
                        L" enabled=" + Flag(state.enabled) + L" focused=" + Flag(state.focused);
    if (!(state.style & WS_CHILD)) line += L" active=" + Flag(state.active);
    if (state.checked >= 0) line += L" checked=" + std::to_wstring(state.checked);
    line += L" style=" + Hex(state.style) + L" rect=" + FormatRect(state.rect) + L" screen=" +
            FormatRect(state.screen);
    return line;
}

bool IsPropertyKey(const std::wstring& key) {
    static const wchar_t* const kKeys[] = {L"text",    L"text~",   L"class",   L"id",
                                           L"visible", L"enabled", L"focused", L"active",
                                           L"checked", L"style&",  L"rect",    L"screen"};
    for (const wchar_t* known : kKeys) {
        if (key == known) return true;
    }
    return false;
}

std::wstring PropertyText(const WindowState& state, const std::wstring& key) {
    if (key == L"text" || key == L"text~") return L"\"" + state.text + L"\"";
    if (key == L"class") return state.className;
    if (key == L"id") return std::to_wstring(state.id);
    if (key == L"visible") return Flag(state.visible);
    if (key == L"enabled") return Flag(state.enabled);
    if (key == L"focused") return Flag(state.focused);
    if (key == L"active") return Flag(state.active);
    if (key == L"checked")
        return state.checked < 0 ? L"(not a button)" : std::to_wstring(state.checked);
    if (key == L"style&") return Hex(state.style);
    if (key == L"rect") return FormatRect(state.rect);
    if (key == L"screen") return FormatRect(state.screen);
    return std::wstring();
}

bool PropertyMatches(const WindowState& state, const std::wstring& key,
                     const std::wstring& expected, bool* known) {
    *known = IsPropertyKey(key);
    if (!*known) return false;
    if (key == L"text") return state.text == expected;
    if (key == L"text~") return state.text.find(expected) != std::wstring::npos;
    if (key == L"class") {
        return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, state.className.c_str(), -1,
                              expected.c_str(), -1) == CSTR_EQUAL;
    }
    if (key == L"rect" || key == L"screen")
        return PropertyText(state, key) == WithoutBlanks(expected);
    long long number = 0;
    if (!ParseInt(expected, &number)) return false;
    if (key == L"id") return state.id == number;
    if (key == L"visible") return state.visible == (number != 0);
    if (key == L"enabled") return state.enabled == (number != 0);
    if (key == L"focused") return state.focused == (number != 0);
    if (key == L"active") return state.active == (number != 0);
    if (key == L"checked") return state.checked == number;
    if (key == L"style&") {
        const DWORD bits = static_cast<DWORD>(number);
        return (state.style & bits) == bits;
    }
    return false;
}

std::vector<std::wstring> DumpWindows(DWORD pid) {
    std::vector<std::wstring> lines;
    for (HWND top : TopLevelWindows(pid, false)) {
        // Hidden top-level windows without a caption, and the input method window Wine gives
        // every thread, are helpers nobody sees; GetWindowText reads a caption without asking
        // the (maybe busy) program.
        wchar_t caption[2] = {0};
        if (!IsWindowVisible(top) &&
            (GetWindowTextW(top, caption, 2) == 0 || ClassOf(top) == L"IME")) {
            continue;
        }
        WindowState state;
        if (!ReadState(top, &state)) continue;
        lines.push_back(L"window " + FormatState(state));
        for (HWND child : Descendants(top)) {
            int depth = 0;
            for (HWND up = GetParent(child); up != nullptr && up != top; up = GetParent(up)) {
                ++depth;
            }
            if (!ReadState(child, &state)) continue;
            lines.push_back(std::wstring(2 + 2 * static_cast<size_t>(depth), L' ') +
                            FormatState(state));
        }
    }
    return lines;
}

}  // namespace testdrv
