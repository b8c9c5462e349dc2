// Dialogs made from the program's templates on the simulated machine: pixel geometry (with
// the figures Wine gives for the same templates), focus, default button, initial state.
#include <gtest/gtest.h>

#include <vector>

#include "platform/draw.h"
#include "platform/window.h"
#include "tests/sim/window_fixture.h"
#include "tests/sim/window_test_ids.h"

namespace {

using plat::Hwnd;
using plat::Rect;

struct Seen {
    plat::Uint message;
    plat::WParam wParam;
    plat::LParam lParam;
};
std::vector<Seen> g_seen;
std::intptr_t g_initResult = 1;

std::intptr_t RecordingProc(Hwnd, plat::Uint message, plat::WParam wParam, plat::LParam lParam) {
    g_seen.push_back(Seen{message, wParam, lParam});
    return message == plat::kWmInitDialog ? g_initResult : 0;
}

class DialogTest : public WindowSystemTest {
  protected:
    void SetUp() override {
        WindowSystemTest::SetUp();
        g_seen.clear();
        g_initResult = 1;
    }
    static Rect ClientRectOf(Hwnd window) {
        Rect r;
        EXPECT_TRUE(plat::GetClientRect(window, &r));
        return r;
    }
    static Rect WindowRectOf(Hwnd window) {
        Rect r;
        EXPECT_TRUE(plat::GetWindowRect(window, &r));
        return r;
    }
};

TEST_F(DialogTest, WizardTemplateInPixels) {
    Hwnd dialog = plat::CreateDialogFromResource(IDD_WIZARD, 0, RecordingProc);
    ASSERT_NE(dialog, 0u);
    // 354 x 178 dialog units with "MS Sans Serif" 8: base units 6 x 13.
    EXPECT_EQ(ClientRectOf(dialog), (Rect{0, 0, 531, 289}));
    // Caption 19 and a 3-pixel dialog frame around it.
    EXPECT_EQ(WindowRectOf(dialog), (Rect{0, 0, 537, 314}));
    sim::ui::WindowInfo next = sim::ui::Info(plat::GetDlgItem(dialog, 1064));
    EXPECT_EQ(next.rect, (Rect{432, 255, 521, 278}));
    EXPECT_EQ(next.text, "Suivant >");
    EXPECT_EQ(WindowRectOf(plat::GetDlgItem(dialog, 1063)), (Rect{147, 277, 236, 300}));
    EXPECT_EQ(sim::ui::Info(plat::GetDlgItem(dialog, 1063)).text, "< Pr\xE9\x63\xE9\x64\x65nt");
    EXPECT_EQ(sim::ui::Info(next.hwnd).font.height, -11);
    EXPECT_STREQ(sim::ui::Info(next.hwnd).font.faceName, "MS Sans Serif");
    // Created invisible; WM_INITDIALOG answered 1, so the first tab stop has the focus.
    EXPECT_FALSE(plat::IsWindowVisible(dialog));
    EXPECT_EQ(plat::GetDlgCtrlID(plat::GetFocus()), 1063);
    char title[64];
    EXPECT_EQ(plat::GetWindowText(dialog, title, sizeof title), 9);
    EXPECT_STREQ(title, "Assistant");
}

TEST_F(DialogTest, BaseUnitsOfAFallbackFaceOnRequest) {
    sim::ui::SetDialogBaseUnits(7, 13);
    Hwnd dialog = plat::CreateDialogFromResource(IDD_WIZARD, 0, RecordingProc);
    EXPECT_EQ(ClientRectOf(dialog), (Rect{0, 0, 620, 289}));
    EXPECT_EQ(sim::ui::Info(plat::GetDlgItem(dialog, 1064)).rect, (Rect{504, 255, 607, 278}));
}

TEST_F(DialogTest, TemplatePositionIsTheClientOriginAndDsCenterCentres) {
    Hwnd placed = plat::CreateDialogFromResource(IDD_PLACED, 0, RecordingProc);
    // (10, 20) units: the client area at (15, 33), the frame 3 and the caption 19 around it.
    EXPECT_EQ(WindowRectOf(placed), (Rect{12, 11, 168, 117}));
    EXPECT_EQ(ClientRectOf(placed), (Rect{0, 0, 150, 81}));
    Hwnd centred = plat::CreateDialogFromResource(IDD_CENTERED, 0, RecordingProc);
    Rect r = WindowRectOf(centred);
    EXPECT_EQ(r.left, (1024 - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (768 - (r.bottom - r.top)) / 2);
}

TEST_F(DialogTest, InitDialogGetsTheParameterAndTheFirstTabStop) {
    Hwnd dialog = plat::CreateDialogFromResource(IDD_KIT, 0, RecordingProc, 1234);
    ASSERT_FALSE(g_seen.empty());
    const Seen* init = nullptr;
    for (const Seen& s : g_seen) {
        if (s.message == plat::kWmInitDialog) init = &s;
    }
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init->lParam, 1234);
    EXPECT_EQ(static_cast<Hwnd>(init->wParam), plat::GetDlgItem(dialog, 1003));
    // Sending WM_INITDIALOG again reaches the procedure with the caller's values.
    g_seen.clear();
    EXPECT_EQ(plat::SendMessage(dialog, plat::kWmInitDialog, 0, 0), 1);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].lParam, 0);
}

