// The message queue of the headless window system: order, quit, idle loops that end instead of
// hanging, timers on the virtual clock, scripted user actions, modal dialogs and the dialog
// keyboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/draw.h"
#include "platform/system.h"
#include "platform/window.h"
#include "tests/sim/window_fixture.h"
#include "tests/sim/window_test_ids.h"

namespace {

using plat::Hwnd;

std::vector<plat::Msg> g_received;

plat::LResult RecordingWindow(Hwnd window, plat::Uint message, plat::WParam wParam,
                              plat::LParam lParam) {
    if (message == plat::kWmTimer || message == plat::kWmCommand || message >= plat::kWmUser ||
        message == plat::kWmPaint) {
        plat::Msg m;
        m.hwnd = window;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        g_received.push_back(m);
    }
    if (message == plat::kWmDestroy) plat::PostQuitMessage(0);
    return plat::DefWindowProc(window, message, wParam, lParam);
}

std::intptr_t g_endWith = -2;  // the result EndDialog gets on a command; -2: do not end

std::intptr_t RecordingDialog(Hwnd dialog, plat::Uint message, plat::WParam wParam,
                              plat::LParam lParam) {
    if (message == plat::kWmCommand) {
        plat::Msg m;
        m.hwnd = dialog;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        g_received.push_back(m);
        // Notifications (EN_SETFOCUS...) do not end it, clicks do.
        if (g_endWith != -2 && plat::HiWord(wParam) == 0)
            plat::EndDialog(dialog, g_endWith == -3 ? plat::LoWord(wParam) : g_endWith);
        return 1;
    }
    return message == plat::kWmInitDialog ? 1 : 0;
}

std::vector<plat::Uint> Messages() {
    std::vector<plat::Uint> messages;
    for (const plat::Msg& m : g_received) messages.push_back(m.message);
    return messages;
}

class MessagesTest : public WindowSystemTest {
  protected:
    void SetUp() override {
        WindowSystemTest::SetUp();
        g_received.clear();
        g_endWith = -2;
        plat::WndClass wc;
        wc.className = "Recorder";
        wc.wndProc = RecordingWindow;
        ASSERT_TRUE(plat::RegisterWindowClass(wc));
        window_ =
            plat::CreateWindow(0, "Recorder", "r", plat::kWsOverlappedWindow, 0, 0, 200, 100, 0, 0);
    }
    // The program's own loop: GetMessage / IsDialogMessage / Translate / Dispatch.
    int RunLoop(Hwnd dialog = 0) {
        plat::Msg msg;
        while (plat::GetMessage(&msg) > 0) {
            if (dialog != 0 && plat::IsDialogMessage(dialog, &msg)) continue;
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
        return static_cast<int>(msg.wParam);
    }
    Hwnd window_ = 0;
};

TEST_F(MessagesTest, PostedMessagesComeInOrderAndQuitAfterThem) {
    plat::PostMessage(window_, plat::kWmUser + 1, 1, 0);
    plat::PostQuitMessage(7);
    plat::PostMessage(window_, plat::kWmUser + 2, 2, 0);
    EXPECT_EQ(RunLoop(), 7);
    EXPECT_EQ(Messages(), (std::vector<plat::Uint>{plat::kWmUser + 1, plat::kWmUser + 2}));
    EXPECT_EQ(sim::ui::LastLoopEnd(), sim::ui::LoopEnd::Quit);
    EXPECT_EQ(sim::ui::QuitCode(), 7);
    EXPECT_FALSE(sim::ui::QuitPending());
}

TEST_F(MessagesTest, AnEmptyQueueEndsTheLoopAsIdle) {
    plat::Msg msg;
    EXPECT_EQ(plat::GetMessage(&msg), 0);
    EXPECT_EQ(msg.message, plat::kWmQuit);
    EXPECT_EQ(sim::ui::LastLoopEnd(), sim::ui::LoopEnd::Idle);
    EXPECT_FALSE(sim::ui::QuitCode().has_value());
}

TEST_F(MessagesTest, SendIsImmediateAndPumpDispatchesPosts) {
    plat::PostMessage(window_, plat::kWmUser + 1, 0, 0);
    plat::SendMessage(window_, plat::kWmUser + 2, 0, 0);
    EXPECT_EQ(Messages(), (std::vector<plat::Uint>{plat::kWmUser + 2}));
    EXPECT_EQ(sim::ui::PumpMessages(), 1);
    EXPECT_EQ(Messages().back(), plat::kWmUser + 1);
    EXPECT_FALSE(plat::PostMessage(0x999999, plat::kWmUser, 0, 0));
}

TEST_F(MessagesTest, ShowingAWindowPaintsItOnce) {
    plat::ShowWindow(window_, plat::kSwShow);
    sim::ui::PumpMessages();
    EXPECT_EQ(Messages(), (std::vector<plat::Uint>{plat::kWmPaint}));
    EXPECT_EQ(sim::ui::Info(window_).paintCount, 1);
    plat::InvalidateRect(window_, nullptr, true);
    plat::UpdateWindow(window_);
    EXPECT_EQ(sim::ui::Info(window_).paintCount, 2);
    EXPECT_EQ(sim::ui::PumpMessages(), 0);
}

TEST_F(MessagesTest, TimersRunOnTheVirtualClock) {
    EXPECT_EQ(plat::SetTimer(window_, 1, 500), 1u);
    EXPECT_EQ(sim::ui::PumpMessages(), 0);
    sim::ui::AdvanceClock(499);
    EXPECT_EQ(sim::ui::PumpMessages(), 0);
    sim::ui::AdvanceClock(1);
    EXPECT_EQ(sim::ui::PumpMessages(), 1);
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].message, plat::kWmTimer);
    EXPECT_EQ(g_received[0].wParam, 1u);
    // Expirations that piled up give one message, and the timer starts again from now.
    sim::ui::AdvanceClock(2000);
    EXPECT_EQ(sim::ui::PumpMessages(), 1);
    EXPECT_EQ(sim::ui::Timers().at(0).due, sim::ui::Now() + 500);
    EXPECT_TRUE(plat::KillTimer(window_, 1));
    EXPECT_FALSE(plat::KillTimer(window_, 1));
    sim::ui::AdvanceClock(5000);
    EXPECT_EQ(sim::ui::PumpMessages(), 0);
    // Sleeping moves the same clock.
    plat::SetTimer(window_, 2, 100);
    plat::Sleep(100);
    EXPECT_EQ(sim::ui::PumpMessages(), 1);
}

