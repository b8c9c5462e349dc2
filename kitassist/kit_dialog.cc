#include "kitassist/kit_dialog.h"

#include <optional>

#include "common/profile_access.h"
#include "common/profile_section.h"
#include "kitassist/kit_app.h"
#include "kitassist/resource_ids.h"

namespace {

// The dialog being run; its procedure finds it here (one wizard dialog at a time).
CKitDialog* g_kitDialog = nullptr;

constexpr int kIconSize = 32;

const char kConfigurationProblem[] =
    "#10#R#c#gProblème avec le fichier de configuration Pakonel.ini";
const char kGeneralError[] =
    "#12#g#R#tUne erreur générale s'est produite,   impossible de continuer";

}  // namespace

CKitDialog::CKitDialog(CKitApp& app)
    : m_buttons{{{plat::kIdOk, kit::FixedText<32>(kButtonKeyNames[0]), 426},
                 {plat::kIdCancel, kit::FixedText<32>(kButtonKeyNames[1]), 341},
                 {ID_SUIVANT, kit::FixedText<32>(kButtonKeyNames[2]), 256},
                 {ID_PRECEDENT, kit::FixedText<32>(kButtonKeyNames[3]), 171},
                 {ID_INFO1, kit::FixedText<32>(kButtonKeyNames[4]), 86},
                 {ID_INFO2, kit::FixedText<32>(kButtonKeyNames[5]), 1}}},
      m_saisieSlot{ID_SAISIE, kit::FixedText<256>("Saisie"), 7},
      m_app(app) {}

int CKitDialog::DoModal() {
    CKitDialog* outer = g_kitDialog;
    g_kitDialog = this;
    std::intptr_t result = plat::DialogBoxFromResource(IDD_KITASSIST, 0, &CKitDialog::DialogProc,
                                                       reinterpret_cast<plat::LParam>(this));
    g_kitDialog = outer;
    return static_cast<int>(result);
}

std::intptr_t CKitDialog::DialogProc(plat::Hwnd dialog, plat::Uint message, plat::WParam wParam,
                                     plat::LParam lParam) {
    CKitDialog* self = g_kitDialog;
    if (self == nullptr) return 0;
    switch (message) {
        case plat::kWmInitDialog:
            self->OnInitDialog(dialog);
            return 1;  // the default focus
        case plat::kWmCommand:
            self->OnCommand(plat::LoWord(wParam), plat::HiWord(wParam));
            return 1;
        case plat::kWmPaint:
            self->OnPaint();
            return 1;
        case plat::kWmQueryDragIcon:
            return static_cast<std::intptr_t>(self->m_icon);
        default:
            return 0;
    }
}

void CKitDialog::OnInitDialog(plat::Hwnd dialog) {
    m_hwnd = dialog;
    m_icon = plat::LoadIconFromResource(IDI_KITASSIST);
    plat::SendMessage(m_hwnd, plat::kWmSetIcon, plat::kIconBig, static_cast<plat::LParam>(m_icon));
    plat::SendMessage(m_hwnd, plat::kWmSetIcon, plat::kIconSmall,
                      static_cast<plat::LParam>(m_icon));
    plat::SendDlgItemMessage(m_hwnd, ID_SAISIE, plat::kEmLimitText, kSaisieMaxChars, 0);
    m_section = m_app.m_startSection.c_str();
    m_pageIsNew = true;
    PushSaisie();
}

void CKitDialog::OnCommand(int id, int code) {
    if (id == ID_SAISIE) {
        // Every change of the field is the wizard's value at once.
        if (code == plat::kEnChange) {
            char text[kSaisieMaxChars + 1];
            plat::GetDlgItemText(m_hwnd, ID_SAISIE, text, sizeof text);
            m_saisie = text;
        }
        return;
    }
    if (code != plat::kBnClicked || m_busy) return;
    for (const ControlSlot<32>& slot : m_buttons) {
        if (slot.id != id) continue;
        // Escape stands for Annuler, Enter for the default button: a button the page disabled
        // must not run through the keyboard what it refuses to the mouse.
        if (!plat::IsWindowEnabled(plat::GetDlgItem(m_hwnd, id))) return;
        OnButton(slot.keyName.c_str(), id == plat::kIdOk);
        return;
    }
}

CKitDialog::BusyScope::BusyScope(CKitDialog& dialog) : m_dialog(dialog) {
    m_focus = plat::GetFocus();
    for (std::size_t i = 0; i < m_dialog.m_buttons.size(); ++i) {
        plat::Hwnd button = plat::GetDlgItem(m_dialog.m_hwnd, m_dialog.m_buttons[i].id);
        m_enabled[i] = plat::IsWindowEnabled(button);
        plat::EnableWindow(button, false);
    }
    m_dialog.m_busy = true;
}

CKitDialog::BusyScope::~BusyScope() {
    m_dialog.m_busy = false;
    for (std::size_t i = 0; i < m_dialog.m_buttons.size(); ++i) {
        plat::EnableWindow(plat::GetDlgItem(m_dialog.m_hwnd, m_dialog.m_buttons[i].id),
                           m_enabled[i]);
    }
    // A disabled window loses the focus; the keyboard must find it where it was.
    if (m_focus != 0 && plat::IsWindow(m_focus) && plat::IsWindowEnabled(m_focus) &&
        plat::GetFocus() != m_focus) {
        plat::SetFocus(m_focus);
    }
}

