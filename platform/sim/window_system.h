// The state of the simulated machine's headless window system, shared by the windows, drawing
// and driving code of the sim back end. One per process, single-threaded, like the programs'
// own user interface thread.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/sim/bmp_file.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"

namespace sim {

enum class WindowKind { Custom, Dialog, Button, Edit, Static, Other };

struct SimWindow {
    plat::Hwnd handle = 0;
    WindowKind kind = WindowKind::Other;
    std::string className;
    std::string text;
    plat::Rect rect;  // parent client coordinates, screen for a top-level window
    plat::Dword style = 0;
    plat::Dword exStyle = 0;
    int id = 0;
    plat::Hwnd parent = 0;
    plat::Hwnd owner = 0;
    std::vector<plat::Hwnd> children;  // creation order: the tab order
    plat::WndProc wndProc = nullptr;
    plat::DlgProc dlgProc = nullptr;
    plat::Hbrush background = 0;
    bool destroying = false;
    bool destroyed = false;
    bool iconic = false;
    int check = 0;
    bool spacePressed = false;  // buttons: Space went down on it and is not up yet
    // Dialogs.
    int templateId = 0;
    int defId = 0;
    bool hasDefId = false;
    plat::Hwnd savedFocus = 0;
    bool modal = false;
    bool ended = false;
    std::intptr_t result = 0;
    plat::Hfont dialogFont = 0;
    // Edits.
    std::size_t selStart = 0;
    std::size_t selEnd = 0;
    std::size_t limit = 30000;
    char passwordChar = 0;  // edits: EM_SETPASSWORDCHAR's character, 0 when none
    // Icons, font.
    plat::Hicon bigIcon = 0;
    plat::Hicon smallIcon = 0;
    plat::Hicon staticIcon = 0;
    plat::Hfont font = 0;
    // Painting.
    bool needsPaint = false;
    bool needsErase = false;
    int paintCount = 0;
    std::vector<ui::DrawOp> drawLog;
};

enum class GdiType { Font, Brush, Pen, Bitmap, Palette };

struct GdiObject {
    GdiType type = GdiType::Brush;
    bool stock = false;  // stock objects and dialog fonts: never counted, never deleted
    bool deleted = false;
    plat::LogFont font;
    plat::ColorRef color = 0;
    bool nullBrush = false;
    int penStyle = 0;
    int penWidth = 1;
    std::string file;  // bitmaps: full Windows path
    BmpImage image;
    std::vector<plat::PaletteEntry> entries;  // palettes
    bool halftone = false;
};

struct SimDc {
    plat::Hwnd window = 0;  // 0 for a memory context
    bool memory = false;
    int paintCycle = 0;
    plat::Hfont font = 0;
    plat::Hbrush brush = 0;
    plat::Hpen pen = 0;
    plat::Hbitmap bitmap = 0;
    plat::Hpalette palette = 0;
    bool paletteRealized = false;
    plat::ColorRef textColor = 0;
    plat::ColorRef bkColor = 0;
    int bkMode = 0;
};

struct IconObject {
    int id = 0;
    bool system = false;
};

struct SimTimer {
    plat::Hwnd hwnd = 0;
    plat::Uint id = 0;
    plat::Uint interval = 0;
    plat::Dword due = 0;
};

struct SimClass {
    std::string name;
    plat::WndClass description;
};

struct WindowSystem {
    std::map<plat::Hwnd, std::unique_ptr<SimWindow>> windows;
    std::vector<plat::Hwnd> topLevels;        // front first
    std::map<std::string, SimClass> classes;  // key: upper-case name
    std::deque<plat::Msg> queue;
    std::optional<int> quitPending;
    std::optional<int> quitCode;
    std::vector<SimTimer> timers;
    plat::Dword clock = 0;
    plat::Hwnd focus = 0;
    plat::Hwnd active = 0;
    bool shiftDown = false;
    int sendDepth = 0;
    int paintStreak = 0;
    plat::Hwnd nextWindow = 0x10020;

    std::map<plat::Hdc, SimDc> dcs;
    std::map<plat::Hgdiobj, GdiObject> objects;
    std::map<plat::Hicon, IconObject> icons;
    plat::Hdc nextDc = 0x00300000;
    plat::Hgdiobj nextObject = 0x00200000;
    plat::Hicon nextIcon = 0x00400000;
    int paintCycles = 0;
    std::uint64_t drawSequence = 0;

