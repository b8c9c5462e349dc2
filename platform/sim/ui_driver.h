// Driving and observing the headless window system of the simulated machine from tests.
//
// The window system runs in the test's own thread and never blocks:
// - Posted messages wait in one queue. GetMessage hands out, in this order, posted messages,
//   the quit message (once no posted message is left, as on Windows), WM_PAINT for windows that
//   need painting, then WM_TIMER for timers that are due on the virtual clock.
// - When nothing is left, the loop runs the next scripted user action (ScriptUserAction); with
//   no action left the loop is idle: GetMessage returns 0 with a WM_QUIT of code 0 and
//   LastLoopEnd() says Idle, so a program's main loop ends instead of hanging. A modal dialog's
//   loop that becomes idle gives up: DialogBoxFromResource destroys the dialog and returns -1.
// - The clock moves only through AdvanceClock (and plat::Sleep): timers never fire by
//   themselves.
// - Click and TypeText act at once, like a real control that notifies its parent while it
//   handles the mouse or the keyboard. PressKey, PressEnter and PressEscape post keyboard
//   messages to the focus window; whichever loop runs next (the program's, a modal dialog's,
//   PumpMessages) hands them to IsDialogMessage.
// - Message boxes return the next scripted answer; without one, the box's default button (what
//   Enter would choose: the first button unless kMbDefButton2/3). As on Windows, a box (or the
//   restart prompt) whose modal loop finds a quit message waiting ends at once: the box returns
//   IDOK whatever its buttons, taking no scripted answer; the prompt is not recorded. The
//   folder browser returns the next scripted choice; without one it is cancelled.
// - Every drawing call is recorded in the draw log of the window it draws on (client
//   coordinates); memory contexts record nothing until BitBlt copies their bitmap to a window.
//
// Dialog units become pixels with the dialog font's base units: 6 x 13 for "MS Sans Serif" 8 at
// 96 dpi, as on Windows 98 and on Wine with its own MS Sans Serif (Wine falling back to another
// face gives 7 x 13); SetDialogBaseUnits chooses others. Frames and captions have Wine's sizes
// (caption 19, thick frame 4, dialog frame 3, client edge 2). System colours are those of the
// Windows 98 standard scheme.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/window.h"

