// Windows, dialogs and messages through the real Win32 calls. The program's window and dialog
// procedures use portable types and the default calling convention, so every window reaches
// them through one of two stdcall thunks: windows of a registered class find their procedure
// by class name (cached in the window's extra bytes), dialogs keep theirs in DWLP_USER.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/bounded_text.h"
#include "platform/win32/late_shell_win.h"
#include "platform/win32/win32_headers.h"
#include "platform/window.h"

namespace plat {
namespace {

HWND H(Hwnd window) { return reinterpret_cast<HWND>(window); }
Hwnd P(HWND window) { return reinterpret_cast<Hwnd>(window); }
HINSTANCE Instance() { return ::GetModuleHandleA(nullptr); }

std::string UpperName(const char* name) {
    std::string upper = name;
    if (!upper.empty()) ::CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

// The window procedure of each class registered, by upper-case class name. A program
// registers two or three classes: a list, without the weight of a tree.
std::vector<std::pair<std::string, WndProc>>& ClassProcedures() {
    static std::vector<std::pair<std::string, WndProc>> procedures;
    return procedures;
}

WndProc* ClassProcedure(const std::string& upperName) {
    for (auto& entry : ClassProcedures()) {
        if (entry.first == upperName) return &entry.second;
    }
    return nullptr;
}

LRESULT CALLBACK WindowThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<WndProc>(::GetWindowLongPtrA(window, 0));
    if (proc == nullptr) {
        char name[256];
        if (::GetClassNameA(window, name, sizeof name) > 0) {
            if (WndProc* found = ClassProcedure(UpperName(name))) proc = *found;
        }
        if (proc == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
        ::SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(proc));
    }
    return proc(P(window), message, wParam, lParam);
}

// What CreateDialogParamA carries to the thunk until WM_INITDIALOG.
struct DialogStart {
    DlgProc proc;
    LParam initParam;
};

INT_PTR CALLBACK DialogThunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto proc = reinterpret_cast<DlgProc>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (proc == nullptr) {
        // Messages before WM_INITDIALOG (WM_SETFONT) get the default handling.
        if (message != WM_INITDIALOG || lParam == 0) return FALSE;
        const auto* start = reinterpret_cast<const DialogStart*>(lParam);
        proc = start->proc;
        lParam = start->initParam;
        ::SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(proc));
    }
    return proc(P(dialog), message, wParam, lParam);
}

void ToWin(const Msg& in, MSG* out) {
    out->hwnd = H(in.hwnd);
    out->message = in.message;
    out->wParam = in.wParam;
    out->lParam = in.lParam;
    out->time = in.time;
    out->pt.x = in.pt.x;
    out->pt.y = in.pt.y;
}

void FromWin(const MSG& in, Msg* out) {
    out->hwnd = P(in.hwnd);
    out->message = in.message;
    out->wParam = in.wParam;
    out->lParam = in.lParam;
    out->time = in.time;
    out->pt.x = in.pt.x;
    out->pt.y = in.pt.y;
}

void FromWin(const RECT& in, Rect* out) {
    out->left = in.left;
    out->top = in.top;
    out->right = in.right;
    out->bottom = in.bottom;
}

}  // namespace

int LoadString(Uint id, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    return ::LoadStringA(Instance(), id, buffer, size);
}

bool RegisterWindowClass(const WndClass& windowClass) {
    if (windowClass.className == nullptr || windowClass.wndProc == nullptr) return false;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = windowClass.style;
    wc.lpfnWndProc = WindowThunk;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = Instance();
    wc.hIcon = reinterpret_cast<HICON>(windowClass.icon);
    wc.hIconSm = reinterpret_cast<HICON>(windowClass.smallIcon);
    wc.hCursor = reinterpret_cast<HCURSOR>(windowClass.cursor);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(windowClass.background);
    wc.lpszClassName = windowClass.className;
    if (::RegisterClassExA(&wc) == 0) return false;
    std::string upperName = UpperName(windowClass.className);
    if (WndProc* known = ClassProcedure(upperName)) {
        *known = windowClass.wndProc;
    } else {
        ClassProcedures().emplace_back(upperName, windowClass.wndProc);
    }
    return true;
}