    std::deque<std::function<void()>> actions;
    std::deque<int> messageBoxAnswers;
    std::vector<ui::MessageBoxRecord> messageBoxes;
    std::deque<std::optional<std::string>> folderAnswers;
    std::vector<ui::FolderBrowseRecord> folderBrowses;
    std::vector<plat::Hwnd> rebootPrompts;
    ui::LoopEnd lastLoopEnd = ui::LoopEnd::None;
    int abandonedModalLoops = 0;
    int beeps = 0;
    int baseUnitX = 0;
    int baseUnitY = 0;
    // System colours a test changed (index -> colour), as the display settings would.
    std::map<int, plat::ColorRef> systemColors;
};

// The window system of this process; ResetWindowSystem makes a fresh one.
WindowSystem& Ui();
void ResetWindowSystem();

// A live window, or null (destroyed windows are found by FindAnyWindow).
SimWindow* FindWindowRecord(plat::Hwnd window);
SimWindow* FindAnyWindow(plat::Hwnd window);
bool IsDescendant(plat::Hwnd ancestor, plat::Hwnd window);
plat::Hwnd TopLevelOf(plat::Hwnd window);

// Geometry: the frame around the client area, and the client area's origin on the screen.
plat::Rect FrameInsets(const SimWindow& window);
plat::Point ClientOrigin(const SimWindow& window);
plat::Rect ClientRect(const SimWindow& window);
bool ShownOnScreen(const SimWindow& window);
bool EnabledWithAncestors(const SimWindow& window);

// Window life.
plat::Hwnd CreateWindowRecord(plat::Dword exStyle, const std::string& className,
                              const std::string& title, plat::Dword style, int x, int y, int width,
                              int height, plat::Hwnd parent, int id, bool fromTemplate);
bool DestroyWindowRecord(plat::Hwnd window);
plat::Hwnd CreateDialogRecord(int templateId, plat::Hwnd parent, plat::DlgProc proc,
                              plat::LParam initParam, bool modal);
std::intptr_t RunModalDialog(plat::Hwnd dialog, plat::Hwnd owner);

// State changes with their messages.
bool ShowWindowRecord(plat::Hwnd window, int command);
bool EnableWindowRecord(plat::Hwnd window, bool enable);
void Activate(plat::Hwnd window);
plat::Hwnd SetFocusRecord(plat::Hwnd window);
void Invalidate(SimWindow& window, bool erase);

// Messages.
plat::LResult Send(plat::Hwnd window, plat::Uint message, plat::WParam wParam, plat::LParam lParam);
plat::LResult DefaultWindowProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                                plat::LParam lParam);
plat::LResult ControlProc(SimWindow& window, plat::Uint message, plat::WParam wParam,
                          plat::LParam lParam);
plat::LResult DefaultDialogProc(plat::Hwnd dialog, plat::Uint message, plat::WParam wParam,
                                plat::LParam lParam);
bool DialogKeyboard(plat::Hwnd dialog, plat::Msg* msg);
bool ClickButton(plat::Hwnd button);
void Notify(const SimWindow& control, std::uint16_t code);
plat::Hwnd FirstTabStop(const SimWindow& dialog);

// WM_PAINT now, as UpdateWindow and the message loop deliver it.
void PaintNow(plat::Hwnd window);
plat::LResult DispatchRecord(const plat::Msg& msg);
void TranslateRecord(const plat::Msg& msg);

enum class Fetch { Message, Quit, Idle, Action };
// The next message for `filter` (0: any window), in the order described in ui_driver.h.
// `runActions`: when nothing else is left, run the next scripted user action and answer
// Action, so that the caller looks at its own state (a dialog the action ended) first.
Fetch NextMessage(plat::Msg* msg, plat::Hwnd filter, bool runActions);
// Dispatches as the kit's loops do: IsDialogMessage for a message of a dialog, else
// TranslateMessage and DispatchMessage.
void DispatchLikeMainLoop(plat::Msg* msg);

// Drawing from window code: background erase of a paint, and a window's dialog font.
void EraseBackground(SimWindow& window, plat::Hdc dc);
plat::Hfont CreateInternalFont(const plat::LogFont& font);
void DeleteInternalFont(plat::Hfont font);
const GdiObject* FindGdiObject(plat::Hgdiobj object);
plat::Hicon IconForResource(int id);
// The pixels of a dialog unit for a dialog of this font (pointSize 0: no font).
void DialogBaseUnits(const std::string& face, int pointSize, int* cx, int* cy);

}  // namespace sim
