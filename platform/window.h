// The windows family: window classes, windows and controls, dialogs from the program's
// resources, messages and the message loop, timers, message boxes and the folder browser.
// Handles are plain integers and every number (messages, styles, notification codes, key codes,
// answers) keeps its Win32 value, so the real back end passes them through unchanged and the
// program code reads like the Win32 calls it stands for.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/process.h"  // the show commands kSwHide, kSwShowNormal, kSwShowDefault
#include "platform/types.h"

namespace plat {

using Hwnd = std::uintptr_t;
using Hicon = std::uintptr_t;
using Hcursor = std::uintptr_t;
using Hbrush = std::uintptr_t;
using Uint = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

constexpr Hwnd kNoWindow = 0;

// A window procedure and a dialog procedure (the dialog procedure answers nonzero when it
// handled the message).
using WndProc = LResult (*)(Hwnd window, Uint message, WParam wParam, LParam lParam);
using DlgProc = std::intptr_t (*)(Hwnd dialog, Uint message, WParam wParam, LParam lParam);

struct Msg {
    Hwnd hwnd = 0;
    Uint message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    Dword time = 0;
    Point pt;
};

constexpr std::uint16_t LoWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}
constexpr std::uint16_t HiWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>((value >> 16) & 0xFFFF);
}
constexpr WParam MakeWParam(std::uint16_t low, std::uint16_t high) {
    return static_cast<WParam>(low) | (static_cast<WParam>(high) << 16);
}

// Messages.
constexpr Uint kWmNull = 0x0000;
constexpr Uint kWmCreate = 0x0001;
constexpr Uint kWmDestroy = 0x0002;
constexpr Uint kWmMove = 0x0003;
constexpr Uint kWmSize = 0x0005;
constexpr Uint kWmActivate = 0x0006;
constexpr Uint kWmSetFocus = 0x0007;
constexpr Uint kWmKillFocus = 0x0008;
constexpr Uint kWmEnable = 0x000A;
constexpr Uint kWmSetText = 0x000C;
constexpr Uint kWmGetText = 0x000D;
constexpr Uint kWmGetTextLength = 0x000E;
constexpr Uint kWmPaint = 0x000F;
constexpr Uint kWmClose = 0x0010;
constexpr Uint kWmQuit = 0x0012;
constexpr Uint kWmEraseBkgnd = 0x0014;
constexpr Uint kWmShowWindow = 0x0018;
constexpr Uint kWmSetFont = 0x0030;
constexpr Uint kWmGetFont = 0x0031;
constexpr Uint kWmQueryDragIcon = 0x0037;
constexpr Uint kWmGetIcon = 0x007F;
constexpr Uint kWmSetIcon = 0x0080;
constexpr Uint kWmNcCreate = 0x0081;
constexpr Uint kWmNcDestroy = 0x0082;
constexpr Uint kWmKeyDown = 0x0100;
constexpr Uint kWmKeyUp = 0x0101;
constexpr Uint kWmChar = 0x0102;
// A character typed with Alt held down: a mnemonic in a dialog.
constexpr Uint kWmSysChar = 0x0106;
constexpr Uint kWmInitDialog = 0x0110;
constexpr Uint kWmCommand = 0x0111;
constexpr Uint kWmSysCommand = 0x0112;
constexpr Uint kWmTimer = 0x0113;
constexpr Uint kWmLButtonDown = 0x0201;
constexpr Uint kWmLButtonUp = 0x0202;
constexpr Uint kWmUser = 0x0400;

// WM_SETICON / WM_GETICON.
constexpr WParam kIconSmall = 0;
constexpr WParam kIconBig = 1;

// WM_SYSCOMMAND.
constexpr WParam kScClose = 0xF060;

// Button messages, states and notifications.
constexpr Uint kBmGetCheck = 0x00F0;
constexpr Uint kBmSetCheck = 0x00F1;
constexpr Uint kBmGetState = 0x00F2;
constexpr Uint kBmSetState = 0x00F3;
constexpr Uint kBmSetStyle = 0x00F4;
constexpr Uint kBmClick = 0x00F5;
constexpr int kBstUnchecked = 0;
constexpr int kBstChecked = 1;
constexpr int kBstIndeterminate = 2;
constexpr std::uint16_t kBnClicked = 0;

