// The windows family on the simulated machine: the Win32-shaped calls over the headless window
// system (platform/sim/window_system.h; its behaviour is described in ui_driver.h).
#include <algorithm>
#include <cstring>

#include "common/bounded_text.h"
#include "platform/sim/machine.h"
#include "platform/sim/message_box_log.h"
#include "platform/sim/rc_script.h"
#include "platform/sim/window_system.h"
#include "platform/window.h"

namespace plat {
namespace {

using sim::FindWindowRecord;
using sim::SimWindow;
using sim::Ui;

std::string Upper(const char* text) {
    std::string upper = text;
    for (char& c : upper) c = sim::FoldUpper(c);
    return upper;
}

}  // namespace

int LoadString(Uint id, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    const std::string* text = sim::FindStringResource(id);
    if (text == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    kit::CopyCut(buffer, static_cast<std::size_t>(size), *text);
    return static_cast<int>(std::strlen(buffer));
}

bool RegisterWindowClass(const WndClass& windowClass) {
    if (windowClass.className == nullptr || windowClass.wndProc == nullptr ||
        *windowClass.className == '\0') {
        return false;
    }
    auto& classes = Ui().classes;
    std::string key = Upper(windowClass.className);
    if (classes.count(key) || key == "BUTTON" || key == "EDIT" || key == "STATIC") return false;
    sim::SimClass entry;
    entry.name = windowClass.className;
    entry.description = windowClass;
    entry.description.className = nullptr;  // the caller's text may not outlive the call
    classes[key] = entry;
    return true;
}

Hwnd CreateWindow(Dword exStyle, const char* className, const char* title, Dword style, int x,
                  int y, int width, int height, Hwnd parent, int id) {
    if (className == nullptr) return 0;
    return sim::CreateWindowRecord(exStyle, className, title != nullptr ? title : "", style, x, y,
                                   width, height, parent, id, false);
}

bool DestroyWindow(Hwnd window) { return sim::DestroyWindowRecord(window); }
bool IsWindow(Hwnd window) { return FindWindowRecord(window) != nullptr; }

LResult DefWindowProc(Hwnd window, Uint message, WParam wParam, LParam lParam) {
    return sim::DefaultWindowProc(window, message, wParam, lParam);
}

Hwnd CreateDialogFromResource(int templateId, Hwnd parent, DlgProc proc, LParam initParam) {
    return sim::CreateDialogRecord(templateId, parent, proc, initParam, false);
}

std::intptr_t DialogBoxFromResource(int templateId, Hwnd parent, DlgProc proc, LParam initParam) {
    Hwnd dialog = sim::CreateDialogRecord(templateId, parent, proc, initParam, true);
    if (dialog == 0) return -1;
    return sim::RunModalDialog(dialog, parent);
}

bool EndDialog(Hwnd dialog, std::intptr_t result) {
    SimWindow* d = FindWindowRecord(dialog);
    if (d == nullptr || d->kind != sim::WindowKind::Dialog) return false;
    d->ended = true;
    d->result = result;
    // Windows hides the dialog at once; the modal loop destroys it when it regains control.
    sim::ShowWindowRecord(dialog, kSwHide);
    return true;
}

Hwnd GetDlgItem(Hwnd dialog, int id) {
    SimWindow* d = FindWindowRecord(dialog);
    if (d == nullptr) return 0;
    for (Hwnd child : d->children) {
        SimWindow* c = FindWindowRecord(child);
        if (c != nullptr && c->id == id) return child;
    }
    return 0;
}

int GetDlgCtrlID(Hwnd control) {
    SimWindow* c = FindWindowRecord(control);
    return c != nullptr && (c->style & kWsChild) ? c->id : 0;
}

Hwnd GetParent(Hwnd window) {
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr) return 0;
    return (w->style & kWsChild) ? w->parent : w->owner;
}

Hwnd FindWindow(const char* className, const char* title) {
    for (Hwnd top : Ui().topLevels) {
        SimWindow* w = FindWindowRecord(top);
        if (w == nullptr) continue;
        if (className != nullptr && !sim::EqualsNoCase(w->className, className)) continue;
        if (title != nullptr && !sim::EqualsNoCase(w->text, title)) continue;
        return top;
    }
    return 0;
}

bool SetWindowText(Hwnd window, const char* text) {
    if (FindWindowRecord(window) == nullptr) return false;
    return sim::Send(window, kWmSetText, 0,
                     reinterpret_cast<LParam>(text != nullptr ? text : "")) != 0;
}

int GetWindowText(Hwnd window, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    buffer[0] = '\0';
    return static_cast<int>(
        sim::Send(window, kWmGetText, static_cast<WParam>(size), reinterpret_cast<LParam>(buffer)));
}

int GetWindowTextLength(Hwnd window) {
    return static_cast<int>(sim::Send(window, kWmGetTextLength, 0, 0));
}

bool SetDlgItemText(Hwnd dialog, int id, const char* text) {
    return SetWindowText(GetDlgItem(dialog, id), text);
}

Uint GetDlgItemText(Hwnd dialog, int id, char* buffer, int size) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    return static_cast<Uint>(GetWindowText(GetDlgItem(dialog, id), buffer, size));
}

