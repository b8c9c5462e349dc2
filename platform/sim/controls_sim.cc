// The standard controls (buttons, edits, statics), the default window and dialog procedures,
// the dialog keyboard interface and dialogs made from the program's templates, on the
// simulated machine.
#include <algorithm>
#include <cstring>

#include "platform/sim/font_engine.h"
#include "platform/sim/machine.h"
#include "platform/sim/rc_script.h"
#include "platform/sim/window_system.h"

namespace sim {
namespace {

using namespace plat;

// WM_NEXTDLGCTL, which programs send to their dialog to move the focus as Tab does.
constexpr Uint kWmNextDlgCtl = 0x0028;

Dword ButtonType(const SimWindow& w) { return w.style & kBsTypeMask; }

bool IsPushButton(const SimWindow& w) {
    return w.kind == WindowKind::Button &&
           (ButtonType(w) == kBsPushButton || ButtonType(w) == kBsDefPushButton);
}

bool HasCheckState(const SimWindow& w) {
    Dword type = ButtonType(w);
    return type == kBsCheckBox || type == kBsAutoCheckBox || type == kBsRadioButton ||
           type == kBs3State || type == kBsAuto3State || type == kBsAutoRadioButton;
}

bool Usable(const SimWindow& w) { return (w.style & (kWsVisible | kWsDisabled)) == kWsVisible; }

bool IsRadio(const SimWindow& w) {
    return w.kind == WindowKind::Button &&
           (ButtonType(w) == kBsRadioButton || ButtonType(w) == kBsAutoRadioButton);
}

// GetNextDlgGroupItem among the children of `dialog`, as Wine walks them: a group runs from a
// WS_GROUP child to the next one; past the last child the walk goes on from the first, so the
// children before the first WS_GROUP belong to the last group. Hidden and disabled children
// are passed over; `from` itself when the group has nothing else.
Hwnd NextInGroup(const SimWindow& dialog, Hwnd from, bool previous) {
    const auto& children = dialog.children;
    auto self = std::find(children.begin(), children.end(), from);
    if (self == children.end()) return 0;
    const auto styleOf = [](Hwnd handle) {
        SimWindow* w = FindWindowRecord(handle);
        return w != nullptr ? w->style : 0;
    };
    const auto usable = [](Hwnd handle) {
        SimWindow* w = FindWindowRecord(handle);
        return w != nullptr && Usable(*w);
    };
    std::size_t index = static_cast<std::size_t>(self - children.begin());
    Hwnd result = from;
    Hwnd lastGroup = 0;
    bool skipping = false;
    bool looped = false;
    for (;;) {
        ++index;
        if (index == children.size()) {
            if (looped) return result;
            looped = true;
            index = 0;
        }
        Hwnd hwnd = children[index];
        if (styleOf(hwnd) & kWsGroup) {
            lastGroup = hwnd;
            skipping = true;
        }
        if (hwnd == from) {
            if (!skipping || lastGroup == hwnd) return result;
            // The group began at lastGroup: go on from there.
            index = static_cast<std::size_t>(
                std::find(children.begin(), children.end(), lastGroup) - children.begin());
            hwnd = lastGroup;
            skipping = false;
            looped = false;
        }
        if (!skipping && usable(hwnd)) {
            result = hwnd;
            if (!previous) return result;
        }
    }
}

// The siblings of a radio button that a click unchecks: the round of GetNextDlgGroupItem from
// it, visible and enabled ones only.
std::vector<Hwnd> GroupOf(const SimWindow& button) {
    std::vector<Hwnd> group;
    SimWindow* parent = FindWindowRecord(button.parent);
    if (parent == nullptr) return group;
    Hwnd start = NextInGroup(*parent, button.handle, true);
    Hwnd sibling = start;
    while (sibling != 0) {
        group.push_back(sibling);
        sibling = NextInGroup(*parent, sibling, false);
        if (sibling == start) break;
    }
    return group;
}

void NotifyParent(const SimWindow& control, std::uint16_t code) {
    if (control.parent == 0) return;
    Send(control.parent, kWmCommand, MakeWParam(static_cast<std::uint16_t>(control.id), code),
         static_cast<LParam>(control.handle));
}

void EditChanged(SimWindow& edit) {
    Hwnd handle = edit.handle;
    NotifyParent(edit, kEnUpdate);
    if (SimWindow* e = FindWindowRecord(handle)) NotifyParent(*e, kEnChange);
}

void EditReplaceSelection(SimWindow& edit, const std::string& text) {
    std::size_t start = std::min(edit.selStart, edit.selEnd);
    std::size_t end = std::max(edit.selStart, edit.selEnd);
    start = std::min(start, edit.text.size());
    end = std::min(end, edit.text.size());
    std::string inserted = text;
    std::size_t room = edit.limit > edit.text.size() - (end - start)
                           ? edit.limit - (edit.text.size() - (end - start))
                           : 0;
    if (inserted.size() > room) inserted.resize(room);
    edit.text.replace(start, end - start, inserted);
    edit.selStart = edit.selEnd = start + inserted.size();
}

LResult EditProc(SimWindow& edit, Uint message, WParam wParam, LParam lParam) {
    bool readOnly = (edit.style & kEsReadOnly) != 0;
    switch (message) {
        case kWmSetText: {
            const char* text = reinterpret_cast<const char*>(lParam);
            edit.text = text != nullptr ? text : "";
            edit.selStart = edit.selEnd = 0;
            EditChanged(edit);
            return 1;
        }
        case kWmKeyDown:
            switch (static_cast<int>(wParam)) {
                // With Shift held, Home and End select from the caret to that end.
                case kVkEnd:
                    if (!Ui().shiftDown) edit.selStart = edit.text.size();
                    edit.selEnd = edit.text.size();
                    break;
                case kVkHome:
                    if (!Ui().shiftDown) edit.selEnd = 0;
                    edit.selStart = 0;
                    break;
                case kVkLeft:
                    if (edit.selStart > 0) --edit.selStart;
                    edit.selEnd = edit.selStart;
                    break;
                case kVkRight:
                    if (edit.selEnd < edit.text.size()) ++edit.selEnd;
                    edit.selStart = edit.selEnd;
                    break;
                case kVkDelete:
                    if (readOnly) break;
                    if (edit.selStart == edit.selEnd && edit.selEnd < edit.text.size())
                        ++edit.selEnd;
                    EditReplaceSelection(edit, "");
                    EditChanged(edit);
                    break;
                default:
                    break;
            }
            return 0;
        case kWmChar: {
            auto c = static_cast<unsigned char>(wParam);
            if (readOnly) return 0;
            if (c == 0x08) {
                if (edit.selStart == edit.selEnd && edit.selStart > 0) --edit.selStart;
                EditReplaceSelection(edit, "");
                EditChanged(edit);
            } else if (c >= 0x20 || ((edit.style & kEsMultiLine) && (c == '\r' || c == '\t'))) {
                EditReplaceSelection(edit, std::string(1, static_cast<char>(c)));
                EditChanged(edit);
            }
            return 0;
        }
        case kEmGetSel: {
            auto start = static_cast<Dword>(std::min(edit.selStart, edit.selEnd));
            auto end = static_cast<Dword>(std::max(edit.selStart, edit.selEnd));
            if (wParam != 0) *reinterpret_cast<Dword*>(wParam) = start;
            if (lParam != 0) *reinterpret_cast<Dword*>(lParam) = end;
            return static_cast<LResult>(
                MakeWParam(static_cast<std::uint16_t>(start), static_cast<std::uint16_t>(end)));
        }
        case kEmSetSel: {
            auto start = static_cast<std::intptr_t>(wParam);
            auto end = static_cast<std::intptr_t>(lParam);
            std::size_t size = edit.text.size();
            if (start < 0) {
                edit.selStart = edit.selEnd = std::min(edit.selEnd, size);
                return 0;
            }
            edit.selStart = std::min(static_cast<std::size_t>(start), size);
            edit.selEnd = end < 0 ? size : std::min(static_cast<std::size_t>(end), size);
            return 0;
        }
        case kEmLimitText:
            edit.limit = wParam == 0 ? 0x7FFFFFFE : wParam;
            return 0;
        case kEmSetPasswordChar:
            // As on Windows, a single-line edit only; the style follows the character.
            if (edit.style & kEsMultiLine) return 0;
            edit.passwordChar = static_cast<char>(wParam & 0xFF);
            if (edit.passwordChar != 0) {
                edit.style |= kEsPassword;
            } else {
                edit.style &= ~kEsPassword;
            }
            return 0;
        case kEmGetPasswordChar:
            return static_cast<unsigned char>(edit.passwordChar);
        case kWmSetFocus:
            NotifyParent(edit, kEnSetFocus);
            return 0;
        case kWmKillFocus:
            NotifyParent(edit, kEnKillFocus);
            return 0;
        default:
            return DefaultWindowProc(edit.handle, message, wParam, lParam);
    }
}

LResult ButtonProc(SimWindow& button, Uint message, WParam wParam, LParam lParam) {
    switch (message) {
        case kBmGetCheck:
            return HasCheckState(button) ? button.check : 0;
        case kBmSetCheck:
            if (HasCheckState(button)) button.check = static_cast<int>(wParam) & 3;
            // A radio button is a tab stop while it is checked only, so that Tab reaches a
            // group at its chosen button.
            if (IsRadio(button)) {
                button.style =
                    button.check != 0 ? button.style | kWsTabStop : button.style & ~kWsTabStop;
            }
            return 0;
        case kWmKeyDown:
            if (wParam == static_cast<WParam>(kVkSpace)) button.spacePressed = true;
            return 0;
        case kWmKeyUp:
            // Space presses the button as a click does, once it is released over it.
            if (wParam == static_cast<WParam>(kVkSpace) && button.spacePressed) {
                button.spacePressed = false;
                ClickButton(button.handle);
            }
            return 0;
        case kWmKillFocus:
            button.spacePressed = false;
            return 0;
        case kBmGetState:
            return HasCheckState(button) ? button.check : 0;
        case kBmSetStyle:
            button.style = (button.style & ~0xFFFFu) | static_cast<Dword>(wParam & 0xFFFF);
            return 0;
        case kBmClick:
            ClickButton(button.handle);
            return 0;
        default:
            return DefaultWindowProc(button.handle, message, wParam, lParam);
    }
}

Hwnd NextTabStop(const SimWindow& dialog, Hwnd from, bool backwards) {
    std::vector<Hwnd> stops;
    for (Hwnd child : dialog.children) {
        SimWindow* c = FindWindowRecord(child);
        if (c != nullptr && (c->style & kWsTabStop) && (c->style & kWsVisible) &&
            !(c->style & kWsDisabled)) {
            stops.push_back(child);
        }
    }
    if (stops.empty()) return 0;
    // The child of the dialog that holds `from`.
    Hwnd holder = from;
    while (holder != 0) {
        SimWindow* h = FindWindowRecord(holder);
        if (h == nullptr || h->parent == dialog.handle) break;
        holder = h->parent;
    }
    const auto& children = dialog.children;
    auto self = std::find(children.begin(), children.end(), holder);
    if (self == children.end()) return backwards ? stops.back() : stops.front();
    // From a control that is no tab stop (a radio button unchecked since), the tab stops
    // after it or before it in creation order.
    const std::size_t count = children.size();
    const std::size_t index = static_cast<std::size_t>(self - children.begin());
    for (std::size_t n = 1; n <= count; ++n) {
        Hwnd candidate = children[(backwards ? index + count - n : index + n) % count];
        if (std::find(stops.begin(), stops.end(), candidate) != stops.end()) return candidate;
    }
    return 0;
}

void SelectAllIfEdit(Hwnd control) {
    SimWindow* c = FindWindowRecord(control);
    if (c != nullptr && c->kind == WindowKind::Edit) {
        c->selStart = 0;
        c->selEnd = c->text.size();
    }
}

bool FocusTakesCharacters() {
    SimWindow* focus = FindWindowRecord(Ui().focus);
    return focus != nullptr && focus->kind == WindowKind::Edit;
}

// The letter that `text` underlines: the one after a single "&" ("&&" is a plain "&"), 0 when
// none.
char MnemonicOf(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return text[i + 1];
        ++i;
    }
    return 0;
}

char UpperCp1252(char c) {
    auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) u -= 0x20;
    return static_cast<char>(u);
}

