// Start-up: the mode from the argument text, the log window, the message loop, the exit code.
#include <gtest/gtest.h>

#include "tests/plugmaj/plugmaj_fixture.h"

namespace {

using plugtest::PlugmajTest;

TEST(PlugmajMode, OnlyTheFourExactLettersShowTheWindow) {
    for (const char* shown : {"h", "H"}) {
        EXPECT_TRUE(plug::ModeFromArgument(shown).shown) << shown;
        EXPECT_FALSE(plug::ModeFromArgument(shown).remove) << shown;
    }
    for (const char* removal : {"d", "D"}) {
        EXPECT_TRUE(plug::ModeFromArgument(removal).shown) << removal;
        EXPECT_TRUE(plug::ModeFromArgument(removal).remove) << removal;
    }
    for (const char* silent : {"", "/h", "-h", "h ", " h", "hd", "/d", "d ", "x", "D\t"}) {
        EXPECT_FALSE(plug::ModeFromArgument(silent).shown) << '"' << silent << '"';
        EXPECT_FALSE(plug::ModeFromArgument(silent).remove) << '"' << silent << '"';
    }
    EXPECT_FALSE(plug::ModeFromArgument(nullptr).shown);
}

TEST_F(PlugmajTest, SilentRunInstallsInAHiddenWindowAndEndsAtOnce) {
    for (const char* argument : {"", "/h", "h ", "-d"}) {
        SCOPED_TRACE(argument);
        plat::RegDeleteKey(plat::kHkeyClassesRoot, "vtxfile");
        sim::ui::Reset();
        // Something for a message loop to do, if one ran.
        sim::ui::ScriptUserAction([] {});
        plugtest::RunResult run = RunAndRead(argument);
        EXPECT_EQ(run.exitCode, 0);
        ASSERT_NE(run.window, 0u);
        sim::ui::WindowInfo info = sim::ui::Info(run.window);
        EXPECT_FALSE(info.visible);
        EXPECT_EQ(info.className, "CFenetre");
        EXPECT_EQ(info.text, "Fenêtre provisoire qu'on ne devrait pas voir !");
        ASSERT_EQ(run.log.size(), 15u);
        EXPECT_EQ(run.log[2], "Le plug-in n'y est pas : installation");
        EXPECT_EQ(sim::ui::LastLoopEnd(), sim::ui::LoopEnd::None);
        EXPECT_EQ(sim::ui::PendingUserActions(), 1u);
    }
}

TEST_F(PlugmajTest, ShownModesWaitUntilTheWindowIsClosed) {
    for (const char* argument : {"h", "H", "d", "D"}) {
        SCOPED_TRACE(argument);
        sim::ui::Reset();
        bool visibleWhenClosed = false;
        std::size_t linesWhenClosed = 0;
        sim::ui::ScriptUserAction([&] {
            plat::Hwnd window = sim::ui::FindTopLevel("CFenetre", nullptr);
            visibleWhenClosed = sim::ui::Info(window).visible;
            linesWhenClosed = sim::ui::TextsDrawn(window).size();
            sim::ui::CloseBox(window);
        });
        EXPECT_EQ(plug::RunPlugmaj(argument), 0);
        // The loop ran after the whole log, and ended on the quit message of the close box.
        EXPECT_TRUE(visibleWhenClosed);
        EXPECT_GE(linesWhenClosed, 8u);
        EXPECT_EQ(sim::ui::LastLoopEnd(), sim::ui::LoopEnd::Quit);
        EXPECT_EQ(sim::ui::QuitCode(), 0);
        plat::Hwnd window = sim::ui::FindTopLevel("CFenetre", nullptr);
        EXPECT_TRUE(window == 0 || sim::ui::Info(window).destroyed);
    }
}

TEST_F(PlugmajTest, LogWindowHasItsPlaceSizeAndStyle) {
    plugtest::RunResult run = Start("h");
    sim::ui::WindowInfo info = sim::ui::Info(run.window);
    EXPECT_TRUE(info.visible);
    EXPECT_EQ(info.parent, 0u);
    EXPECT_EQ(info.screenRect, (plat::Rect{0, 0, 1000, 400}));
    EXPECT_EQ(info.style & plat::kWsOverlappedWindow, plat::kWsOverlappedWindow);
    EXPECT_EQ(info.style & (plat::kWsChild | plat::kWsPopup), 0u);
    // The log is drawn in the default font and colours of the window's own client area.
    for (const auto& op : sim::ui::TextsDrawn(run.window)) {
        EXPECT_TRUE(op.windowVisible);
        EXPECT_EQ(op.textColor, plat::Rgb(0, 0, 0));
        EXPECT_EQ(op.paintCycle, 0);
    }
    EXPECT_EQ(sim::ui::LiveDeviceContexts(), 0);
}

TEST_F(PlugmajTest, ShownInstallationLogsLikeTheSilentOne) {
    plugtest::RunResult shown = Start("H");
    plat::RegDeleteKey(plat::kHkeyClassesRoot, "vtxfile");
    plugtest::RunResult silent = Start("");
    EXPECT_EQ(shown.log, silent.log);
    EXPECT_EQ(shown.log.size(), 15u);
}

TEST_F(PlugmajTest, WindowClassRefusedEndsTheRunBeforeAnyAction) {
    sim::ui::Reset();
    ASSERT_TRUE(plug::RegisterLogWindowClass());
    sim::ClearRegistryCalls();
    EXPECT_EQ(plug::RunPlugmaj("h"), 0);
    EXPECT_TRUE(sim::ui::TopLevelWindows().empty());
    EXPECT_TRUE(sim::RegistryCalls().empty());
    EXPECT_FALSE(plugtest::FileExists("C:\\IE\\quadterm.exe"));
    EXPECT_EQ(sim::ui::LastLoopEnd(), sim::ui::LoopEnd::None);
}

}  // namespace
