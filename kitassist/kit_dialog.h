// The wizard dialog (resource 102): one window whose page (title, text lines, picture,
// buttons, entry field) is read from the current section of Pakonel.ini at every refresh (the
// entry field's text only when the page is new), and
// whose buttons run the keys of that section.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/bounded_text.h"
#include "kitassist/button_keys.h"
#include "kitassist/page_painter.h"
#include "platform/draw.h"
#include "platform/window.h"

class CKitApp;

// A control the pages configure: its id, the key name its section keys are formed with, and
// its place in the row when the page gives none.
template <std::size_t KeyCapacity>
struct ControlSlot {
    int id;
    kit::FixedText<KeyCapacity> keyName;
    int defaultX;
};

// The entry field holds at most this many characters.
constexpr std::size_t kSaisieMaxChars = 256;

class CKitDialog {
  public:
    explicit CKitDialog(CKitApp& app);

    // Runs the dialog modally; its end result (kIdOk once closed), -1 when it could not run.
    int DoModal();

    // The whole current page again: wipe, controls, picture, text.
    void RefreshPage();
    void LayoutControls();
    void DrawPageBitmap();
    void DrawPageText();

    // Runs the keys of one button; true when a "Section" key named the next page. A start or an
    // action that fails (the user told in a box) stops the button's work: no close, no next
    // page; a numbered "Exe" key that fails only shows its box.
    bool RunButton(const char* keyName);
    // The command line of an "Exe" value: absolute paths unchanged, "?" values without the
    // "?", other values relative to `baseDir` (quoted when they hold a blank). False, with
    // `out` cut, when the command does not fit in `capacity` bytes: such a command must not
    // be started.
    bool ResolveCommand(const char* value, const char* baseDir, char* out, std::size_t capacity);

    // Makes `section` the current page, as a button naming it does: the next layout gives the
    // entry field the page's own value.
    void GoToSection(const std::string& section);

    // The entry field's text, at most kSaisieMaxChars characters.
    void SetSaisie(const std::string& text);
    const std::string& Saisie() const { return m_saisie; }

    // While a button's work runs (a program waited for, the folder browser), the wizard's
    // buttons are disabled, a repaint's layout included, and what they receive is dropped:
    // a second click on Installer must neither start a second installation nor press the next
    // page's button. The buttons get back their state, and the focus its window, at the end.
    class BusyScope {
      public:
        explicit BusyScope(CKitDialog& dialog);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        CKitDialog& m_dialog;
        std::array<bool, 6> m_enabled{};
        plat::Hwnd m_focus = 0;
    };
    bool Busy() const { return m_busy; }

    plat::Hwnd m_hwnd = 0;
    std::array<ControlSlot<32>, 6> m_buttons;
    ControlSlot<256> m_saisieSlot;
    kit::FixedText<128> m_section;  // empty: no configuration found

  private:
    static std::intptr_t DialogProc(plat::Hwnd dialog, plat::Uint message, plat::WParam wParam,
                                    plat::LParam lParam);
    void OnInitDialog(plat::Hwnd dialog);
    void OnCommand(int id, int code);
    void OnPaint();
    // A click of the button with key name `keyName`; `closeWithoutPage`: Quitter closes the
    // wizard when its keys name no next page.
    void OnButton(const char* keyName, bool closeWithoutPage);
    // The refresh; inside a paint, the paint comes after the layout (which invalidates what
    // it hides) and before the drawing (which it would erase).
    void Refresh(bool insidePaint);
    // Ends the dialog as OK does: the entry field into m_saisie, then the modal loop closes
    // once the current button has been handled.
    void EndAsWithOk();
    // After a layout that left the keyboard focus on no shown, enabled control (the page
    // marks no button with "+", and the control that had it was hidden): `before` (the focus
    // before a repaint) again when it is shown and enabled, else the entry field, Suivant, or
    // the first button in tab order.
    void KeepAFocus(plat::Hwnd before);
    // Places a control at `x` (0: `defaultX`) with `width` (0: 85), keeping its y and height.
    void PlaceControl(plat::Hwnd control, int x, int width, int defaultX);
    // The entry field's text into it (the dialog's data exchange, to the control).
    void PushSaisie();
    // Starts the command line of an "Exe" value without waiting for it; false, the user told
    // in a box, when it did not start or was too long to start whole.
    bool StartCommand(const char* value);

    // Keys of the current section and of [General].
    std::string ReadKey(const char* key, std::size_t capacity) const;
    int ReadInt(const char* key, int defaultValue) const;
    // m_refreshSection while it is the current page's section, else null.
    const kit::ProfileSection* RefreshSection() const;

    CKitApp& m_app;
    CPagePainter m_painter;
    // While a refresh runs, the page's section read at its start (one read instead of some
    // forty); null otherwise. Nothing is kept from one refresh to the next.
    const kit::ProfileSection* m_refreshSection = nullptr;
    // Set at start-up and when a button names the next page; the next layout then puts the
    // page's "Saisie" value into the entry field. A repaint lays the page out again and must
    // leave what the user typed or chose.
    bool m_pageIsNew = true;
    bool m_busy = false;
    std::string m_saisie;
    plat::Hicon m_icon = 0;
};