// The dialog manager's mnemonics: from the control that got the letter, round the dialog's
// children, the first shown and enabled button or static text that underlines it. A button is
// pressed (BM_CLICK); a static text or a group box gives the focus to the tab stop after it.
bool PressMnemonic(const SimWindow& dialog, Hwnd from, char letter) {
    const auto& children = dialog.children;
    if (children.empty()) return false;
    auto start = std::find(children.begin(), children.end(), from);
    std::size_t first =
        start == children.end() ? 0 : static_cast<std::size_t>(start - children.begin());
    for (std::size_t n = 0; n < children.size(); ++n) {
        Hwnd handle = children[(first + n) % children.size()];
        SimWindow* c = FindWindowRecord(handle);
        if (c == nullptr || !Usable(*c)) continue;
        if (c->kind != WindowKind::Button && c->kind != WindowKind::Static) continue;
        char underlined = MnemonicOf(c->text);
        if (underlined == 0 || UpperCp1252(underlined) != UpperCp1252(letter)) continue;
        if (c->kind == WindowKind::Static || ButtonType(*c) == kBsGroupBox) {
            for (std::size_t k = 1; k < children.size(); ++k) {
                Hwnd next = children[(first + n + k) % children.size()];
                SimWindow* t = FindWindowRecord(next);
                if (t != nullptr && Usable(*t) && (t->style & kWsTabStop)) {
                    SetFocusRecord(next);
                    SelectAllIfEdit(next);
                    break;
                }
            }
        } else {
            ClickButton(handle);
        }
        return true;
    }
    return false;
}

}  // namespace

