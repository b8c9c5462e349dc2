// The headless window system: window records, geometry, visibility, focus, message sending
// and the message queue.
#include "platform/sim/window_system.h"

#include <algorithm>

#include "platform/sim/machine.h"

namespace sim {
namespace {

using namespace plat;

std::unique_ptr<WindowSystem>& Slot() {
    static std::unique_ptr<WindowSystem> system = std::make_unique<WindowSystem>();
    return system;
}

bool IsTopLevel(const SimWindow& window) { return (window.style & kWsChild) == 0; }

// A paint handler that keeps invalidating its window would never let the loop rest; after
// this many paints in a row with nothing else in between the loop counts as idle.
constexpr int kMaxPaintStreak = 64;

bool Matches(Hwnd target, Hwnd filter) {
    return filter == 0 || target == filter || IsDescendant(filter, target);
}

void InvalidateTree(SimWindow& window) {
    if (window.kind == WindowKind::Custom || window.kind == WindowKind::Dialog) {
        Invalidate(window, true);
    }
    for (Hwnd child : window.children) {
        if (SimWindow* c = FindWindowRecord(child)) InvalidateTree(*c);
    }
}

SimWindow* NearestDialog(SimWindow* window) {
    for (SimWindow* w = window; w != nullptr; w = FindWindowRecord(w->parent)) {
        if (w->kind == WindowKind::Dialog) return w;
        if (IsTopLevel(*w)) break;
    }
    return nullptr;
}

std::intptr_t CallDialog(SimWindow& dialog, Uint message, WParam wParam, LParam lParam) {
    Hwnd handle = dialog.handle;
    std::intptr_t handled = dialog.dlgProc ? dialog.dlgProc(handle, message, wParam, lParam) : 0;
    // These messages answer with the procedure's own result; the others with the default
    // handling when the procedure did not handle them.
    bool direct = message == kWmInitDialog || message == kWmQueryDragIcon ||
                  (message >= 0x0132 && message <= 0x0138);
    if (direct) return handled;
    if (handled != 0 || FindWindowRecord(handle) == nullptr) return 0;
    return DefaultDialogProc(handle, message, wParam, lParam);
}

// Windows 95 and 98 keep window coordinates in 16 bits: a position or size beyond that range
// (a page stretched out of all proportion) is held to it, which also keeps every sum of
// coordinates made here within an int.
int HoldToCoordinateRange(int value) { return std::clamp(value, -32768, 32767); }

}  // namespace

WindowSystem& Ui() { return *Slot(); }

void ResetWindowSystem() { Slot() = std::make_unique<WindowSystem>(); }

SimWindow* FindAnyWindow(Hwnd window) {
    auto found = Ui().windows.find(window);
    return found == Ui().windows.end() ? nullptr : found->second.get();
}

SimWindow* FindWindowRecord(Hwnd window) {
    SimWindow* w = FindAnyWindow(window);
    return w != nullptr && !w->destroyed ? w : nullptr;
}

bool IsDescendant(Hwnd ancestor, Hwnd window) {
    if (ancestor == 0 || window == 0) return false;
    SimWindow* w = FindWindowRecord(window);
    while (w != nullptr && w->parent != 0) {
        if (w->parent == ancestor) return true;
        w = FindWindowRecord(w->parent);
    }
    return false;
}

Hwnd TopLevelOf(Hwnd window) {
    SimWindow* w = FindWindowRecord(window);
    while (w != nullptr && !IsTopLevel(*w)) {
        SimWindow* parent = FindWindowRecord(w->parent);
        if (parent == nullptr) break;
        w = parent;
    }
    return w == nullptr ? 0 : w->handle;
}

Rect FrameInsets(const SimWindow& window) {
    int border = 0;
    if (window.style & kWsThickFrame) {
        border = 4;
    } else if ((window.style & kWsDlgFrame) || (window.exStyle & kWsExDlgModalFrame)) {
        border = 3;
    } else if ((window.style & kWsBorder) && window.kind != WindowKind::Edit) {
        // An edit draws its own one-pixel border inside its client area.
        border = 1;
    }
    if (window.exStyle & kWsExClientEdge) border += 2;
    if (window.exStyle & kWsExStaticEdge) border += 1;
    int caption = (window.style & kWsCaption) == kWsCaption ? 19 : 0;
    return Rect{border, border + caption, border, border};
}

Rect ClientRect(const SimWindow& window) {
    Rect insets = FrameInsets(window);
    int width = window.rect.right - window.rect.left - insets.left - insets.right;
    int height = window.rect.bottom - window.rect.top - insets.top - insets.bottom;
    return Rect{0, 0, std::max(0, width), std::max(0, height)};
}

Point ClientOrigin(const SimWindow& window) {
    Rect insets = FrameInsets(window);
    Point origin{window.rect.left + insets.left, window.rect.top + insets.top};
    if (!IsTopLevel(window)) {
        if (SimWindow* parent = FindWindowRecord(window.parent)) {
            Point p = ClientOrigin(*parent);
            origin.x += p.x;
            origin.y += p.y;
        }
    }
    return origin;
}

bool ShownOnScreen(const SimWindow& window) {
    for (const SimWindow* w = &window; w != nullptr; w = FindWindowRecord(w->parent)) {
        if ((w->style & kWsVisible) == 0) return false;
        if (IsTopLevel(*w)) break;
    }
    return true;
}

bool EnabledWithAncestors(const SimWindow& window) {
    for (const SimWindow* w = &window; w != nullptr; w = FindWindowRecord(w->parent)) {
        if (w->style & kWsDisabled) return false;
        if (IsTopLevel(*w)) break;
    }
    return true;
}

void Invalidate(SimWindow& window, bool erase) {
    window.needsPaint = true;
    if (erase) window.needsErase = true;
}

Hwnd CreateWindowRecord(Dword exStyle, const std::string& className, const std::string& title,
                        Dword style, int x, int y, int width, int height, Hwnd parent, int id,
                        bool fromTemplate) {
    WindowSystem& ui = Ui();
    auto record = std::make_unique<SimWindow>();
    std::string upper = className;
    for (char& c : upper) c = FoldUpper(c);
    auto registered = ui.classes.find(upper);
    if (registered != ui.classes.end()) {
        record->kind = WindowKind::Custom;
        record->className = registered->second.name;
        record->wndProc = registered->second.description.wndProc;
        record->background = registered->second.description.background;
        record->bigIcon = registered->second.description.icon;
        record->smallIcon = registered->second.description.smallIcon;
    } else if (upper == "BUTTON") {
        record->kind = WindowKind::Button;
        record->className = "Button";
    } else if (upper == "EDIT") {
        record->kind = WindowKind::Edit;
        record->className = "Edit";
    } else if (upper == "STATIC") {
        record->kind = WindowKind::Static;
        record->className = "Static";
    } else if (fromTemplate || upper == "LISTBOX" || upper == "COMBOBOX" || upper == "SCROLLBAR") {
        record->kind = WindowKind::Other;
        record->className = className;
    } else {
        return 0;  // no such class
    }
    SimWindow* parentWindow = FindWindowRecord(parent);
    if (style & kWsChild) {
        if (parentWindow == nullptr) return 0;
        record->parent = parent;
    } else if (parentWindow != nullptr) {
        record->owner = TopLevelOf(parent);
    }
    const MachineSettings& screen = Machine::Current().Settings();
    if (x == kCwUseDefault) x = y = 0;
    if (width == kCwUseDefault) {
        width = screen.screenWidth * 3 / 4;
        height = screen.screenHeight * 3 / 4;
    }
    record->handle = ui.nextWindow;
    ui.nextWindow += 4;
    x = HoldToCoordinateRange(x);
    y = HoldToCoordinateRange(y);
    width = HoldToCoordinateRange(std::max(0, width));
    height = HoldToCoordinateRange(std::max(0, height));
    record->rect = Rect{x, y, x + width, y + height};
    record->style = style;
    record->exStyle = exStyle;
    record->text = title;
    record->id = (style & kWsChild) ? id : 0;
    Hwnd handle = record->handle;
    SimWindow& window = *record;
    ui.windows[handle] = std::move(record);
    if (parentWindow != nullptr && (style & kWsChild)) {
        parentWindow->children.push_back(handle);
    } else {
        ui.topLevels.insert(ui.topLevels.begin(), handle);
    }
    if (window.kind == WindowKind::Custom && Send(handle, kWmCreate, 0, 0) == -1) {
        DestroyWindowRecord(handle);
        return 0;
    }
    if (FindWindowRecord(handle) == nullptr) return 0;
    if (style & kWsVisible) {
        InvalidateTree(window);
        if (IsTopLevel(window)) Activate(handle);
    }
    return handle;
}

bool DestroyWindowRecord(Hwnd handle) {
    WindowSystem& ui = Ui();
    SimWindow* window = FindWindowRecord(handle);
    if (window == nullptr || window->destroying) return false;
    window->destroying = true;
    // Owned windows go first, as on Windows.
    std::vector<Hwnd> owned;
    for (Hwnd top : ui.topLevels) {
        SimWindow* t = FindWindowRecord(top);
        if (t != nullptr && t->owner == handle) owned.push_back(top);
    }
    for (Hwnd o : owned) DestroyWindowRecord(o);
    if (ui.focus == handle || IsDescendant(handle, ui.focus)) ui.focus = 0;
    Send(handle, kWmDestroy, 0, 0);
    std::vector<Hwnd> children = window->children;
    for (Hwnd child : children) DestroyWindowRecord(child);
    Send(handle, kWmNcDestroy, 0, 0);
    window->destroyed = true;
    if (SimWindow* parent = FindWindowRecord(window->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    }
    ui.topLevels.erase(std::remove(ui.topLevels.begin(), ui.topLevels.end(), handle),
                       ui.topLevels.end());
    if (ui.active == handle) ui.active = 0;
    ui.timers.erase(std::remove_if(ui.timers.begin(), ui.timers.end(),
                                   [&](const SimTimer& t) { return t.hwnd == handle; }),
                    ui.timers.end());
    ui.queue.erase(std::remove_if(ui.queue.begin(), ui.queue.end(),
                                  [&](const Msg& m) { return m.hwnd == handle; }),
                   ui.queue.end());
    if (window->dialogFont != 0) DeleteInternalFont(window->dialogFont);
    window->dialogFont = 0;
    return true;
}

void Activate(Hwnd handle) {
    WindowSystem& ui = Ui();
    SimWindow* window = FindWindowRecord(handle);
    if (window == nullptr) return;
    ui.active = handle;
    auto& z = ui.topLevels;
    z.erase(std::remove(z.begin(), z.end(), handle), z.end());
    z.insert(z.begin(), handle);
    if (ui.focus == handle || IsDescendant(handle, ui.focus)) return;
    if (window->kind == WindowKind::Dialog) {
        SimWindow* saved = FindWindowRecord(window->savedFocus);
        if (saved != nullptr && IsDescendant(handle, saved->handle) &&
            EnabledWithAncestors(*saved)) {
            SetFocusRecord(saved->handle);
            return;
        }
        if (Hwnd first = FirstTabStop(*window)) {
            SetFocusRecord(first);
            return;
        }
    }
    SetFocusRecord(handle);
}

bool ShowWindowRecord(Hwnd handle, int command) {
    WindowSystem& ui = Ui();
    SimWindow* window = FindWindowRecord(handle);
    if (window == nullptr) return false;
    bool wasVisible = (window->style & kWsVisible) != 0;
    if (command == kSwHide) {
        if (!wasVisible) return false;
        window->style &= ~kWsVisible;
        Send(handle, kWmShowWindow, 0, 0);
        if (ui.focus == handle || IsDescendant(handle, ui.focus)) {
            // The focus goes back to the parent of a hidden child.
            SetFocusRecord(IsTopLevel(*window) ? 0 : window->parent);
        }
        if (ui.active == handle) ui.active = 0;
        return true;
    }
    bool minimize =
        command == kSwShowMinimized || command == kSwMinimize || command == kSwShowMinNoActive;
    bool restore = command == kSwShowNormal || command == kSwRestore || command == kSwShowDefault ||
                   command == kSwShowMaximized;
    if (minimize) window->iconic = true;
    if (restore) window->iconic = false;
    if (!wasVisible) {
        window->style |= kWsVisible;
        Send(handle, kWmShowWindow, 1, 0);
        if (FindWindowRecord(handle) == nullptr) return false;
        InvalidateTree(*window);
    }
    bool activates = command != kSwShowNa && command != kSwShowNoActivate &&
                     command != kSwShowMinNoActive && command != kSwMinimize;
    if (IsTopLevel(*window) && activates && ui.active != handle) Activate(handle);
    return wasVisible;
}

bool EnableWindowRecord(Hwnd handle, bool enable) {
    WindowSystem& ui = Ui();
    SimWindow* window = FindWindowRecord(handle);
    if (window == nullptr) return false;
    bool wasDisabled = (window->style & kWsDisabled) != 0;
    if (enable == !wasDisabled) return wasDisabled;
    if (enable) {
        window->style &= ~kWsDisabled;
    } else {
        window->style |= kWsDisabled;
        if (ui.focus == handle || IsDescendant(handle, ui.focus)) SetFocusRecord(0);
    }
    Send(handle, kWmEnable, enable ? 1 : 0, 0);
    return wasDisabled;
}

Hwnd SetFocusRecord(Hwnd handle) {
    WindowSystem& ui = Ui();
    Hwnd previous = ui.focus;
    if (handle == 0) {
        ui.focus = 0;
        if (previous != 0) Send(previous, kWmKillFocus, 0, 0);
        return previous;
    }
    SimWindow* window = FindWindowRecord(handle);
    if (window == nullptr || !EnabledWithAncestors(*window)) return 0;
    if (previous == handle) return previous;
    ui.focus = handle;
    Hwnd top = TopLevelOf(handle);
    if (ui.active != top) {
        ui.active = top;
        auto& z = ui.topLevels;
        z.erase(std::remove(z.begin(), z.end(), top), z.end());
        z.insert(z.begin(), top);
    }
    if (SimWindow* dialog = NearestDialog(FindWindowRecord(window->parent))) {
        dialog->savedFocus = handle;
    }
    if (previous != 0) Send(previous, kWmKillFocus, handle, 0);
    if (ui.focus == handle) Send(handle, kWmSetFocus, previous, 0);
    return previous;
}

LResult Send(Hwnd handle, Uint message, WParam wParam, LParam lParam) {
    WindowSystem& ui = Ui();
    SimWindow* window = FindWindowRecord(handle);
    // A runaway chain of messages sending messages ends here rather than in a stack overflow.
    if (window == nullptr || ui.sendDepth > 256) return 0;
    ++ui.sendDepth;
    LResult result;
    switch (window->kind) {
        case WindowKind::Custom:
            result = window->wndProc ? window->wndProc(handle, message, wParam, lParam)
                                     : DefaultWindowProc(handle, message, wParam, lParam);
            break;
        case WindowKind::Dialog:
            result = CallDialog(*window, message, wParam, lParam);
            break;
        default:
            result = ControlProc(*window, message, wParam, lParam);
            break;
    }
    --Ui().sendDepth;
    return result;
}

void PaintNow(Hwnd handle) {
    SimWindow* window = FindWindowRecord(handle);
    if (window == nullptr) return;
    ++window->paintCount;
    Send(handle, kWmPaint, 0, 0);
    // A paint handler that draws without BeginPaint would get WM_PAINT forever; the sim
    // validates the window after every paint.
    if (SimWindow* after = FindWindowRecord(handle)) {
        after->needsPaint = false;
        after->needsErase = false;
    }
}

LResult DispatchRecord(const Msg& msg) {
    if (FindWindowRecord(msg.hwnd) == nullptr) return 0;
    if (msg.message == kWmPaint) {
        PaintNow(msg.hwnd);
        return 0;
    }
    return Send(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

void TranslateRecord(const Msg& msg) {
    if (msg.message != kWmKeyDown) return;
    int key = static_cast<int>(msg.wParam);
    int character = 0;
    if (key >= '0' && key <= '9') character = key;
    if (key >= 'A' && key <= 'Z') character = Ui().shiftDown ? key : key + ('a' - 'A');
    if (key == kVkSpace) character = ' ';
    if (key == kVkReturn) character = '\r';
    if (key == kVkEscape) character = 0x1B;
    if (key == kVkTab) character = '\t';
    if (key == kVkBack) character = 0x08;
    if (character == 0) return;
    // The character comes before any later keyboard message, as on Windows.
    Msg charMsg = msg;
    charMsg.message = kWmChar;
    charMsg.wParam = static_cast<WParam>(character);
    Ui().queue.push_front(charMsg);
}

Fetch NextMessage(Msg* msg, Hwnd filter, bool runActions) {
    WindowSystem& ui = Ui();
    for (;;) {
        for (auto it = ui.queue.begin(); it != ui.queue.end(); ++it) {
            if (Matches(it->hwnd, filter)) {
                *msg = *it;
                ui.queue.erase(it);
                ui.paintStreak = 0;
                // The keyboard state follows the messages as they are taken, as GetKeyState.
                if (msg->wParam == kVkShift &&
                    (msg->message == kWmKeyDown || msg->message == kWmKeyUp)) {
                    ui.shiftDown = msg->message == kWmKeyDown;
                }
                return Fetch::Message;
            }
        }
        if (ui.quitPending) {
            *msg = Msg{};
            msg->message = kWmQuit;
            msg->wParam = static_cast<WParam>(*ui.quitPending);
            msg->time = ui.clock;
            ui.quitPending.reset();
            return Fetch::Quit;
        }
        if (ui.paintStreak < kMaxPaintStreak) {
            for (auto& entry : ui.windows) {
                SimWindow& w = *entry.second;
                if (w.destroyed || !w.needsPaint || !ShownOnScreen(w)) continue;
                if (w.kind != WindowKind::Custom && w.kind != WindowKind::Dialog) continue;
                if (!Matches(w.handle, filter)) continue;
                *msg = Msg{};
                msg->hwnd = w.handle;
                msg->message = kWmPaint;
                msg->time = ui.clock;
                ++ui.paintStreak;
                return Fetch::Message;
            }
        }
        SimTimer* due = nullptr;
        for (SimTimer& t : ui.timers) {
            if (t.due <= ui.clock && Matches(t.hwnd, filter) &&
                (due == nullptr || t.due < due->due)) {
                due = &t;
            }
        }
        if (due != nullptr) {
            // Expirations that piled up give one WM_TIMER, as on Windows.
            due->due = ui.clock + due->interval;
            *msg = Msg{};
            msg->hwnd = due->hwnd;
            msg->message = kWmTimer;
            msg->wParam = due->id;
            msg->time = ui.clock;
            ui.paintStreak = 0;
            return Fetch::Message;
        }
        if (!runActions || ui.actions.empty()) return Fetch::Idle;
        std::function<void()> action = std::move(ui.actions.front());
        ui.actions.pop_front();
        ui.paintStreak = 0;
        action();
        return Fetch::Action;
    }
}

void DispatchLikeMainLoop(Msg* msg) {
    SimWindow* top = FindWindowRecord(TopLevelOf(msg->hwnd));
    if (top != nullptr && top->kind == WindowKind::Dialog && DialogKeyboard(top->handle, msg)) {
        return;
    }
    TranslateRecord(*msg);
    DispatchRecord(*msg);
}

std::intptr_t RunModalDialog(Hwnd dialog, Hwnd owner) {
    Hwnd ownerTop = TopLevelOf(owner);
    bool disabledOwner = false;
    if (SimWindow* o = FindWindowRecord(ownerTop)) {
        if ((o->style & kWsDisabled) == 0) {
            EnableWindowRecord(ownerTop, false);
            disabledOwner = true;
        }
    }
    SimWindow* start = FindWindowRecord(dialog);
    if (start != nullptr && !start->ended) ShowWindowRecord(dialog, kSwShowNormal);
    bool gaveUp = false;
    for (;;) {
        SimWindow* d = FindWindowRecord(dialog);
        if (d == nullptr || d->ended) break;
        Msg msg;
        Fetch fetched = NextMessage(&msg, 0, true);
        if (fetched == Fetch::Action) continue;
        if (fetched == Fetch::Quit) {
            // The dialog ends and the quit message stays for the outer loop.
            Ui().quitPending = static_cast<int>(msg.wParam);
            Ui().lastLoopEnd = ui::LoopEnd::Quit;
            break;
        }
        if (fetched == Fetch::Idle) {
            gaveUp = true;
            ++Ui().abandonedModalLoops;
            Ui().lastLoopEnd = ui::LoopEnd::Idle;
            break;
        }
        if (!DialogKeyboard(dialog, &msg)) {
            TranslateRecord(msg);
            DispatchRecord(msg);
        }
    }
    SimWindow* record = FindAnyWindow(dialog);
    std::intptr_t result = record != nullptr && record->ended ? record->result : (gaveUp ? -1 : 0);
    if (disabledOwner) EnableWindowRecord(ownerTop, true);
    DestroyWindowRecord(dialog);
    return result;
}

}  // namespace sim
