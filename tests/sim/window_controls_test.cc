// Child controls of the headless window system: geometry in pixels, visibility, enabling,
// focus, check state and radio groups, edit text, notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/draw.h"
#include "platform/window.h"
#include "tests/sim/window_fixture.h"

namespace {

using plat::Hwnd;
using plat::Rect;

struct Command {
    int id;
    int code;
    Hwnd control;
};
std::vector<Command> g_commands;

plat::LResult ParentProc(Hwnd window, plat::Uint message, plat::WParam wParam,
                         plat::LParam lParam) {
    if (message == plat::kWmCommand) {
        g_commands.push_back(
            Command{plat::LoWord(wParam), plat::HiWord(wParam), static_cast<Hwnd>(lParam)});
        return 0;
    }
    return plat::DefWindowProc(window, message, wParam, lParam);
}

constexpr plat::Dword kChild = plat::kWsChild | plat::kWsVisible | plat::kWsTabStop;
constexpr plat::Dword kRadio = kChild | plat::kBsMultiLine | plat::kBsAutoRadioButton;

class ControlsTest : public WindowSystemTest {
  protected:
    void SetUp() override {
        WindowSystemTest::SetUp();
        g_commands.clear();
        plat::WndClass wc;
        wc.className = "CFenetre";
        wc.wndProc = ParentProc;
        wc.background = plat::GetStockObject(plat::kWhiteBrush);
        ASSERT_TRUE(plat::RegisterWindowClass(wc));
        window_ = plat::CreateWindow(0, "CFenetre", "Parent", plat::kWsOverlappedWindow, 0, 0, 1000,
                                     400, 0, 0);
        ASSERT_NE(window_, 0u);
        plat::ShowWindow(window_, plat::kSwShow);
    }
    Hwnd Radio(int id, int y, plat::Dword extra = 0) {
        return plat::CreateWindow(0, "BUTTON", "choix", kRadio | extra, 10, y, 300, 60, window_,
                                  id);
    }
    std::vector<int> CodesFor(int id) const {
        std::vector<int> codes;
        for (const Command& c : g_commands) {
            if (c.id == id) codes.push_back(c.code);
        }
        return codes;
    }
    Hwnd window_ = 0;
};

TEST_F(ControlsTest, OverlappedWindowFrameAndChildGeometry) {
    Rect r;
    ASSERT_TRUE(plat::GetClientRect(window_, &r));
    EXPECT_EQ(r, (Rect{0, 0, 992, 373}));  // thick frame 4, caption 19
    Hwnd radio = Radio(23046, 90);
    ASSERT_NE(radio, 0u);
    EXPECT_EQ(plat::GetDlgCtrlID(radio), 23046);
    EXPECT_EQ(plat::GetDlgItem(window_, 23046), radio);
    ASSERT_TRUE(plat::GetWindowRect(radio, &r));
    EXPECT_EQ(r, (Rect{14, 113, 314, 173}));
    plat::WindowPlacement placement;
    ASSERT_TRUE(plat::GetWindowPlacement(radio, &placement));
    EXPECT_EQ(placement.normalPosition, (Rect{10, 90, 310, 150}));
    EXPECT_EQ(placement.showCmd, static_cast<plat::Uint>(plat::kSwShowNormal));
    Hwnd edit = plat::CreateWindow(plat::kWsExClientEdge, "EDIT", "abc",
                                   kChild | plat::kEsAutoHScroll, 10, 50, 100, 30, window_, 23047);
    ASSERT_TRUE(plat::GetClientRect(edit, &r));
    EXPECT_EQ(r, (Rect{0, 0, 96, 26}));
    EXPECT_TRUE(plat::MoveWindow(edit, 20, 60, 50, 20, true));
    EXPECT_EQ(sim::ui::Info(edit).rect, (Rect{20, 60, 70, 80}));
    EXPECT_TRUE(plat::SetWindowPos(edit, plat::kHwndTop, 1, 2, 0, 0, plat::kSwpNoSize));
    EXPECT_EQ(sim::ui::Info(edit).rect, (Rect{1, 2, 51, 22}));
    EXPECT_EQ(sim::ui::Children(window_).front(), edit);  // placed on top
    // Positions and sizes out of all proportion are held to 16 bits, as when a window is made.
    EXPECT_TRUE(plat::SetWindowPos(edit, 0, 2147483647, -2147483647 - 1, 2147483647, -5,
                                   plat::kSwpNoZOrder));
    EXPECT_EQ(sim::ui::Info(edit).rect, (Rect{32767, -32768, 65534, -32768}));
    EXPECT_TRUE(plat::MoveWindow(edit, -2147483647 - 1, 2147483647, 70000, 2147483647, false));
    EXPECT_EQ(sim::ui::Info(edit).rect, (Rect{-32768, 32767, -1, 65534}));
    EXPECT_TRUE(plat::SetWindowPos(edit, 0, 0, 0, 2147483647, 2147483647,
                                   plat::kSwpNoMove | plat::kSwpNoZOrder));
    EXPECT_EQ(sim::ui::Info(edit).rect, (Rect{-32768, 32767, -1, 65534}));
}

TEST_F(ControlsTest, ChildWithoutParentOrUnknownClassFails) {
    EXPECT_EQ(plat::CreateWindow(0, "BUTTON", "x", kChild, 0, 0, 1, 1, 0, 1), 0u);
    EXPECT_EQ(plat::CreateWindow(0, "NoSuchClass", "x", kChild, 0, 0, 1, 1, window_, 1), 0u);
    plat::WndClass again;
    again.className = "cfenetre";
    again.wndProc = ParentProc;
    EXPECT_FALSE(plat::RegisterWindowClass(again));
}

TEST_F(ControlsTest, VisibilityFollowsTheParent) {
    Hwnd radio = Radio(1, 0);
    EXPECT_TRUE(plat::IsWindowVisible(radio));
    EXPECT_TRUE(plat::ShowWindow(radio, plat::kSwHide));
    EXPECT_FALSE(plat::IsWindowVisible(radio));
    EXPECT_FALSE(plat::ShowWindow(radio, plat::kSwShow));
    plat::ShowWindow(window_, plat::kSwHide);
    EXPECT_FALSE(plat::IsWindowVisible(radio));
    EXPECT_TRUE(sim::ui::Info(radio).visible);
}

TEST_F(ControlsTest, FocusRules) {
    Hwnd first = Radio(1, 0);
    Hwnd second = Radio(2, 60);
    EXPECT_EQ(plat::SetFocus(first), window_);
    EXPECT_EQ(plat::GetFocus(), first);
    // A disabled window refuses the focus; disabling the focus window takes it away.
    plat::EnableWindow(second, false);
    EXPECT_EQ(plat::SetFocus(second), 0u);
    EXPECT_EQ(plat::GetFocus(), first);
    EXPECT_FALSE(plat::EnableWindow(first, false));
    EXPECT_EQ(plat::GetFocus(), 0u);
    EXPECT_TRUE(plat::EnableWindow(first, true));  // was disabled
    EXPECT_TRUE(plat::IsWindowEnabled(first));
    // Hiding the focus window gives the focus back to its parent.
    plat::SetFocus(first);
    plat::ShowWindow(first, plat::kSwHide);
    EXPECT_EQ(plat::GetFocus(), window_);
}

TEST_F(ControlsTest, AutoRadioButtonsUncheckTheirVisibleGroup) {
    // Each group marked on its first button: children before the first WS_GROUP would belong
    // to the last group, as the dialog manager goes round the window's children.
    Hwnd a = Radio(1, 0, plat::kWsGroup);
    Hwnd b = Radio(2, 60);
    Hwnd hidden = Radio(3, 120);
    Hwnd otherGroup = Radio(4, 180, plat::kWsGroup);
    plat::SendMessage(a, plat::kBmSetCheck, plat::kBstChecked, 0);
    plat::SendMessage(hidden, plat::kBmSetCheck, plat::kBstChecked, 0);
    plat::SendMessage(otherGroup, plat::kBmSetCheck, plat::kBstChecked, 0);
    plat::ShowWindow(hidden, plat::kSwHide);
    ASSERT_TRUE(sim::ui::Click(b));
    EXPECT_EQ(plat::SendMessage(b, plat::kBmGetCheck, 0, 0), plat::kBstChecked);
    EXPECT_EQ(plat::SendMessage(a, plat::kBmGetCheck, 0, 0), plat::kBstUnchecked);
    // A hidden radio button, like one of a page that was left, keeps its state.
    EXPECT_EQ(plat::SendMessage(hidden, plat::kBmGetCheck, 0, 0), plat::kBstChecked);
    EXPECT_EQ(plat::IsDlgButtonChecked(window_, 4), static_cast<plat::Uint>(plat::kBstChecked));
    EXPECT_EQ(plat::GetFocus(), b);
    EXPECT_EQ(CodesFor(2), (std::vector<int>{plat::kBnClicked}));
    EXPECT_EQ(g_commands.back().control, b);
}

TEST_F(ControlsTest, ClickingAHiddenOrDisabledButtonDoesNothing) {
    Hwnd button = plat::CreateWindow(0, "BUTTON", "OK", kChild | plat::kBsDefPushButton, 0, 0, 80,
                                     20, window_, 7);
    plat::EnableWindow(button, false);
    EXPECT_FALSE(sim::ui::Click(button));
    plat::EnableWindow(button, true);
    plat::ShowWindow(button, plat::kSwHide);
    EXPECT_FALSE(sim::ui::Click(button));
    EXPECT_TRUE(g_commands.empty());
    plat::ShowWindow(button, plat::kSwShow);
    EXPECT_TRUE(sim::ui::Click(window_, 7));
    EXPECT_EQ(CodesFor(7), (std::vector<int>{plat::kBnClicked}));
    // BM_CLICK works for the program itself.
    plat::SendMessage(button, plat::kBmClick, 0, 0);
    EXPECT_EQ(CodesFor(7).size(), 2u);
    // A push button has no check state.
    plat::SendMessage(button, plat::kBmSetCheck, plat::kBstChecked, 0);
    EXPECT_EQ(plat::SendMessage(button, plat::kBmGetCheck, 0, 0), 0);
}

TEST_F(ControlsTest, EditTextCaretAndNotifications) {
    Hwnd edit = plat::CreateWindow(plat::kWsExClientEdge, "EDIT", "", kChild | plat::kEsAutoHScroll,
                                   0, 0, 200, 24, window_, 23050);
    ASSERT_TRUE(plat::SetWindowText(edit, "C:\\Program Files"));
    // Setting the text notifies the parent and puts the caret at the start.
    EXPECT_EQ(CodesFor(23050), (std::vector<int>{plat::kEnUpdate, plat::kEnChange}));
    plat::Dword start = 9;
    plat::Dword end = 9;
    plat::SendMessage(edit, plat::kEmGetSel, reinterpret_cast<plat::WParam>(&start),
                      reinterpret_cast<plat::LParam>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    // The End key takes the caret to the end, where typing goes on.
    plat::SendMessage(edit, plat::kWmKeyDown, plat::kVkEnd, 0);
    g_commands.clear();
    ASSERT_TRUE(sim::ui::TypeText(edit, "\\Kit"));
    char text[64];
    plat::GetWindowText(edit, text, sizeof text);
    EXPECT_STREQ(text, "C:\\Program Files\\Kit");
    std::vector<int> codes = CodesFor(23050);
    EXPECT_EQ(codes.front(), plat::kEnSetFocus);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), plat::kEnChange), 4);
    ASSERT_TRUE(sim::ui::ReplaceText(edit, "D:\\"));
    EXPECT_EQ(plat::GetWindowTextLength(edit), 3);
    // Cut to the caller's buffer.
    EXPECT_EQ(plat::GetWindowText(edit, text, 3), 2);
    EXPECT_STREQ(text, "D:");
    plat::EnableWindow(edit, false);
    EXPECT_FALSE(sim::ui::TypeText(edit, "x"));
}

TEST_F(ControlsTest, DestroyingAWindowDestroysItsChildrenAndKeepsTheirRecord) {
    Hwnd radio = Radio(1, 0);
    plat::SetFocus(radio);
    EXPECT_TRUE(plat::DestroyWindow(window_));
    EXPECT_FALSE(plat::IsWindow(radio));
    EXPECT_FALSE(plat::IsWindow(window_));
    EXPECT_EQ(plat::GetFocus(), 0u);
    EXPECT_TRUE(sim::ui::Info(radio).destroyed);
    EXPECT_EQ(plat::FindWindow("CFenetre", nullptr), 0u);
    EXPECT_FALSE(plat::DestroyWindow(window_));
}

}  // namespace