void Notify(const SimWindow& control, std::uint16_t code) { NotifyParent(control, code); }

LResult DefaultWindowProc(Hwnd handle, Uint message, WParam wParam, LParam lParam) {
    SimWindow* window = FindWindowRecord(handle);
    if (window == nullptr) return 0;
    switch (message) {
        case kWmSetText: {
            const char* text = reinterpret_cast<const char*>(lParam);
            window->text = text != nullptr ? text : "";
            return 1;
        }
        case kWmGetText: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (buffer == nullptr || wParam == 0) return 0;
            std::size_t n = std::min<std::size_t>(window->text.size(), wParam - 1);
            std::memcpy(buffer, window->text.data(), n);
            buffer[n] = '\0';
            return static_cast<LResult>(n);
        }
        case kWmGetTextLength:
            return static_cast<LResult>(window->text.size());
        case kWmClose:
            DestroyWindowRecord(handle);
            return 0;
        case kWmPaint: {
            PaintStruct ps;
            BeginPaint(handle, &ps);
            EndPaint(handle, &ps);
            return 0;
        }
        case kWmEraseBkgnd:
            EraseBackground(*window, static_cast<Hdc>(wParam));
            return window->kind == WindowKind::Custom && window->background == 0 ? 0 : 1;
        case kWmSetIcon: {
            Hicon previous = wParam == kIconBig ? window->bigIcon : window->smallIcon;
            (wParam == kIconBig ? window->bigIcon : window->smallIcon) = static_cast<Hicon>(lParam);
            return static_cast<LResult>(previous);
        }
        case kWmGetIcon:
            return static_cast<LResult>(wParam == kIconBig ? window->bigIcon : window->smallIcon);
        case kWmSysCommand:
            if ((wParam & 0xFFF0) == kScClose) Send(handle, kWmClose, 0, 0);
            return 0;
        default:
            return 0;
    }
}