// Edit messages and notifications.
constexpr Uint kEmGetSel = 0x00B0;
constexpr Uint kEmSetSel = 0x00B1;
constexpr Uint kEmLimitText = 0x00C5;
// The character an edit shows in place of each one typed; 0 shows the text again.
constexpr Uint kEmSetPasswordChar = 0x00CC;
constexpr Uint kEmGetPasswordChar = 0x00D2;
constexpr std::uint16_t kEnSetFocus = 0x0100;
constexpr std::uint16_t kEnKillFocus = 0x0200;
constexpr std::uint16_t kEnChange = 0x0300;
constexpr std::uint16_t kEnUpdate = 0x0400;

// Dialog messages.
constexpr Uint kDmGetDefId = kWmUser + 0;
constexpr Uint kDmSetDefId = kWmUser + 1;
constexpr std::uint16_t kDcHasDefId = 0x534B;

// Virtual key codes.
constexpr int kVkBack = 0x08;
constexpr int kVkTab = 0x09;
constexpr int kVkReturn = 0x0D;
constexpr int kVkShift = 0x10;
constexpr int kVkEscape = 0x1B;
constexpr int kVkSpace = 0x20;
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kVkDelete = 0x2E;

// Command ids of dialogs and answers of message boxes.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Window styles.
constexpr Dword kWsOverlapped = 0x00000000;
constexpr Dword kWsPopup = 0x80000000;
constexpr Dword kWsChild = 0x40000000;
constexpr Dword kWsMinimize = 0x20000000;
constexpr Dword kWsVisible = 0x10000000;
constexpr Dword kWsDisabled = 0x08000000;
constexpr Dword kWsClipSiblings = 0x04000000;
constexpr Dword kWsClipChildren = 0x02000000;
constexpr Dword kWsMaximize = 0x01000000;
constexpr Dword kWsCaption = 0x00C00000;
constexpr Dword kWsBorder = 0x00800000;
constexpr Dword kWsDlgFrame = 0x00400000;
constexpr Dword kWsVScroll = 0x00200000;
constexpr Dword kWsHScroll = 0x00100000;
constexpr Dword kWsSysMenu = 0x00080000;
constexpr Dword kWsThickFrame = 0x00040000;
constexpr Dword kWsGroup = 0x00020000;
constexpr Dword kWsTabStop = 0x00010000;
constexpr Dword kWsMinimizeBox = 0x00020000;
constexpr Dword kWsMaximizeBox = 0x00010000;
constexpr Dword kWsOverlappedWindow =
    kWsOverlapped | kWsCaption | kWsSysMenu | kWsThickFrame | kWsMinimizeBox | kWsMaximizeBox;
constexpr Dword kWsExDlgModalFrame = 0x00000001;
constexpr Dword kWsExTopmost = 0x00000008;
constexpr Dword kWsExToolWindow = 0x00000080;
constexpr Dword kWsExWindowEdge = 0x00000100;
constexpr Dword kWsExClientEdge = 0x00000200;
constexpr Dword kWsExStaticEdge = 0x00020000;

// Dialog styles.
constexpr Dword kDsSetFont = 0x0040;
constexpr Dword kDsModalFrame = 0x0080;
constexpr Dword kDs3dLook = 0x0004;
constexpr Dword kDsCenter = 0x0800;

// Button styles (the low four bits are the button's kind).
constexpr Dword kBsPushButton = 0x0000;
constexpr Dword kBsDefPushButton = 0x0001;
constexpr Dword kBsCheckBox = 0x0002;
constexpr Dword kBsAutoCheckBox = 0x0003;
constexpr Dword kBsRadioButton = 0x0004;
constexpr Dword kBs3State = 0x0005;
constexpr Dword kBsAuto3State = 0x0006;
constexpr Dword kBsGroupBox = 0x0007;
constexpr Dword kBsAutoRadioButton = 0x0009;
constexpr Dword kBsTypeMask = 0x000F;
constexpr Dword kBsLeft = 0x0100;
constexpr Dword kBsRight = 0x0200;
constexpr Dword kBsCenter = 0x0300;
constexpr Dword kBsMultiLine = 0x2000;

// Edit styles.
constexpr Dword kEsLeft = 0x0000;
constexpr Dword kEsCenter = 0x0001;
constexpr Dword kEsRight = 0x0002;
constexpr Dword kEsMultiLine = 0x0004;
constexpr Dword kEsPassword = 0x0020;
constexpr Dword kEsAutoHScroll = 0x0080;
constexpr Dword kEsReadOnly = 0x0800;
constexpr Dword kEsWantReturn = 0x1000;

