// The controls of a page: which buttons show, where, with which caption, disabled or with the
// focus; the entry field and its initial text.
#include <string>

#include "common/profile_access.h"
#include "kitassist/kit_app.h"
#include "kitassist/kit_dialog.h"
#include "kitassist/resource_ids.h"

namespace {

constexpr const char* kDialogTitle = "Assistant d'installation du Kit Telvora";
constexpr int kDefaultWidth = 85;
constexpr std::size_t kCaptionCapacity = 1024;
// WM_NEXTDLGCTL: the dialog manager's own way to move the focus, which also makes a push button
// that gets it the one Enter presses.
constexpr plat::Uint kWmNextDlgCtl = 0x0028;

}  // namespace

void CKitDialog::PlaceControl(plat::Hwnd control, int x, int width, int defaultX) {
    plat::WindowPlacement placement;
    plat::GetWindowPlacement(control, &placement);
    const plat::Rect& now = placement.normalPosition;
    plat::SetWindowPos(control, 0, x == 0 ? defaultX : x, now.top,
                       width == 0 ? kDefaultWidth : width, now.bottom - now.top,
                       plat::kSwpNoZOrder | plat::kSwpNoActivate);
}

void CKitDialog::LayoutControls() {
    for (const ControlSlot<32>& slot : m_buttons) {
        plat::Hwnd button = plat::GetDlgItem(m_hwnd, slot.id);
        plat::ShowWindow(button, plat::kSwHide);
        // A repaint while a button's work runs must not give the user the buttons back.
        plat::EnableWindow(button, !m_busy);
    }
    plat::Hwnd field = plat::GetDlgItem(m_hwnd, m_saisieSlot.id);
    plat::ShowWindow(field, plat::kSwHide);
    // Enter presses Suivant again, whichever button a previous page gave the focus.
    plat::SendMessage(m_hwnd, plat::kDmSetDefId, ID_SUIVANT, 0);

    if (m_section.empty()) {
        // No configuration: only a way out.
        plat::Hwnd quit = plat::GetDlgItem(m_hwnd, plat::kIdOk);
        plat::ShowWindow(quit, plat::kSwShow);
        plat::SetWindowText(quit, "Quitter");
        plat::SetWindowText(m_hwnd, kDialogTitle);
        return;
    }

    const std::string title =
        m_app.m_iniPath.empty()
            ? std::string()
            : kit::ReadProfileString(m_app.m_iniPath.str(), "General", "Titre", "", 1024);
    plat::SetWindowText(m_hwnd, title.c_str());

    for (const ControlSlot<32>& slot : m_buttons) {
        const std::string keyName = slot.keyName.str();
        std::string caption = ReadKey(keyName.c_str(), kCaptionCapacity);
        if (caption.empty()) continue;
        plat::Hwnd button = plat::GetDlgItem(m_hwnd, slot.id);
        PlaceControl(button, ReadInt(("Pos" + keyName).c_str(), 0),
                     ReadInt(("Size" + keyName).c_str(), 0), slot.defaultX);
        plat::ShowWindow(button, plat::kSwShow);
        if (CutCaptionAtMarker(&caption, '#')) plat::EnableWindow(button, false);
        if (CutCaptionAtMarker(&caption, '+')) {
            plat::SetFocus(button);
            // A disabled button does not take the focus, and must not look like the default.
            if (plat::GetFocus() == button) plat::SendMessage(m_hwnd, kWmNextDlgCtl, button, 1);
            plat::ShowWindow(button, plat::kSwShowNormal);
        }
        plat::SetWindowText(button, caption.c_str());
    }

    const std::string keyName = m_saisieSlot.keyName.str();
    std::string value = ReadKey(keyName.c_str(), kCaptionCapacity);
    // Only the first layout of a page gives the field its value: the later ones are repaints.
    const bool pageIsNew = m_pageIsNew;
    m_pageIsNew = false;
    if (value.empty()) return;
    PlaceControl(field, ReadInt(("Pos" + keyName).c_str(), 0),
                 ReadInt(("Size" + keyName).c_str(), 0), m_saisieSlot.defaultX);
    // "#pf" stands for the installation directory, which ends with its backslash.
    if (value.compare(0, 3, "#pf") == 0) value = m_app.m_installDir.str() + value.substr(3);
    plat::ShowWindow(field, plat::kSwShow);
    if (pageIsNew) SetSaisie(value);
}

void CKitDialog::KeepAFocus(plat::Hwnd before) {
    const auto usable = [this](plat::Hwnd control) {
        return control != 0 && plat::GetParent(control) == m_hwnd &&
               plat::IsWindowVisible(control) && plat::IsWindowEnabled(control);
    };
    if (usable(plat::GetFocus())) return;
    plat::Hwnd target = usable(before) ? before : 0;
    if (target == 0 && usable(plat::GetDlgItem(m_hwnd, ID_SAISIE))) {
        target = plat::GetDlgItem(m_hwnd, ID_SAISIE);
    }
    if (target == 0 && usable(plat::GetDlgItem(m_hwnd, ID_SUIVANT))) {
        target = plat::GetDlgItem(m_hwnd, ID_SUIVANT);
    }
    // The buttons in tab order: the template's, left to right.
    for (auto it = m_buttons.rbegin(); target == 0 && it != m_buttons.rend(); ++it) {
        if (usable(plat::GetDlgItem(m_hwnd, it->id))) target = plat::GetDlgItem(m_hwnd, it->id);
    }
    // As the dialog manager moves the focus: a push button that gets it is the one Enter
    // presses, an entry field gets its text selected.
    if (target != 0) plat::SendMessage(m_hwnd, kWmNextDlgCtl, target, 1);
}