LResult ControlProc(SimWindow& window, Uint message, WParam wParam, LParam lParam) {
    if (message == kWmSetFont) {
        window.font = static_cast<Hfont>(wParam);
        return 0;
    }
    if (message == kWmGetFont) return static_cast<LResult>(window.font);
    switch (window.kind) {
        case WindowKind::Button:
            return ButtonProc(window, message, wParam, lParam);
        case WindowKind::Edit:
            return EditProc(window, message, wParam, lParam);
        default:
            return DefaultWindowProc(window.handle, message, wParam, lParam);
    }
}

LResult DefaultDialogProc(Hwnd handle, Uint message, WParam wParam, LParam lParam) {
    SimWindow* dialog = FindWindowRecord(handle);
    if (dialog == nullptr) return 0;
    switch (message) {
        case kDmGetDefId:
            if (!dialog->hasDefId) return 0;
            return static_cast<LResult>(
                MakeWParam(static_cast<std::uint16_t>(dialog->defId), kDcHasDefId));
        case kDmSetDefId:
            dialog->defId = static_cast<int>(wParam);
            dialog->hasDefId = true;
            return 1;
        case kWmNextDlgCtl: {
            // The dialog manager's focus move: to the control in wParam (lParam nonzero), or to
            // the next tab stop (wParam 0) or the previous one.
            Hwnd target = lParam != 0 ? static_cast<Hwnd>(wParam)
                                      : NextTabStop(*dialog, Ui().focus, wParam != 0);
            if (target != 0) SetFocusRecord(target);
            if (target != 0 && Ui().focus == target) SelectAllIfEdit(target);
            return 0;
        }
        case kWmClose: {
            // The close box stands for Cancel; a disabled Cancel button only beeps.
            Hwnd cancel = GetDlgItem(handle, kIdCancel);
            SimWindow* c = FindWindowRecord(cancel);
            if (c != nullptr && (c->style & kWsDisabled)) {
                ++Ui().beeps;
                return 0;
            }
            PostMessage(handle, kWmCommand, MakeWParam(kIdCancel, kBnClicked),
                        static_cast<LParam>(cancel));
            return 0;
        }
        case kWmSetFocus: {
            // A control hidden since it had the focus does not get it back (the focus leaves a
            // control as it is hidden): the first tab stop does, as on Windows.
            SimWindow* saved = FindWindowRecord(dialog->savedFocus);
            Hwnd target =
                saved != nullptr && IsDescendant(handle, saved->handle) && ShownOnScreen(*saved)
                    ? saved->handle
                    : FirstTabStop(*dialog);
            if (target != 0) SetFocusRecord(target);
            return 0;
        }
        default:
            return DefaultWindowProc(handle, message, wParam, lParam);
    }
}