namespace sim::ui {

// Forgets every window, class, message, timer, drawing object, script and log: a fresh window
// system. The program's registered resources stay.
void Reset();

// --- Looking ------------------------------------------------------------------------------

struct WindowInfo {
    plat::Hwnd hwnd = 0;
    bool exists = false;     // false for an unknown handle
    bool destroyed = false;  // destroyed windows stay readable until Reset
    std::string className;
    std::string text;
    int id = 0;
    plat::Hwnd parent = 0;
    plat::Hwnd owner = 0;
    plat::Rect rect;        // parent client coordinates (screen for a top-level window)
    plat::Rect screenRect;  // GetWindowRect
    plat::Rect clientRect;  // GetClientRect
    plat::Dword style = 0;
    plat::Dword exStyle = 0;
    bool visible = false;  // its own WS_VISIBLE
    bool shown = false;    // IsWindowVisible: it and every ancestor visible
    bool enabled = false;  // its own WS_DISABLED clear
    bool focused = false;
    bool iconic = false;
    int check = 0;  // buttons
    bool isDialog = false;
    int templateId = 0;     // dialogs made from a template
    int defaultId = 0;      // dialogs: DM_GETDEFID's id, 0 when none
    std::size_t caret = 0;  // edits: selection start
    std::size_t selectionEnd = 0;
    plat::Hicon bigIcon = 0;
    plat::Hicon smallIcon = 0;
    plat::LogFont font;  // WM_SETFONT's font (dialog controls get the dialog font)
    int paintCount = 0;  // WM_PAINT messages handled
};
WindowInfo Info(plat::Hwnd window);

// Top-level windows, front first (the order in which FindWindow looks at them).
std::vector<plat::Hwnd> TopLevelWindows();
// Children in creation order (the tab order).
std::vector<plat::Hwnd> Children(plat::Hwnd parent);
// A top-level window by class and/or title (null matches anything), hidden ones included.
plat::Hwnd FindTopLevel(const char* className, const char* title);
// The first child whose text is `text`, at any depth; 0 when none.
plat::Hwnd FindChildByText(plat::Hwnd parent, const std::string& text);
plat::Hwnd Focus();

// --- Acting as the user -------------------------------------------------------------------

// A mouse click on a button: the focus moves to it, an automatic check box or radio button
// changes state (a radio button unchecks the visible, enabled automatic radio buttons of its
// group), and the parent gets WM_COMMAND(id, BN_CLICKED). False, and nothing happens, for a
// hidden or disabled window, or one that is not a button.
bool Click(plat::Hwnd button);
bool Click(plat::Hwnd dialog, int id);
// Types characters into an edit at its caret (replacing the selection), one EN_UPDATE and
// EN_CHANGE per character, after giving it the focus. False for a hidden, disabled or
// read-only window, or one that is not an edit.
bool TypeText(plat::Hwnd edit, const std::string& text);
// Selects the whole text of an edit and types `text` over it.
bool ReplaceText(plat::Hwnd edit, const std::string& text);
// Posts WM_KEYDOWN / WM_KEYUP for `virtualKey` to the focus window (to `window` when the focus
// is not inside it).
void PressKey(plat::Hwnd window, int virtualKey, bool shift = false);
void PressEnter(plat::Hwnd dialog);
void PressEscape(plat::Hwnd dialog);
// The close box of the window's caption (WM_SYSCOMMAND SC_CLOSE).
bool CloseBox(plat::Hwnd window);

// Runs `action` the next time a message loop has nothing else to do.
void ScriptUserAction(std::function<void()> action);
std::size_t PendingUserActions();

// --- Running loops ------------------------------------------------------------------------

enum class LoopEnd { None, Quit, Idle };
// How the last GetMessage loop ended (the program's loop or a modal dialog's).
LoopEnd LastLoopEnd();
// The code of the last PostQuitMessage since Reset, whether or not a loop took it yet.
std::optional<int> QuitCode();
// Whether a posted quit message still waits for a loop to take it.
bool QuitPending();

// Dispatches posted messages, paints and due timers, the way a dialog-aware main loop would,
// until none is left or the quit message is next (it stays pending). Runs no user action.
// Returns the number of messages dispatched.
int PumpMessages();
// PumpMessages, and each time it runs out, the next user action; until the quit message is
// next or nothing at all is left.
LoopEnd RunUntilIdle();
// Modal dialog loops that gave up because nothing was left to do.
int AbandonedModalLoops();

void AdvanceClock(plat::Dword milliseconds);
plat::Dword Now();
struct TimerInfo {
    plat::Hwnd hwnd = 0;
    plat::Uint id = 0;
    plat::Uint interval = 0;
    plat::Dword due = 0;
};
std::vector<TimerInfo> Timers();

// --- Standard boxes -----------------------------------------------------------------------

struct MessageBoxRecord {
    plat::Hwnd owner = 0;
    std::string text;
    std::string caption;
    plat::Uint flags = 0;
    int answer = 0;
};
void ScriptMessageBoxAnswer(int answer);
const std::vector<MessageBoxRecord>& MessageBoxes();

struct FolderBrowseRecord {
    plat::Hwnd owner = 0;
    std::string title;
    plat::Uint flags = 0;
    std::optional<std::string> answer;
};
// The next folder browser returns `windowsPath`; ScriptFolderCancel: the next one is cancelled.
void ScriptFolderChoice(const std::string& windowsPath);
void ScriptFolderCancel();
const std::vector<FolderBrowseRecord>& FolderBrowses();

// Owners of every SetupPromptReboot shown (plat::PromptReboot).
const std::vector<plat::Hwnd>& RebootPrompts();
// MessageBeep calls (the dialog's close box with a disabled Cancel button beeps).
int Beeps();

// --- Drawing ------------------------------------------------------------------------------

enum class DrawKind { EraseBackground, Text, TextOut, FillRect, Rectangle, Bitmap, Icon };

struct DrawOp {
    DrawKind kind = DrawKind::Text;
    plat::Rect rect;  // client coordinates; a bitmap's or icon's destination
    // Text and TextOut.
    std::string text;
    plat::Uint format = 0;
    plat::LogFont font;
    plat::ColorRef textColor = 0;
    plat::ColorRef bkColor = 0;
    int bkMode = 0;
    // FillRect, Rectangle and EraseBackground: the brush; Rectangle: the pen too.
    plat::ColorRef brushColor = 0;
    bool hollowBrush = false;
    plat::ColorRef penColor = 0;
    int penStyle = 0;
    int penWidth = 0;
    // Bitmap: the file it was loaded from (full Windows path), its depth, the source origin,
    // the raster operation, and the palette selected in the destination.
    std::string file;
    int bitsPerPixel = 0;
    plat::Point source;
    plat::Dword rasterOperation = 0;
    int paletteEntries = 0;
    std::vector<plat::PaletteEntry> palette;
    bool halftonePalette = false;
    bool paletteRealized = false;
    // Icon: the predefined icon's id (32512...) or the resource id.
    int iconId = 0;
    bool systemIcon = false;
    // Whether the window was visible on screen when it was drawn, the paint (BeginPaint) it
    // belongs to (0 outside BeginPaint), and its place among every draw of every window.
    bool windowVisible = false;
    int paintCycle = 0;
    std::uint64_t sequence = 0;
};
const std::vector<DrawOp>& DrawLog(plat::Hwnd window);
// Only the Text and TextOut operations of a window, in order.
std::vector<DrawOp> TextsDrawn(plat::Hwnd window);
void ClearDrawLog(plat::Hwnd window);
void ClearAllDrawLogs();
// Drawing objects created and not deleted, and device contexts not released or deleted.
int LiveGdiObjects();
int LiveDeviceContexts();

// --- Pictures -----------------------------------------------------------------------------

// The window drawn as our Wine prefix draws it (window_image.h), written as a PNG file at a
// host path: its client area, or with `wholeWindow` its frame and caption too. False, with the
// reason, when the window does not exist or the file cannot be written.
bool SaveWindowPicture(plat::Hwnd window, const std::string& hostPath, bool wholeWindow,
                       std::string* error);

// --- Settings -----------------------------------------------------------------------------

// Base units of every dialog with a font, (0, 0) for the built-in choice (see above).
void SetDialogBaseUnits(int cx, int cy);
// Gives one system colour (COLOR_... index) another value until the next Reset, so that a
// test can tell which system colour a program asked for.
void SetSystemColor(int index, plat::ColorRef color);

}  // namespace sim::ui