bool CheckDlgButton(Hwnd dialog, int id, Uint check) {
    Hwnd button = GetDlgItem(dialog, id);
    if (button == 0) return false;
    sim::Send(button, kBmSetCheck, check, 0);
    return true;
}

Uint IsDlgButtonChecked(Hwnd dialog, int id) {
    return static_cast<Uint>(sim::Send(GetDlgItem(dialog, id), kBmGetCheck, 0, 0));
}

bool GetWindowRect(Hwnd window, Rect* rect) {
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr || rect == nullptr) return false;
    *rect = w->rect;
    if (w->style & kWsChild) {
        SimWindow* parent = FindWindowRecord(w->parent);
        Point origin = parent != nullptr ? sim::ClientOrigin(*parent) : Point{};
        rect->left += origin.x;
        rect->right += origin.x;
        rect->top += origin.y;
        rect->bottom += origin.y;
    }
    return true;
}

bool GetClientRect(Hwnd window, Rect* rect) {
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr || rect == nullptr) return false;
    *rect = sim::ClientRect(*w);
    return true;
}

bool ClientToScreen(Hwnd window, Point* point) {
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr || point == nullptr) return false;
    Point origin = sim::ClientOrigin(*w);
    point->x += origin.x;
    point->y += origin.y;
    return true;
}

bool ScreenToClient(Hwnd window, Point* point) {
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr || point == nullptr) return false;
    Point origin = sim::ClientOrigin(*w);
    point->x -= origin.x;
    point->y -= origin.y;
    return true;
}

bool GetWindowPlacement(Hwnd window, WindowPlacement* placement) {
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr || placement == nullptr) return false;
    *placement = WindowPlacement{};
    placement->showCmd = w->iconic ? kSwShowMinimized : kSwShowNormal;
    placement->minPosition = Point{-1, -1};
    placement->maxPosition = Point{-1, -1};
    placement->normalPosition = w->rect;
    return true;
}

bool SetWindowPos(Hwnd window, Hwnd insertAfter, int x, int y, int width, int height, Uint flags) {
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr) return false;
    Rect before = w->rect;
    // As when a window is made: Windows 95 and 98 keep coordinates in 16 bits, and a position or
    // size beyond that range (a page key giving one out of all proportion) is held to it, so
    // that no sum below overflows.
    x = std::clamp(x, -32768, 32767);
    y = std::clamp(y, -32768, 32767);
    width = std::clamp(width, 0, 32767);
    height = std::clamp(height, 0, 32767);
    if (!(flags & kSwpNoMove)) {
        w->rect.right += x - w->rect.left;
        w->rect.bottom += y - w->rect.top;
        w->rect.left = x;
        w->rect.top = y;
    }
    if (!(flags & kSwpNoSize)) {
        w->rect.right = w->rect.left + width;
        w->rect.bottom = w->rect.top + height;
    }
    if (!(flags & kSwpNoZOrder)) {
        // The front of the Z order is the start of the list, for children as on Windows,
        // where the tab order follows the Z order.
        auto reorder = [&](std::vector<Hwnd>& order) {
            auto at = std::find(order.begin(), order.end(), window);
            if (at == order.end()) return;
            order.erase(at);
            if (insertAfter == kHwndBottom) {
                order.push_back(window);
                return;
            }
            auto after = std::find(order.begin(), order.end(), insertAfter);
            order.insert(after == order.end() ? order.begin() : after + 1, window);
        };
        if (w->style & kWsChild) {
            if (SimWindow* parent = FindWindowRecord(w->parent)) reorder(parent->children);
        } else {
            reorder(Ui().topLevels);
        }
    }
    bool resized = (w->rect.right - w->rect.left) != (before.right - before.left) ||
                   (w->rect.bottom - w->rect.top) != (before.bottom - before.top);
    if (resized && !(flags & kSwpNoRedraw)) sim::Invalidate(*w, true);
    if (flags & kSwpShowWindow) {
        sim::ShowWindowRecord(window, (flags & kSwpNoActivate) ? kSwShowNa : kSwShow);
    }
    if (flags & kSwpHideWindow) sim::ShowWindowRecord(window, kSwHide);
    return true;
}