Hwnd FirstTabStop(const SimWindow& dialog) {
    for (Hwnd child : dialog.children) {
        SimWindow* c = FindWindowRecord(child);
        if (c != nullptr && (c->style & kWsTabStop) && (c->style & kWsVisible) &&
            !(c->style & kWsDisabled)) {
            return child;
        }
    }
    return 0;
}

bool ClickButton(Hwnd handle) {
    SimWindow* button = FindWindowRecord(handle);
    if (button == nullptr || button->kind != WindowKind::Button) return false;
    if (ButtonType(*button) == kBsGroupBox) return false;
    SetFocusRecord(handle);
    button = FindWindowRecord(handle);
    if (button == nullptr) return true;
    switch (ButtonType(*button)) {
        case kBsAutoCheckBox:
            button->check = button->check == kBstChecked ? 0 : kBstChecked;
            break;
        case kBsAuto3State:
            button->check = (button->check + 1) % 3;
            break;
        case kBsAutoRadioButton:
            // Through BM_SETCHECK, which gives the radio button its tab stop back.
            Send(handle, kBmSetCheck, kBstChecked, 0);
            button = FindWindowRecord(handle);
            if (button == nullptr) return true;
            for (Hwnd sibling : GroupOf(*button)) {
                SimWindow* s = FindWindowRecord(sibling);
                if (sibling != handle && s != nullptr && ButtonType(*s) == kBsAutoRadioButton) {
                    Send(sibling, kBmSetCheck, kBstUnchecked, 0);
                }
            }
            break;
        default:
            break;
    }
    if (SimWindow* b = FindWindowRecord(handle)) NotifyParent(*b, kBnClicked);
    return true;
}