TEST_F(MessagesTest, UserActionsRunWhenTheLoopWouldWait) {
    plat::SetTimer(window_, 1, 500);
    int ticks = 0;
    for (int i = 0; i < 3; ++i) {
        sim::ui::ScriptUserAction([&] {
            ++ticks;
            sim::ui::AdvanceClock(500);
        });
    }
    sim::ui::ScriptUserAction([this] { plat::DestroyWindow(window_); });
    EXPECT_EQ(RunLoop(), 0);
    EXPECT_EQ(ticks, 3);
    std::vector<plat::Uint> messages = Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), plat::kWmTimer), 3);
    EXPECT_EQ(sim::ui::LastLoopEnd(), sim::ui::LoopEnd::Quit);
    EXPECT_EQ(sim::ui::PendingUserActions(), 0u);
}

TEST_F(MessagesTest, RunUntilIdleRunsActionsAndLeavesTheQuitForTheProgram) {
    sim::ui::ScriptUserAction([this] { plat::PostMessage(window_, plat::kWmUser + 5, 0, 0); });
    sim::ui::ScriptUserAction([] { plat::PostQuitMessage(1); });
    sim::ui::ScriptUserAction([] { ADD_FAILURE() << "runs after the quit"; });
    EXPECT_EQ(sim::ui::RunUntilIdle(), sim::ui::LoopEnd::Quit);
    EXPECT_EQ(Messages(), (std::vector<plat::Uint>{plat::kWmUser + 5}));
    EXPECT_TRUE(sim::ui::QuitPending());
    EXPECT_EQ(RunLoop(), 1);
    EXPECT_EQ(sim::ui::PendingUserActions(), 1u);
    sim::ui::Reset();
    EXPECT_EQ(sim::ui::PendingUserActions(), 0u);
}

TEST_F(MessagesTest, ModalDialogEndsWithTheScriptedClick) {
    g_endWith = 42;
    sim::ui::ScriptUserAction([] {
        Hwnd dialog = sim::ui::FindTopLevel("#32770", nullptr);
        EXPECT_TRUE(sim::ui::Info(dialog).shown);
        EXPECT_FALSE(plat::IsWindowEnabled(sim::ui::FindTopLevel("Recorder", nullptr)));
        EXPECT_TRUE(sim::ui::Click(dialog, 1001));
    });
    EXPECT_EQ(plat::DialogBoxFromResource(IDD_KIT, window_, RecordingDialog), 42);
    EXPECT_EQ(plat::LoWord(g_received.at(0).wParam), 1001);
    EXPECT_EQ(sim::ui::FindTopLevel("#32770", nullptr), 0u);
    // The owner is enabled again.
    EXPECT_TRUE(plat::IsWindowEnabled(window_));
}

TEST_F(MessagesTest, ModalDialogWithNothingToDoGivesUp) {
    EXPECT_EQ(plat::DialogBoxFromResource(IDD_KIT, 0, RecordingDialog), -1);
    EXPECT_EQ(sim::ui::AbandonedModalLoops(), 1);
    EXPECT_EQ(sim::ui::LastLoopEnd(), sim::ui::LoopEnd::Idle);
}