Hwnd CreateWindow(Dword exStyle, const char* className, const char* title, Dword style, int x,
                  int y, int width, int height, Hwnd parent, int id) {
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    return P(::CreateWindowExA(exStyle, className, title, style, x, y, width, height, H(parent),
                               menu, Instance(), nullptr));
}

bool DestroyWindow(Hwnd window) { return ::DestroyWindow(H(window)) != 0; }
bool IsWindow(Hwnd window) { return ::IsWindow(H(window)) != 0; }

LResult DefWindowProc(Hwnd window, Uint message, WParam wParam, LParam lParam) {
    return ::DefWindowProcA(H(window), message, wParam, lParam);
}

Hwnd CreateDialogFromResource(int templateId, Hwnd parent, DlgProc proc, LParam initParam) {
    DialogStart start{proc, initParam};
    return P(::CreateDialogParamA(Instance(), MAKEINTRESOURCEA(templateId), H(parent), DialogThunk,
                                  reinterpret_cast<LPARAM>(&start)));
}

std::intptr_t DialogBoxFromResource(int templateId, Hwnd parent, DlgProc proc, LParam initParam) {
    DialogStart start{proc, initParam};
    return ::DialogBoxParamA(Instance(), MAKEINTRESOURCEA(templateId), H(parent), DialogThunk,
                             reinterpret_cast<LPARAM>(&start));
}

bool EndDialog(Hwnd dialog, std::intptr_t result) { return ::EndDialog(H(dialog), result) != 0; }
Hwnd GetDlgItem(Hwnd dialog, int id) { return P(::GetDlgItem(H(dialog), id)); }
int GetDlgCtrlID(Hwnd control) { return ::GetDlgCtrlID(H(control)); }
Hwnd GetParent(Hwnd window) { return P(::GetParent(H(window))); }
Hwnd FindWindow(const char* className, const char* title) {
    return P(::FindWindowA(className, title));
}

bool SetWindowText(Hwnd window, const char* text) { return ::SetWindowTextA(H(window), text) != 0; }
int GetWindowText(Hwnd window, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    return ::GetWindowTextA(H(window), buffer, size);
}
int GetWindowTextLength(Hwnd window) { return ::GetWindowTextLengthA(H(window)); }
bool SetDlgItemText(Hwnd dialog, int id, const char* text) {
    return ::SetDlgItemTextA(H(dialog), id, text) != 0;
}
Uint GetDlgItemText(Hwnd dialog, int id, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    return ::GetDlgItemTextA(H(dialog), id, buffer, size);
}
bool CheckDlgButton(Hwnd dialog, int id, Uint check) {
    return ::CheckDlgButton(H(dialog), id, check) != 0;
}
Uint IsDlgButtonChecked(Hwnd dialog, int id) { return ::IsDlgButtonChecked(H(dialog), id); }

bool GetWindowRect(Hwnd window, Rect* rect) {
    RECT r;
    if (rect == nullptr || !::GetWindowRect(H(window), &r)) return false;
    FromWin(r, rect);
    return true;
}

bool GetClientRect(Hwnd window, Rect* rect) {
    RECT r;
    if (rect == nullptr || !::GetClientRect(H(window), &r)) return false;
    FromWin(r, rect);
    return true;
}

bool ClientToScreen(Hwnd window, Point* point) {
    POINT p{point->x, point->y};
    if (!::ClientToScreen(H(window), &p)) return false;
    point->x = p.x;
    point->y = p.y;
    return true;
}

bool ScreenToClient(Hwnd window, Point* point) {
    POINT p{point->x, point->y};
    if (!::ScreenToClient(H(window), &p)) return false;
    point->x = p.x;
    point->y = p.y;
    return true;
}

bool GetWindowPlacement(Hwnd window, WindowPlacement* placement) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (placement == nullptr || !::GetWindowPlacement(H(window), &wp)) return false;
    placement->flags = wp.flags;
    placement->showCmd = wp.showCmd;
    placement->minPosition = Point{wp.ptMinPosition.x, wp.ptMinPosition.y};
    placement->maxPosition = Point{wp.ptMaxPosition.x, wp.ptMaxPosition.y};
    FromWin(wp.rcNormalPosition, &placement->normalPosition);
    return true;
}

bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int width, int height, Uint flags) {
    return ::SetWindowPos(H(window), H(insertAfter), x, y, width, height, flags) != 0;
}

bool MoveWindow(Hwnd window, int x, int y, int width, int height, bool repaint) {
    return ::MoveWindow(H(window), x, y, width, height, repaint) != 0;
}

bool ShowWindow(Hwnd window, int showCommand) { return ::ShowWindow(H(window), showCommand) != 0; }
bool IsWindowVisible(Hwnd window) { return ::IsWindowVisible(H(window)) != 0; }
bool IsIconic(Hwnd window) { return ::IsIconic(H(window)) != 0; }
bool EnableWindow(Hwnd window, bool enable) { return ::EnableWindow(H(window), enable) != 0; }
bool IsWindowEnabled(Hwnd window) { return ::IsWindowEnabled(H(window)) != 0; }
Hwnd SetFocus(Hwnd window) { return P(::SetFocus(H(window))); }
Hwnd GetFocus() { return P(::GetFocus()); }
bool UpdateWindow(Hwnd window) { return ::UpdateWindow(H(window)) != 0; }

bool InvalidateRect(Hwnd window, const Rect* rect, bool erase) {
    if (rect == nullptr) return ::InvalidateRect(H(window), nullptr, erase) != 0;
    RECT r{rect->left, rect->top, rect->right, rect->bottom};
    return ::InvalidateRect(H(window), &r, erase) != 0;
}

LResult SendMessage(Hwnd window, Uint message, WParam wParam, LParam lParam) {
    return ::SendMessageA(H(window), message, wParam, lParam);
}
LResult SendDlgItemMessage(Hwnd dialog, int id, Uint message, WParam wParam, LParam lParam) {
    return ::SendDlgItemMessageA(H(dialog), id, message, wParam, lParam);
}
bool PostMessage(Hwnd window, Uint message, WParam wParam, LParam lParam) {
    return ::PostMessageA(H(window), message, wParam, lParam) != 0;
}
void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

int GetMessage(Msg* msg, Hwnd window) {
    MSG m = {};
    int result = ::GetMessageA(&m, H(window), 0, 0);
    if (msg != nullptr) FromWin(m, msg);
    return result;
}

bool PeekMessage(Msg* msg, Hwnd window, Uint remove) {
    MSG m = {};
    if (!::PeekMessageA(&m, H(window), 0, 0, remove)) return false;
    if (msg != nullptr) FromWin(m, msg);
    return true;
}

bool IsDialogMessage(Hwnd dialog, Msg* msg) {
    MSG m;
    ToWin(*msg, &m);
    return ::IsDialogMessageA(H(dialog), &m) != 0;
}

bool TranslateMessage(const Msg* msg) {
    MSG m;
    ToWin(*msg, &m);
    return ::TranslateMessage(&m) != 0;
}

LResult DispatchMessage(const Msg* msg) {
    MSG m;
    ToWin(*msg, &m);
    return ::DispatchMessageA(&m);
}

Uint SetTimer(Hwnd window, Uint id, Uint milliseconds) {
    return static_cast<Uint>(::SetTimer(H(window), id, milliseconds, nullptr));
}
bool KillTimer(Hwnd window, Uint id) { return ::KillTimer(H(window), id) != 0; }

int MessageBox(Hwnd owner, const char* text, const char* caption, Uint flags) {
    return ::MessageBoxA(H(owner), text, caption, flags);
}

bool BrowseForFolder(Hwnd owner, const char* title, Uint flags, char* path, std::size_t size) {
    if (path == nullptr || size == 0) return false;
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = H(owner);
    info.pidlRoot = nullptr;  // the desktop
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = flags;
    const auto browse =
        LateBound<decltype(&::SHBrowseForFolderA)>("shell32.dll", "SHBrowseForFolderA");
    LPITEMIDLIST chosen = browse != nullptr ? browse(&info) : nullptr;
    if (chosen == nullptr) return false;
    char folder[MAX_PATH] = {};
    if (!PathOfShellList(chosen, folder) || std::strlen(folder) + 1 > size) return false;
    kit::CopyCut(path, size, folder);
    return true;
}

}  // namespace plat