bool DialogKeyboard(Hwnd dialogHandle, Msg* msg) {
    SimWindow* dialog = FindWindowRecord(dialogHandle);
    if (dialog == nullptr || msg == nullptr) return false;
    if (msg->hwnd != dialogHandle && !IsDescendant(dialogHandle, msg->hwnd)) return false;
    WindowSystem& ui = Ui();
    if (msg->message == kWmKeyDown) {
        SimWindow* focus = FindWindowRecord(ui.focus);
        bool focusInside = focus != nullptr && IsDescendant(dialogHandle, focus->handle);
        switch (static_cast<int>(msg->wParam)) {
            case kVkTab: {
                Hwnd next = NextTabStop(*dialog, focusInside ? focus->handle : 0, ui.shiftDown);
                if (next != 0) {
                    SetFocusRecord(next);
                    SelectAllIfEdit(next);
                }
                return true;
            }
            case kVkReturn: {
                if (focusInside && focus->kind == WindowKind::Edit &&
                    (focus->style & kEsMultiLine) && (focus->style & kEsWantReturn)) {
                    break;  // the edit takes the line break
                }
                if (focusInside && IsPushButton(*focus)) {
                    // A push button with the focus is the one Enter presses.
                    Send(dialogHandle, kWmCommand,
                         MakeWParam(static_cast<std::uint16_t>(focus->id), kBnClicked),
                         static_cast<LParam>(focus->handle));
                    return true;
                }
                LResult defId = Send(dialogHandle, kDmGetDefId, 0, 0);
                if (HiWord(static_cast<std::uintptr_t>(defId)) == kDcHasDefId) {
                    int id = LoWord(static_cast<std::uintptr_t>(defId));
                    Hwnd button = GetDlgItem(dialogHandle, id);
                    SimWindow* b = FindWindowRecord(button);
                    if (b == nullptr || !(b->style & kWsDisabled)) {
                        Send(dialogHandle, kWmCommand,
                             MakeWParam(static_cast<std::uint16_t>(id), kBnClicked),
                             static_cast<LParam>(button));
                    }
                } else {
                    Send(dialogHandle, kWmCommand, kIdOk,
                         static_cast<LParam>(GetDlgItem(dialogHandle, kIdOk)));
                }
                return true;
            }
            case kVkEscape:
                Send(dialogHandle, kWmCommand, MakeWParam(kIdCancel, kBnClicked),
                     static_cast<LParam>(GetDlgItem(dialogHandle, kIdCancel)));
                return true;
            case kVkLeft:
            case kVkUp:
            case kVkRight:
            case kVkDown: {
                // An edit moves its caret; any other control hands the arrows to the dialog.
                if (!focusInside || focus->kind == WindowKind::Edit ||
                    focus->parent != dialogHandle) {
                    break;
                }
                const bool previous = msg->wParam == static_cast<WParam>(kVkLeft) ||
                                      msg->wParam == static_cast<WParam>(kVkUp);
                Hwnd next = NextInGroup(*dialog, focus->handle, previous);
                SimWindow* n = FindWindowRecord(next);
                if (n == nullptr) return true;
                SetFocusRecord(next);
                n = FindWindowRecord(next);
                // Reaching an automatic radio button chooses it, as a click would.
                if (n != nullptr && ButtonType(*n) == kBsAutoRadioButton &&
                    n->kind == WindowKind::Button && n->check != kBstChecked) {
                    ClickButton(next);
                } else if (n != nullptr && !IsRadio(*n)) {
                    SelectAllIfEdit(next);
                }
                return true;
            }
            default:
                break;
        }
    }
    if (msg->message == kWmChar &&
        (msg->wParam == '\r' || msg->wParam == '\t' || msg->wParam == 0x1B)) {
        SimWindow* focus = FindWindowRecord(ui.focus);
        bool multiLine =
            focus != nullptr && focus->kind == WindowKind::Edit && (focus->style & kEsMultiLine);
        if (!multiLine) return true;
    }
    // A letter typed with Alt, or typed alone where the focus takes no characters (a button),
    // is a mnemonic: it reaches the control whose text underlines it.
    if (msg->message == kWmSysChar ||
        (msg->message == kWmChar && msg->wParam > ' ' && !FocusTakesCharacters())) {
        if (PressMnemonic(*dialog, msg->hwnd, static_cast<char>(msg->wParam))) return true;
    }
    TranslateRecord(*msg);
    DispatchRecord(*msg);
    return true;
}