void CKitDialog::OnButton(const char* keyName, bool closeWithoutPage) {
    bool nextPage = false;
    {
        BusyScope busy(*this);
        nextPage = RunButton(keyName);
    }
    if (nextPage) {
        RefreshPage();
    } else if (closeWithoutPage) {
        EndAsWithOk();
    }
}

void CKitDialog::OnPaint() {
    if (plat::IsIconic(m_hwnd)) {
        plat::PaintStruct paint;
        plat::Hdc dc = plat::BeginPaint(m_hwnd, &paint);
        plat::Rect client;
        plat::GetClientRect(m_hwnd, &client);
        plat::DrawIcon(dc, (client.right - kIconSize + 1) / 2, (client.bottom - kIconSize + 1) / 2,
                       m_icon);
        plat::EndPaint(m_hwnd, &paint);
        return;
    }
    Refresh(true);
}

void CKitDialog::RefreshPage() { Refresh(false); }

void CKitDialog::Refresh(bool insidePaint) {
    // The page's section read once for this refresh: its forty-odd key reads would each cost a
    // look at the file. Nothing of it outlives the refresh.
    std::optional<kit::ProfileSection> section;
    if (!m_section.empty() && !m_app.m_iniPath.empty()) {
        section.emplace(m_app.m_iniPath.str(), m_section.str());
    }
    const kit::ProfileSection* outer = m_refreshSection;
    m_refreshSection = section ? &*section : nullptr;
    struct Restore {
        const kit::ProfileSection*& slot;
        const kit::ProfileSection* value;
        ~Restore() { slot = value; }
    } restore{m_refreshSection, outer};

    // The blank static over the whole client area, shown and hidden again, wipes what the
    // previous page drew.
    // A repaint keeps the focus where the user put it; a new page starts from its own.
    const plat::Hwnd focusBefore = m_pageIsNew ? 0 : plat::GetFocus();
    plat::Hwnd blank = plat::GetDlgItem(m_hwnd, ID_BLANK);
    plat::Rect client;
    plat::GetClientRect(m_hwnd, &client);
    plat::SetWindowPos(blank, plat::kHwndTop, 0, 0, client.right, client.bottom, 0);
    plat::ShowWindow(blank, plat::kSwShow);
    PushSaisie();
    plat::ShowWindow(blank, plat::kSwHide);
    PushSaisie();

    LayoutControls();
    KeepAFocus(focusBefore);
    if (insidePaint) {
        // What the wipe and the layout invalidated is validated here, so that this paint does
        // not ask for the next one.
        plat::PaintStruct paint;
        plat::BeginPaint(m_hwnd, &paint);
        plat::EndPaint(m_hwnd, &paint);
    }
    DrawPageBitmap();
    DrawPageText();
    PushSaisie();
    PushSaisie();
}

void CKitDialog::DrawPageBitmap() {
    if (m_section.empty()) return;
    const std::string bitmap = ReadKey("Bitmap", 1024);
    if (bitmap.empty()) return;
    const std::string path = m_app.m_programDir.str() + bitmap;
    m_painter.DrawBitmap(path.c_str(), m_hwnd, ReadInt("xb", 21), ReadInt("yb", 10));
}

void CKitDialog::DrawPageText() {
    if (m_section.empty()) {
        m_painter.DrawLines(m_hwnd, "", "", kConfigurationProblem);
    } else if (m_app.m_iniPath.empty()) {
        m_painter.DrawLines(m_hwnd, "", "", kGeneralError);
    } else {
        m_painter.DrawLines(m_hwnd, m_section.c_str(), m_app.m_iniPath.c_str(), "",
                            RefreshSection());
    }
}

void CKitDialog::EndAsWithOk() {
    char text[kSaisieMaxChars + 1];
    plat::GetDlgItemText(m_hwnd, ID_SAISIE, text, sizeof text);
    m_saisie = text;
    plat::EndDialog(m_hwnd, plat::kIdOk);
}

void CKitDialog::SetSaisie(const std::string& text) {
    m_saisie = kit::CutToCapacity(text, kSaisieMaxChars + 1);
}

void CKitDialog::PushSaisie() {
    // The field reports the change, which copies it back: keep the value while it travels.
    const std::string value = m_saisie;
    plat::SetDlgItemText(m_hwnd, ID_SAISIE, value.c_str());
}

const kit::ProfileSection* CKitDialog::RefreshSection() const {
    // Only while it is still the page's section of the same file.
    if (m_refreshSection == nullptr || m_refreshSection->Name() != m_section.c_str() ||
        m_refreshSection->File() != m_app.m_iniPath.c_str()) {
        return nullptr;
    }
    return m_refreshSection;
}

std::string CKitDialog::ReadKey(const char* key, std::size_t capacity) const {
    if (m_app.m_iniPath.empty()) return std::string();
    if (const kit::ProfileSection* kept = RefreshSection()) {
        return kept->ReadString(key, "", capacity);
    }
    return kit::ReadProfileString(m_app.m_iniPath.str(), m_section.c_str(), key, "", capacity);
}

int CKitDialog::ReadInt(const char* key, int defaultValue) const {
    if (m_app.m_iniPath.empty()) return defaultValue;
    if (const kit::ProfileSection* kept = RefreshSection()) return kept->ReadInt(key, defaultValue);
    return kit::ReadProfileInt(m_app.m_iniPath.str(), m_section.c_str(), key, defaultValue);
}