// Static styles.
constexpr Dword kSsLeft = 0x0000;
constexpr Dword kSsCenter = 0x0001;
constexpr Dword kSsRight = 0x0002;
constexpr Dword kSsIcon = 0x0003;

// Show commands besides those of platform/process.h.
constexpr int kSwShowMinimized = 2;
constexpr int kSwShowMaximized = 3;
constexpr int kSwShowNoActivate = 4;
constexpr int kSwShow = 5;
constexpr int kSwMinimize = 6;
constexpr int kSwShowMinNoActive = 7;
constexpr int kSwShowNa = 8;
constexpr int kSwRestore = 9;

// SetWindowPos.
constexpr Hwnd kHwndTop = 0;
constexpr Hwnd kHwndBottom = 1;
constexpr Hwnd kHwndTopmost = static_cast<Hwnd>(-1);
constexpr Hwnd kHwndNoTopmost = static_cast<Hwnd>(-2);
constexpr Uint kSwpNoSize = 0x0001;
constexpr Uint kSwpNoMove = 0x0002;
constexpr Uint kSwpNoZOrder = 0x0004;
constexpr Uint kSwpNoRedraw = 0x0008;
constexpr Uint kSwpNoActivate = 0x0010;
constexpr Uint kSwpShowWindow = 0x0040;
constexpr Uint kSwpHideWindow = 0x0080;

// CreateWindow position or size chosen by the system.
constexpr int kCwUseDefault = static_cast<int>(0x80000000u);

// Message boxes: buttons, icons and default button.
constexpr Uint kMbOk = 0x0000;
constexpr Uint kMbOkCancel = 0x0001;
constexpr Uint kMbAbortRetryIgnore = 0x0002;
constexpr Uint kMbYesNoCancel = 0x0003;
constexpr Uint kMbYesNo = 0x0004;
constexpr Uint kMbRetryCancel = 0x0005;
constexpr Uint kMbTypeMask = 0x000F;
constexpr Uint kMbIconStop = 0x0010;  // also MB_ICONHAND, MB_ICONERROR
constexpr Uint kMbIconQuestion = 0x0020;
constexpr Uint kMbIconExclamation = 0x0030;
constexpr Uint kMbIconInformation = 0x0040;  // also MB_ICONASTERISK
constexpr Uint kMbIconMask = 0x00F0;
constexpr Uint kMbDefButton1 = 0x0000;
constexpr Uint kMbDefButton2 = 0x0100;
constexpr Uint kMbDefButton3 = 0x0200;
constexpr Uint kMbDefMask = 0x0F00;

// Folder browser flags.
constexpr Uint kBifReturnOnlyFsDirs = 0x0001;

// PeekMessage.
constexpr Uint kPmNoRemove = 0x0000;
constexpr Uint kPmRemove = 0x0001;

// --- Resources of the running program -------------------------------------------------------

// LoadStringA: the string resource `id`, cut to size - 1 characters; the length copied, 0 when
// there is no such string.
int LoadString(Uint id, char* buffer, int size);

// --- Window classes and windows -------------------------------------------------------------

struct WndClass {
    Uint style = 0;
    WndProc wndProc = nullptr;
    Hicon icon = 0;
    Hicon smallIcon = 0;
    Hcursor cursor = 0;
    // A brush handle, or a system colour index + 1, as in WNDCLASSEXA.
    Hbrush background = 0;
    const char* className = nullptr;
};

// RegisterClassExA. False when the class exists already or the description is incomplete.
bool RegisterWindowClass(const WndClass& windowClass);

// CreateWindowExA. For a child window, `id` is its control id; for a top-level window it is
// ignored (no menu). Coordinates of a child are in its parent's client area, those of a
// top-level window on the screen. 0 when the window cannot be made.
Hwnd CreateWindow(Dword exStyle, const char* className, const char* title, Dword style, int x,
                  int y, int width, int height, Hwnd parent, int id);
bool DestroyWindow(Hwnd window);
bool IsWindow(Hwnd window);
LResult DefWindowProc(Hwnd window, Uint message, WParam wParam, LParam lParam);