bool MoveWindow(Hwnd window, int x, int y, int width, int height, bool repaint) {
    return SetWindowPos(window, 0, x, y, width, height,
                        kSwpNoZOrder | kSwpNoActivate | (repaint ? 0 : kSwpNoRedraw));
}

bool ShowWindow(Hwnd window, int showCommand) { return sim::ShowWindowRecord(window, showCommand); }

bool IsWindowVisible(Hwnd window) {
    SimWindow* w = FindWindowRecord(window);
    return w != nullptr && sim::ShownOnScreen(*w);
}

bool IsIconic(Hwnd window) {
    SimWindow* w = FindWindowRecord(window);
    return w != nullptr && w->iconic;
}

bool EnableWindow(Hwnd window, bool enable) { return sim::EnableWindowRecord(window, enable); }

bool IsWindowEnabled(Hwnd window) {
    SimWindow* w = FindWindowRecord(window);
    return w != nullptr && (w->style & kWsDisabled) == 0;
}

Hwnd SetFocus(Hwnd window) { return sim::SetFocusRecord(window); }
Hwnd GetFocus() { return Ui().focus; }

bool UpdateWindow(Hwnd window) {
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr) return false;
    if (w->needsPaint && sim::ShownOnScreen(*w)) sim::PaintNow(window);
    return true;
}

bool InvalidateRect(Hwnd window, const Rect* rect, bool erase) {
    (void)rect;  // the sim repaints whole windows
    SimWindow* w = FindWindowRecord(window);
    if (w == nullptr) return false;
    sim::Invalidate(*w, erase);
    return true;
}

LResult SendMessage(Hwnd window, Uint message, WParam wParam, LParam lParam) {
    return sim::Send(window, message, wParam, lParam);
}

LResult SendDlgItemMessage(Hwnd dialog, int id, Uint message, WParam wParam, LParam lParam) {
    return sim::Send(GetDlgItem(dialog, id), message, wParam, lParam);
}

bool PostMessage(Hwnd window, Uint message, WParam wParam, LParam lParam) {
    if (window != 0 && FindWindowRecord(window) == nullptr) return false;
    Msg msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = Ui().clock;
    Ui().queue.push_back(msg);
    return true;
}

void PostQuitMessage(int exitCode) {
    Ui().quitPending = exitCode;
    Ui().quitCode = exitCode;
}

int GetMessage(Msg* msg, Hwnd window) {
    Msg local;
    Msg* out = msg != nullptr ? msg : &local;
    sim::Fetch fetched;
    do {
        fetched = sim::NextMessage(out, window, true);
    } while (fetched == sim::Fetch::Action);
    if (fetched == sim::Fetch::Message) return 1;
    if (fetched == sim::Fetch::Quit) {
        Ui().lastLoopEnd = sim::ui::LoopEnd::Quit;
    } else {
        // Nothing left to do: the loop ends instead of waiting for ever.
        *out = Msg{};
        out->message = kWmQuit;
        Ui().lastLoopEnd = sim::ui::LoopEnd::Idle;
    }
    return 0;
}

