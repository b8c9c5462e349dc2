#include "platform/sim/ui_driver.h"

#include "platform/sim/image.h"
#include "platform/sim/machine.h"
#include "platform/sim/window_image.h"
#include "platform/sim/window_system.h"

namespace sim::ui {
namespace {

using plat::Hwnd;

Hwnd FindByText(Hwnd parent, const std::string& text) {
    SimWindow* p = FindWindowRecord(parent);
    if (p == nullptr) return 0;
    for (Hwnd child : p->children) {
        SimWindow* c = FindWindowRecord(child);
        if (c == nullptr) continue;
        if (c->text == text) return child;
        if (Hwnd deeper = FindByText(child, text)) return deeper;
    }
    return 0;
}

// Dispatches until nothing is left; stops before the quit message, which stays pending.
LoopEnd Pump(bool runActions, int* dispatched) {
    for (;;) {
        plat::Msg msg;
        Fetch fetched = NextMessage(&msg, 0, runActions);
        if (fetched == Fetch::Action) continue;
        if (fetched == Fetch::Idle) return LoopEnd::Idle;
        if (fetched == Fetch::Quit) {
            Ui().quitPending = static_cast<int>(msg.wParam);
            return LoopEnd::Quit;
        }
        DispatchLikeMainLoop(&msg);
        if (dispatched != nullptr) ++*dispatched;
    }
}

}  // namespace

void Reset() { ResetWindowSystem(); }

WindowInfo Info(Hwnd window) {
    WindowInfo info;
    info.hwnd = window;
    SimWindow* w = FindAnyWindow(window);
    if (w == nullptr) return info;
    info.exists = true;
    info.destroyed = w->destroyed;
    info.className = w->className;
    info.text = w->text;
    info.id = w->id;
    info.parent = w->parent;
    info.owner = w->owner;
    info.rect = w->rect;
    plat::GetWindowRect(window, &info.screenRect);
    info.clientRect = ClientRect(*w);
    info.style = w->style;
    info.exStyle = w->exStyle;
    info.visible = (w->style & plat::kWsVisible) != 0;
    info.shown = !w->destroyed && ShownOnScreen(*w);
    info.enabled = (w->style & plat::kWsDisabled) == 0;
    info.focused = Ui().focus == window;
    info.iconic = w->iconic;
    info.check = w->check;
    info.isDialog = w->kind == WindowKind::Dialog;
    info.templateId = w->templateId;
    info.defaultId = w->hasDefId ? w->defId : 0;
    info.caret = w->selStart;
    info.selectionEnd = w->selEnd;
    info.bigIcon = w->bigIcon;
    info.smallIcon = w->smallIcon;
    if (const GdiObject* font = FindGdiObject(w->font)) info.font = font->font;
    info.paintCount = w->paintCount;
    return info;
}

std::vector<Hwnd> TopLevelWindows() { return Ui().topLevels; }

std::vector<Hwnd> Children(Hwnd parent) {
    SimWindow* p = FindWindowRecord(parent);
    return p == nullptr ? std::vector<Hwnd>{} : p->children;
}

Hwnd FindTopLevel(const char* className, const char* title) {
    for (Hwnd top : Ui().topLevels) {
        SimWindow* w = FindWindowRecord(top);
        if (w == nullptr) continue;
        if (className != nullptr && !EqualsNoCase(w->className, className)) continue;
        if (title != nullptr && w->text != title) continue;
        return top;
    }
    return 0;
}

Hwnd FindChildByText(Hwnd parent, const std::string& text) { return FindByText(parent, text); }

Hwnd Focus() { return Ui().focus; }

bool Click(Hwnd button) {
    SimWindow* b = FindWindowRecord(button);
    if (b == nullptr || b->kind != WindowKind::Button || !ShownOnScreen(*b) ||
        !EnabledWithAncestors(*b)) {
        return false;
    }
    return ClickButton(button);
}

bool Click(Hwnd dialog, int id) { return Click(plat::GetDlgItem(dialog, id)); }

bool TypeText(Hwnd edit, const std::string& text) {
    SimWindow* e = FindWindowRecord(edit);
    if (e == nullptr || e->kind != WindowKind::Edit || !ShownOnScreen(*e) ||
        !EnabledWithAncestors(*e) || (e->style & plat::kEsReadOnly)) {
        return false;
    }
    if (Ui().focus != edit) SetFocusRecord(edit);
    for (char c : text) {
        if (FindWindowRecord(edit) == nullptr) return false;
        Send(edit, plat::kWmChar, static_cast<unsigned char>(c), 0);
    }
    return true;
}

bool ReplaceText(Hwnd edit, const std::string& text) {
    SimWindow* e = FindWindowRecord(edit);
    if (e == nullptr || e->kind != WindowKind::Edit) return false;
    if (Ui().focus != edit && ShownOnScreen(*e) && EnabledWithAncestors(*e)) {
        SetFocusRecord(edit);
    }
    Send(edit, plat::kEmSetSel, 0, -1);
    if (text.empty()) return TypeText(edit, "\b");
    return TypeText(edit, text);
}

void PressKey(Hwnd window, int virtualKey, bool shift) {
    Hwnd focus = Ui().focus;
    Hwnd target = (focus == window || IsDescendant(window, focus)) ? focus : window;
    if (shift) plat::PostMessage(target, plat::kWmKeyDown, plat::kVkShift, 0);
    plat::PostMessage(target, plat::kWmKeyDown, static_cast<plat::WParam>(virtualKey), 0);
    plat::PostMessage(target, plat::kWmKeyUp, static_cast<plat::WParam>(virtualKey), 0);
    if (shift) plat::PostMessage(target, plat::kWmKeyUp, plat::kVkShift, 0);
}

void PressEnter(Hwnd dialog) { PressKey(dialog, plat::kVkReturn); }
void PressEscape(Hwnd dialog) { PressKey(dialog, plat::kVkEscape); }

bool CloseBox(Hwnd window) {
    if (FindWindowRecord(window) == nullptr) return false;
    Send(window, plat::kWmSysCommand, plat::kScClose, 0);
    return true;
}

void ScriptUserAction(std::function<void()> action) { Ui().actions.push_back(std::move(action)); }
std::size_t PendingUserActions() { return Ui().actions.size(); }

LoopEnd LastLoopEnd() { return Ui().lastLoopEnd; }
std::optional<int> QuitCode() { return Ui().quitCode; }
bool QuitPending() { return Ui().quitPending.has_value(); }

int PumpMessages() {
    int dispatched = 0;
    Pump(false, &dispatched);
    return dispatched;
}

LoopEnd RunUntilIdle() {
    LoopEnd end = Pump(true, nullptr);
    Ui().lastLoopEnd = end;
    return end;
}

int AbandonedModalLoops() { return Ui().abandonedModalLoops; }

void AdvanceClock(plat::Dword milliseconds) { Ui().clock += milliseconds; }
plat::Dword Now() { return Ui().clock; }

std::vector<TimerInfo> Timers() {
    std::vector<TimerInfo> timers;
    for (const SimTimer& t : Ui().timers)
        timers.push_back(TimerInfo{t.hwnd, t.id, t.interval, t.due});
    return timers;
}

void ScriptMessageBoxAnswer(int answer) { Ui().messageBoxAnswers.push_back(answer); }
const std::vector<MessageBoxRecord>& MessageBoxes() { return Ui().messageBoxes; }

void ScriptFolderChoice(const std::string& windowsPath) {
    Ui().folderAnswers.push_back(windowsPath);
}
void ScriptFolderCancel() { Ui().folderAnswers.push_back(std::nullopt); }
const std::vector<FolderBrowseRecord>& FolderBrowses() { return Ui().folderBrowses; }

const std::vector<Hwnd>& RebootPrompts() { return Ui().rebootPrompts; }
int Beeps() { return Ui().beeps; }

const std::vector<DrawOp>& DrawLog(Hwnd window) {
    static const std::vector<DrawOp> kNone;
    SimWindow* w = FindAnyWindow(window);
    return w == nullptr ? kNone : w->drawLog;
}

std::vector<DrawOp> TextsDrawn(Hwnd window) {
    std::vector<DrawOp> texts;
    for (const DrawOp& op : DrawLog(window)) {
        if (op.kind == DrawKind::Text || op.kind == DrawKind::TextOut) texts.push_back(op);
    }
    return texts;
}

void ClearDrawLog(Hwnd window) {
    if (SimWindow* w = FindAnyWindow(window)) w->drawLog.clear();
}

void ClearAllDrawLogs() {
    for (auto& entry : Ui().windows) entry.second->drawLog.clear();
}

int LiveGdiObjects() {
    int live = 0;
    for (const auto& entry : Ui().objects) {
        if (!entry.second.stock && !entry.second.deleted) ++live;
    }
    return live;
}

int LiveDeviceContexts() { return static_cast<int>(Ui().dcs.size()); }

bool SaveWindowPicture(Hwnd window, const std::string& hostPath, bool wholeWindow,
                       std::string* error) {
    if (FindWindowRecord(window) == nullptr) {
        if (error != nullptr) *error = "no such window";
        return false;
    }
    Image picture = wholeWindow ? RenderWholeWindow(window) : RenderClientArea(window);
    return WritePng(picture, hostPath, error);
}

void SetDialogBaseUnits(int cx, int cy) {
    Ui().baseUnitX = cx;
    Ui().baseUnitY = cy;
}

void SetSystemColor(int index, plat::ColorRef color) { Ui().systemColors[index] = color; }

}  // namespace sim::ui