// Dialogs from the program's dialog templates (CreateDialogParamA, DialogBoxParamA). The
// dialog procedure receives `initParam` with WM_INITDIALOG.
Hwnd CreateDialogFromResource(int templateId, Hwnd parent, DlgProc proc, LParam initParam = 0);
// Runs the dialog modally and returns the value given to EndDialog, -1 on failure.
std::intptr_t DialogBoxFromResource(int templateId, Hwnd parent, DlgProc proc,
                                    LParam initParam = 0);
bool EndDialog(Hwnd dialog, std::intptr_t result);

Hwnd GetDlgItem(Hwnd dialog, int id);
int GetDlgCtrlID(Hwnd control);
Hwnd GetParent(Hwnd window);
Hwnd FindWindow(const char* className, const char* title);

bool SetWindowText(Hwnd window, const char* text);
// GetWindowTextA: the text cut to size - 1 characters; the length copied.
int GetWindowText(Hwnd window, char* buffer, int size);
int GetWindowTextLength(Hwnd window);
bool SetDlgItemText(Hwnd dialog, int id, const char* text);
Uint GetDlgItemText(Hwnd dialog, int id, char* buffer, int size);

// Button check state (BM_SETCHECK / BM_GETCHECK through the dialog).
bool CheckDlgButton(Hwnd dialog, int id, Uint check);
Uint IsDlgButtonChecked(Hwnd dialog, int id);

// --- Geometry -------------------------------------------------------------------------------

// Screen coordinates of the whole window.
bool GetWindowRect(Hwnd window, Rect* rect);
// The client area: (0, 0, width, height).
bool GetClientRect(Hwnd window, Rect* rect);
bool ClientToScreen(Hwnd window, Point* point);
bool ScreenToClient(Hwnd window, Point* point);

struct WindowPlacement {
    Uint flags = 0;
    Uint showCmd = 0;
    Point minPosition;
    Point maxPosition;
    // The restored rectangle: parent client coordinates for a child, the work area's for a
    // top-level window.
    Rect normalPosition;
};
bool GetWindowPlacement(Hwnd window, WindowPlacement* placement);
bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int width, int height, Uint flags);
bool MoveWindow(Hwnd window, int x, int y, int width, int height, bool repaint);

// --- State ----------------------------------------------------------------------------------

// ShowWindow: whether the window was visible before.
bool ShowWindow(Hwnd window, int showCommand);
// True when the window and all its ancestors are visible.
bool IsWindowVisible(Hwnd window);
bool IsIconic(Hwnd window);
// EnableWindow: true when the window was disabled before (the Win32 result).
bool EnableWindow(Hwnd window, bool enable);
bool IsWindowEnabled(Hwnd window);
// SetFocus: the window that had the focus before, 0 when it fails.
Hwnd SetFocus(Hwnd window);
Hwnd GetFocus();
bool UpdateWindow(Hwnd window);
// `rect` null invalidates the whole client area.
bool InvalidateRect(Hwnd window, const Rect* rect, bool erase);

// --- Messages -------------------------------------------------------------------------------

LResult SendMessage(Hwnd window, Uint message, WParam wParam, LParam lParam);
LResult SendDlgItemMessage(Hwnd dialog, int id, Uint message, WParam wParam, LParam lParam);
bool PostMessage(Hwnd window, Uint message, WParam wParam, LParam lParam);
void PostQuitMessage(int exitCode);
// GetMessageA: above 0 for a message, 0 for WM_QUIT (its code in wParam), -1 on error.
int GetMessage(Msg* msg, Hwnd window = 0);
bool PeekMessage(Msg* msg, Hwnd window, Uint remove);
bool IsDialogMessage(Hwnd dialog, Msg* msg);
bool TranslateMessage(const Msg* msg);
LResult DispatchMessage(const Msg* msg);

// SetTimer with a window and an id: WM_TIMER every `milliseconds`. Returns the id, 0 on
// failure. Setting an existing timer again restarts it.
Uint SetTimer(Hwnd window, Uint id, Uint milliseconds);
bool KillTimer(Hwnd window, Uint id);

// --- Standard boxes -------------------------------------------------------------------------

// MessageBoxA: the id of the button pressed (kIdOk, kIdYes...).
int MessageBox(Hwnd owner, const char* text, const char* caption, Uint flags);

// SHBrowseForFolderA rooted at the desktop, then SHGetPathFromIDListA. Fills `path` (at least
// 260 bytes) and returns true when the user chose a folder; false when cancelled.
bool BrowseForFolder(Hwnd owner, const char* title, Uint flags, char* path, std::size_t size);

}  // namespace plat