bool PeekMessage(Msg* msg, Hwnd window, Uint remove) {
    Msg local;
    Msg* out = msg != nullptr ? msg : &local;
    if (!(remove & kPmRemove)) {
        for (const Msg& m : Ui().queue) {
            if (window == 0 || m.hwnd == window || sim::IsDescendant(window, m.hwnd)) {
                *out = m;
                return true;
            }
        }
        return false;
    }
    sim::Fetch fetched = sim::NextMessage(out, window, false);
    return fetched == sim::Fetch::Message || fetched == sim::Fetch::Quit;
}

bool IsDialogMessage(Hwnd dialog, Msg* msg) { return sim::DialogKeyboard(dialog, msg); }

bool TranslateMessage(const Msg* msg) {
    if (msg == nullptr) return false;
    sim::TranslateRecord(*msg);
    return msg->message == kWmKeyDown;
}

LResult DispatchMessage(const Msg* msg) { return msg == nullptr ? 0 : sim::DispatchRecord(*msg); }

Uint SetTimer(Hwnd window, Uint id, Uint milliseconds) {
    if (window == 0 || FindWindowRecord(window) == nullptr) return 0;
    auto& timers = Ui().timers;
    auto existing = std::find_if(timers.begin(), timers.end(), [&](const sim::SimTimer& t) {
        return t.hwnd == window && t.id == id;
    });
    sim::SimTimer timer{window, id, milliseconds, Ui().clock + milliseconds};
    if (existing != timers.end()) {
        *existing = timer;
    } else {
        timers.push_back(timer);
    }
    return id == 0 ? 1 : id;
}

bool KillTimer(Hwnd window, Uint id) {
    auto& timers = Ui().timers;
    auto existing = std::find_if(timers.begin(), timers.end(), [&](const sim::SimTimer& t) {
        return t.hwnd == window && t.id == id;
    });
    if (existing == timers.end()) return false;
    timers.erase(existing);
    return true;
}

int MessageBox(Hwnd owner, const char* text, const char* caption, Uint flags) {
    sim::WindowSystem& ui = Ui();
    int answer;
    if (ui.quitPending) {
        // The box's own loop finds the quit message waiting: it puts it back and ends at once,
        // before the user could read or answer anything, with IDOK whatever its buttons (what
        // Wine answers then).
        answer = kIdOk;
    } else if (!ui.messageBoxAnswers.empty()) {
        answer = ui.messageBoxAnswers.front();
        ui.messageBoxAnswers.pop_front();
    } else {
        // The default button: what Enter would press.
        static const int kButtons[][3] = {{kIdOk, 0, 0},
                                          {kIdOk, kIdCancel, 0},
                                          {kIdAbort, kIdRetry, kIdIgnore},
                                          {kIdYes, kIdNo, kIdCancel},
                                          {kIdYes, kIdNo, 0},
                                          {kIdRetry, kIdCancel, 0}};
        Uint type = flags & kMbTypeMask;
        if (type > 5) type = 0;
        Uint index = (flags & kMbDefMask) >> 8;
        if (index > 2 || kButtons[type][index] == 0) index = 0;
        answer = kButtons[type][index];
    }
    sim::ui::MessageBoxRecord record;
    record.owner = owner;
    record.text = text != nullptr ? text : "";
    record.caption = caption != nullptr ? caption : "Erreur";
    record.flags = flags;
    record.answer = answer;
    sim::LogMessageBox(record.caption, record.text);
    ui.messageBoxes.push_back(record);
    return answer;
}

bool BrowseForFolder(Hwnd owner, const char* title, Uint flags, char* path, std::size_t size) {
    sim::WindowSystem& ui = Ui();
    std::optional<std::string> answer;
    if (!ui.folderAnswers.empty()) {
        answer = ui.folderAnswers.front();
        ui.folderAnswers.pop_front();
    }
    sim::ui::FolderBrowseRecord record;
    record.owner = owner;
    record.title = title != nullptr ? title : "";
    record.flags = flags;
    record.answer = answer;
    ui.folderBrowses.push_back(record);
    if (!answer || path == nullptr || answer->size() + 1 > size) return false;
    kit::CopyCut(path, size, *answer);
    return true;
}

}  // namespace plat