TEST_F(MessagesTest, EnterPressesTheFocusedPushButtonElseTheDefaultOne) {
    g_endWith = -3;  // end with the command id
    sim::ui::ScriptUserAction([] {
        Hwnd dialog = sim::ui::FindTopLevel("#32770", nullptr);
        plat::SetFocus(plat::GetDlgItem(dialog, IDC_ENTRY));
        sim::ui::PressEnter(dialog);
    });
    EXPECT_EQ(plat::DialogBoxFromResource(IDD_KIT, 0, RecordingDialog), 1000);
    sim::ui::ScriptUserAction([] {
        Hwnd dialog = sim::ui::FindTopLevel("#32770", nullptr);
        plat::SetFocus(plat::GetDlgItem(dialog, 1002));
        sim::ui::PressEnter(dialog);
    });
    EXPECT_EQ(plat::DialogBoxFromResource(IDD_KIT, 0, RecordingDialog), 1002);
    // A disabled default button makes Enter do nothing; Escape is Cancel.
    sim::ui::ScriptUserAction([] {
        Hwnd dialog = sim::ui::FindTopLevel("#32770", nullptr);
        plat::EnableWindow(plat::GetDlgItem(dialog, 1000), false);
        plat::SetFocus(plat::GetDlgItem(dialog, IDC_ENTRY));
        sim::ui::PressEnter(dialog);
    });
    sim::ui::ScriptUserAction(
        [] { sim::ui::PressEscape(sim::ui::FindTopLevel("#32770", nullptr)); });
    EXPECT_EQ(plat::DialogBoxFromResource(IDD_KIT, 0, RecordingDialog), plat::kIdCancel);
}

TEST_F(MessagesTest, EnterWithoutDefaultButtonIsIdOk) {
    Hwnd dialog = plat::CreateDialogFromResource(IDD_WIZARD, 0, RecordingDialog);
    plat::ShowWindow(dialog, plat::kSwShow);
    plat::SetFocus(0);  // no push button has the focus
    sim::ui::PressEnter(dialog);
    sim::ui::PumpMessages();
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].wParam, static_cast<plat::WParam>(plat::kIdOk));
    EXPECT_EQ(g_received[0].lParam, 0);
}

TEST_F(MessagesTest, TabMovesAlongTheTabStops) {
    Hwnd dialog = plat::CreateDialogFromResource(IDD_VISIBLE, 0, RecordingDialog);
    Hwnd edit = plat::GetDlgItem(dialog, 301);
    Hwnd ok = plat::GetDlgItem(dialog, plat::kIdOk);
    ASSERT_EQ(plat::GetFocus(), edit);
    plat::SetWindowText(edit, "abc");
    sim::ui::PressKey(dialog, plat::kVkTab);
    sim::ui::PumpMessages();
    EXPECT_EQ(plat::GetFocus(), ok);
    sim::ui::PressKey(dialog, plat::kVkTab, true);
    sim::ui::PumpMessages();
    EXPECT_EQ(plat::GetFocus(), edit);
    EXPECT_EQ(sim::ui::Info(edit).selectionEnd, 3u);  // the dialog selects the whole text
}

TEST_F(MessagesTest, CloseBoxOfADialogIsCancelUnlessCancelIsDisabled) {
    Hwnd dialog = plat::CreateDialogFromResource(IDD_KIT, 0, RecordingDialog);
    EXPECT_TRUE(sim::ui::CloseBox(dialog));
    sim::ui::PumpMessages();
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(plat::LoWord(g_received[0].wParam), plat::kIdCancel);
    plat::EnableWindow(plat::GetDlgItem(dialog, plat::kIdCancel), false);
    sim::ui::CloseBox(dialog);
    sim::ui::PumpMessages();
    EXPECT_EQ(g_received.size(), 1u);
    EXPECT_EQ(sim::ui::Beeps(), 1);
}

TEST_F(MessagesTest, CloseBoxOfAWindowDestroysIt) {
    plat::ShowWindow(window_, plat::kSwShow);
    sim::ui::CloseBox(window_);
    EXPECT_FALSE(plat::IsWindow(window_));
    EXPECT_EQ(RunLoop(), 0);
    EXPECT_EQ(sim::ui::LastLoopEnd(), sim::ui::LoopEnd::Quit);
}

TEST_F(MessagesTest, QuitInsideAModalDialogEndsItAndStaysForTheOuterLoop) {
    sim::ui::ScriptUserAction([] { plat::PostQuitMessage(3); });
    EXPECT_EQ(plat::DialogBoxFromResource(IDD_KIT, 0, RecordingDialog), 0);
    EXPECT_TRUE(sim::ui::QuitPending());
    EXPECT_EQ(RunLoop(), 3);
}

}  // namespace