void DialogBaseUnits(const std::string& face, int pointSize, int* cx, int* cy) {
    WindowSystem& ui = Ui();
    if (pointSize > 0 && ui.baseUnitX > 0 && ui.baseUnitY > 0) {
        *cx = ui.baseUnitX;
        *cy = ui.baseUnitY;
        return;
    }
    if (pointSize <= 0) {
        // The system font, as Wine reports GetDialogBaseUnits.
        *cx = 9;
        *cy = 16;
        return;
    }
    // As Windows: the average width of the 52 letters, rounded, and the font's height.
    LogFont font;
    font.height = -MulDiv(pointSize, Machine::Current().Settings().dpiY, 72);
    font.weight = kFwNormal;
    SetFaceName(&font, face.c_str());
    const SimFont& measured = FontFor(font);
    int letters = measured.Width("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    *cx = (letters / 26 + 1) / 2;
    *cy = measured.Metrics().height;
}

Hwnd CreateDialogRecord(int templateId, Hwnd parent, DlgProc proc, LParam initParam, bool modal) {
    const RcDialog* t = FindDialogResource(templateId);
    if (t == nullptr) return 0;
    int bx;
    int by;
    bool hasFont = (t->style & kDsSetFont) && t->pointSize > 0;
    DialogBaseUnits(t->fontFace, hasFont ? t->pointSize : 0, &bx, &by);
    Dword style = t->style & ~kWsVisible;
    Dword exStyle = t->exStyle;
    if (style & kDsModalFrame) exStyle |= kWsExDlgModalFrame;
    SimWindow shape;
    shape.kind = WindowKind::Dialog;
    shape.style = style;
    shape.exStyle = exStyle;
    Rect insets = FrameInsets(shape);
    int clientWidth = MulDiv(t->cx, bx, 4);
    int clientHeight = MulDiv(t->cy, by, 8);
    int width = clientWidth + insets.left + insets.right;
    int height = clientHeight + insets.top + insets.bottom;
    const MachineSettings& screen = Machine::Current().Settings();
    int x;
    int y;
    bool child = (style & kWsChild) != 0;
    if ((style & kDsCenter) && !child) {
        x = (screen.screenWidth - width) / 2;
        y = (screen.screenHeight - height) / 2;
    } else {
        Point origin{MulDiv(t->x, bx, 4), MulDiv(t->y, by, 8)};
        SimWindow* p = FindWindowRecord(parent);
        if (!child && p != nullptr) {
            Point o = ClientOrigin(*p);
            origin.x += o.x;
            origin.y += o.y;
        }
        x = origin.x - insets.left;
        y = origin.y - insets.top;
    }
    if (!child) {
        // Kept on the screen, as Windows places a dialog.
        if (x + width > screen.screenWidth) x = screen.screenWidth - width;
        if (y + height > screen.screenHeight) y = screen.screenHeight - height;
        x = std::max(x, 0);
        y = std::max(y, 0);
    }
    WindowSystem& ui = Ui();
    // Made by hand rather than through CreateWindowRecord: a dialog has no class procedure.
    auto record = std::make_unique<SimWindow>();
    record->handle = ui.nextWindow;
    ui.nextWindow += 4;
    record->kind = WindowKind::Dialog;
    record->className = "#32770";
    record->text = t->caption;
    record->rect = Rect{x, y, x + width, y + height};
    record->style = style;
    record->exStyle = exStyle;
    record->dlgProc = proc;
    record->templateId = templateId;
    record->modal = modal;
    Hwnd handle = record->handle;
    SimWindow* parentWindow = FindWindowRecord(parent);
    if (child && parentWindow == nullptr) return 0;
    if (child) {
        record->parent = parent;
        parentWindow->children.push_back(handle);
    } else {
        record->owner = TopLevelOf(parent);
        ui.topLevels.insert(ui.topLevels.begin(), handle);
    }
    if (hasFont) {
        LogFont font;
        font.height = -MulDiv(t->pointSize, Machine::Current().Settings().dpiY, 72);
        font.weight = t->fontWeight;
        font.italic = t->fontItalic ? 1 : 0;
        font.charSet = kDefaultCharset;
        SetFaceName(&font, t->fontFace.c_str());
        record->dialogFont = CreateInternalFont(font);
    }
    Hfont dialogFont = record->dialogFont;
    ui.windows[handle] = std::move(record);
    for (const RcControl& c : t->controls) {
        Dword controlStyle = c.style;
        Dword controlExStyle = c.exStyle;
        // Dialogs of Windows 95 and later draw a bordered control with a sunken edge.
        if ((controlStyle & kWsBorder) && !(controlExStyle & kWsExClientEdge)) {
            controlStyle &= ~kWsBorder;
            controlExStyle |= kWsExClientEdge;
        }
        int cw = MulDiv(c.cx, bx, 4);
        int ch = MulDiv(c.cy, by, 8);
        bool icon = EqualsNoCase(c.className, "STATIC") && (controlStyle & 0x1F) == kSsIcon;
        if (icon && cw == 0 && ch == 0) cw = ch = 32;
        Hwnd control =
            CreateWindowRecord(controlExStyle, c.className, c.text, controlStyle,
                               MulDiv(c.x, bx, 4), MulDiv(c.y, by, 8), cw, ch, handle, c.id, true);
        SimWindow* made = FindWindowRecord(control);
        if (made == nullptr) continue;
        if (icon && c.iconId >= 0) made->staticIcon = IconForResource(c.iconId);
        if (dialogFont != 0) Send(control, kWmSetFont, dialogFont, 0);
        SimWindow* d = FindWindowRecord(handle);
        if (d != nullptr && !d->hasDefId && made->kind == WindowKind::Button &&
            ButtonType(*made) == kBsDefPushButton) {
            d->defId = c.id;
            d->hasDefId = true;
        }
    }
    SimWindow* dialog = FindWindowRecord(handle);
    Hwnd firstStop = dialog != nullptr ? FirstTabStop(*dialog) : 0;
    if (Send(handle, kWmInitDialog, firstStop, initParam) != 0) {
        // The procedure asked for the default focus: the first tab stop.
        if (SimWindow* d = FindWindowRecord(handle)) {
            if (Hwnd first = FirstTabStop(*d)) SetFocusRecord(first);
        }
    }
    if (FindWindowRecord(handle) == nullptr) return 0;
    if (t->style & kWsVisible) ShowWindowRecord(handle, kSwShowNormal);
    return handle;
}

}  // namespace sim