TEST_F(DialogTest, InitDialogAnsweringZeroLeavesTheFocusAlone) {
    g_initResult = 0;
    plat::CreateDialogFromResource(IDD_KIT, 0, RecordingProc);
    EXPECT_EQ(plat::GetFocus(), 0u);
}

TEST_F(DialogTest, KitTemplateControls) {
    Hwnd dialog = plat::CreateDialogFromResource(IDD_KIT, 0, RecordingProc);
    // DEFPUSHBUTTON makes the dialog's default id.
    EXPECT_EQ(plat::SendMessage(dialog, plat::kDmGetDefId, 0, 0),
              static_cast<plat::LResult>(plat::MakeWParam(1000, plat::kDcHasDefId)));
    Hwnd entry = plat::GetDlgItem(dialog, IDC_ENTRY);
    sim::ui::WindowInfo info = sim::ui::Info(entry);
    EXPECT_FALSE(info.visible);
    // A bordered control of a dialog gets a sunken edge: two pixels inside.
    EXPECT_EQ(info.rect, (Rect{38, 328, 472, 351}));
    EXPECT_EQ(ClientRectOf(entry), (Rect{0, 0, 430, 19}));
    EXPECT_EQ(info.exStyle & plat::kWsExClientEdge, plat::kWsExClientEdge);
    EXPECT_EQ(info.style & plat::kWsBorder, 0u);
    EXPECT_EQ(ClientRectOf(dialog), (Rect{0, 0, 506, 403}));
    EXPECT_EQ(plat::GetParent(entry), dialog);
    EXPECT_EQ(plat::GetDlgItem(dialog, 4242), 0u);
}

TEST_F(DialogTest, VisibleTemplateIsShownAndFocused) {
    Hwnd dialog = plat::CreateDialogFromResource(IDD_VISIBLE, 0, RecordingProc);
    EXPECT_TRUE(plat::IsWindowVisible(dialog));
    EXPECT_EQ(plat::GetFocus(), plat::GetDlgItem(dialog, 301));
    EXPECT_EQ(plat::FindWindow(nullptr, "visible"), dialog);
    EXPECT_EQ(plat::FindWindow("#32770", nullptr), dialog);
}

TEST_F(DialogTest, UnknownTemplateFails) {
    EXPECT_EQ(plat::CreateDialogFromResource(4242, 0, RecordingProc), 0u);
    EXPECT_EQ(plat::DialogBoxFromResource(4242, 0, RecordingProc), -1);
}

TEST_F(DialogTest, IconControlAndWindowIcons) {
    Hwnd dialog = plat::CreateDialogFromResource(IDD_CENTERED, 0, RecordingProc);
    sim::ui::WindowInfo icon = sim::ui::Info(plat::GetDlgItem(dialog, 205));
    EXPECT_EQ(icon.rect.right - icon.rect.left, 32);
    plat::Hicon program = plat::LoadIconFromResource(IDI_PROGRAM);
    ASSERT_NE(program, 0u);
    EXPECT_EQ(plat::LoadIconFromResource(4242), 0u);
    EXPECT_EQ(plat::SendMessage(dialog, plat::kWmSetIcon, plat::kIconBig,
                                static_cast<plat::LParam>(program)),
              0);
    plat::SendMessage(dialog, plat::kWmSetIcon, plat::kIconSmall,
                      static_cast<plat::LParam>(program));
    EXPECT_EQ(
        static_cast<plat::Hicon>(plat::SendMessage(dialog, plat::kWmGetIcon, plat::kIconBig, 0)),
        program);
    EXPECT_EQ(sim::ui::Info(dialog).smallIcon, program);
}

}  // namespace
