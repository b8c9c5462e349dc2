// What the wizard window does with the messages and errors its steps give it: notifications
// that are not clicks, warnings, timers other than the wait timer, and its own drawing.
#include <gtest/gtest.h>

#include <string>

#include "tests/cnxassist/wizard_fixture.h"
#include "tests/support/bmp_writer.h"

namespace {

using cnxtest::WizardTest;
using cnxtest::WriteKitFile;

constexpr plat::Uint kEnChange = 0x0300;

std::string TwoPlainSteps() {
    return cnxtest::GeneralSection() + cnxtest::IdentWindowSection() +
           "[Etape1]\r\nSuivants=Etape2\r\nPresenceSuivant=2\r\n"
           "[Etape2]\r\nSuivants=Etape1\r\nPresencePrecedent=2\r\n";
}

// A step of the section Etape1 that raises what the test asks, where the test asks.
class RaisingStep : public CEtape {
  public:
    RaisingStep(plat::Hwnd window, const plat::Rect* pageRect)
        : CEtape(window, nullptr, pageRect, "Etape1") {}
    void OnEnter() override {
        if (enterCode >= 0) throw CEtapeException(enterCode, "entrée %d", enterCode);
    }
    void OnLeave() override {
        if (leaveCode >= 0) throw CEtapeException(leaveCode, "sortie %d", leaveCode);
    }
    int GoNext(int fromTimer) override {
        ++goNextCalls;
        if (goNextCode >= 0) throw CEtapeException(goNextCode, "suivante %d", goNextCode);
        return CEtape::GoNext(fromTimer);
    }

    int enterCode = -1;
    int leaveCode = -1;
    int goNextCode = -1;
    int goNextCalls = 0;
};

class WindowRouting : public WizardTest {
  protected:
    // Starts on Etape1, then puts a raising step of the same section in its place.
    RaisingStep* StartWithRaisingStep() {
        WriteKitFile("cfg.ini", TwoPlainSteps());
        Start();
        EXPECT_EQ(Current(), "Etape1");
        raising_ = new RaisingStep(Window(), &g_assistant->m_pageRect);
        replaced_ = g_assistant->m_current;
        g_assistant->m_current = raising_;
        return raising_;
    }
    void TearDown() override {
        if (raising_ != nullptr && g_assistant != nullptr) {
            // The root's tree owns every step but the one the test made.
            g_assistant->m_current = replaced_;
            g_assistant->m_left = nullptr;
        }
        delete raising_;
        WizardTest::TearDown();
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& box : sim::ui::MessageBoxes()) {
            EXPECT_EQ(box.flags & plat::kMbIconMask, plat::kMbIconStop) << box.text;
            texts.push_back(box.text);
        }
        return texts;
    }

    RaisingStep* raising_ = nullptr;
    CEtape* replaced_ = nullptr;
};

TEST_F(WindowRouting, NotificationsOtherThanClicksAreIgnored) {
    WriteKitFile("boutons.txt",
                 "fenetre(0,300,100)((saisie,1,150,30,\"nom\") a_gauche_de "
                 "(bouton,2,150,30,\"Non\",3))");
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection("Bouton1") +
                                "[Bouton1]\r\nSuivants=EtapeA,EtapeB\r\nNbBoutons=2\r\n"
                                "Description=boutons.txt\r\nPresenceSuivant=2\r\n"
                                "[EtapeA]\r\nSuivants=EtapeA\r\n[EtapeB]\r\nSuivants=EtapeB\r\n");
    Start();
    ASSERT_EQ(Current(), "Bouton1");
    plat::Hwnd field = plat::GetDlgItem(Window(), kFirstControlId);
    // Typing in the field numbered 1 changes its text; it is no click on choice 1.
    sim::ui::TypeText(field, "x");
    plat::SendMessage(Window(), plat::kWmCommand,
                      (static_cast<plat::WParam>(kEnChange) << 16) | kFirstControlId, field);
    // Nor is a notification on the Next button.
    plat::SendMessage(Window(), plat::kWmCommand,
                      (static_cast<plat::WParam>(kEnChange) << 16) | ID_SUIVANT, 0);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "Bouton1");
    // A click on the same id chooses and moves on.
    plat::SendMessage(Window(), plat::kWmCommand, kFirstControlId, field);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "EtapeA");
}

TEST_F(WindowRouting, AWarningFromOnEnterIsShownAndTheStepIsShown) {
    RaisingStep* step = StartWithRaisingStep();
    step->enterCode = 2;
    // The step's Show enables Next again (presence 2).
    plat::EnableWindow(plat::GetDlgItem(Window(), ID_SUIVANT), false);
    plat::PostMessage(Window(), MSG_STEP_CHANGED, 0, 0);
    sim::ui::PumpMessages();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"entrée 2"});
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(Button(ID_SUIVANT).enabled);
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Etape2");
}

TEST_F(WindowRouting, AWarningFromOnLeaveOrGoNextIsShownAndTheWizardGoesOn) {
    RaisingStep* step = StartWithRaisingStep();
    step->goNextCode = 5;
    Click(ID_SUIVANT);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"suivante 5"});
    EXPECT_FALSE(Ended());
    EXPECT_EQ(Current(), "Etape1");

    step->goNextCode = -1;
    step->leaveCode = 1;
    Click(ID_SUIVANT);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"suivante 5", "sortie 1"}));
    EXPECT_FALSE(Ended());
    EXPECT_EQ(Current(), "Etape2");
}

TEST_F(WindowRouting, AFatalOnLeaveErrorEndsTheRunWithoutGoNext) {
    RaisingStep* step = StartWithRaisingStep();
    step->leaveCode = 0;
    Click(ID_SUIVANT);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"sortie 0"});
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    EXPECT_EQ(step->goNextCalls, 0);
    EXPECT_EQ(Current(), "Etape1");
}

TEST_F(WindowRouting, TimersOtherThanTheWaitTimerAreIgnored) {
    WriteKitFile("cfg.ini", TwoPlainSteps());
    Start();
    // No watched program runs: the wait timer would move on at its first tick.
    plat::SetTimer(Window(), kWaitTimerId + 1, kWaitTimerMilliseconds);
    sim::ui::AdvanceClock(kWaitTimerMilliseconds);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "Etape1");
    ASSERT_EQ(sim::ui::Timers().size(), 1u);
    EXPECT_EQ(sim::ui::Timers()[0].id, kWaitTimerId + 1u);
    plat::SetTimer(Window(), kWaitTimerId, kWaitTimerMilliseconds);
    sim::ui::AdvanceClock(kWaitTimerMilliseconds);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "Etape2");
}

TEST_F(WindowRouting, DecorationBitmapsAreDrawnAtTheirPlaceInTheirNaturalSize) {
    std::map<std::string, std::string> general = {{"NbBitmaps", "20"}};
    for (int i = 1; i <= 20; ++i) {
        std::string n = std::to_string(i);
        WriteKitFile("deco" + n + ".bmp", testsupport::MakeBmp(10 + i, 5 + 2 * i, 8, 4));
        general["NomBitmap" + n] = "deco" + n + ".bmp";
        general["Bmpx" + n] = std::to_string(3 * i);
        general["Bmpy" + n] = std::to_string(100 + i);
    }
    WriteKitFile("cfg.ini", cnxtest::GeneralSection(general) + cnxtest::IdentWindowSection() +
                                "[Etape1]\r\nSuivants=Etape1\r\n");
    Start();
    ASSERT_TRUE(sim::ui::MessageBoxes().empty()) << sim::ui::MessageBoxes()[0].text;
    sim::ui::ClearDrawLog(Window());
    plat::InvalidateRect(Window(), nullptr, true);
    sim::ui::PumpMessages();
    std::vector<sim::ui::DrawOp> bitmaps;
    for (const auto& op : sim::ui::DrawLog(Window())) {
        if (op.kind == sim::ui::DrawKind::Bitmap) bitmaps.push_back(op);
    }
    ASSERT_EQ(bitmaps.size(), 20u);
    for (int i = 1; i <= 20; ++i) {
        SCOPED_TRACE(i);
        const auto& op = bitmaps[static_cast<std::size_t>(i - 1)];
        EXPECT_EQ(op.file, "C:\\KIT\\deco" + std::to_string(i) + ".bmp");
        EXPECT_EQ(op.rect, (plat::Rect{3 * i, 100 + i, 3 * i + 10 + i, 100 + i + 5 + 2 * i}));
        EXPECT_EQ(op.source.x, 0);
        EXPECT_EQ(op.source.y, 0);
        EXPECT_EQ(op.rasterOperation, plat::kSrcCopy);
    }
}

TEST_F(WindowRouting, TheLeftPageIsErasedWithTheInactiveBorderColour) {
    WriteKitFile("texte.txt", "fenetre(0,300,100)(ctexte,0,300,40,\"Bonjour\")");
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection() +
                                "[Etape1]\r\nSuivants=Etape2\r\nDescription=texte.txt\r\n"
                                "PresenceSuivant=2\r\n[Etape2]\r\nSuivants=Etape2\r\n");
    // A colour of its own, so that no other system colour can pass for it.
    sim::ui::SetSystemColor(plat::kColorInactiveBorder, plat::Rgb(12, 34, 56));
    Start();
    ASSERT_EQ(Current(), "Etape1");
    sim::ui::ClearDrawLog(Window());
    Click(ID_SUIVANT);
    ASSERT_EQ(Current(), "Etape2");
    std::vector<sim::ui::DrawOp> fills;
    for (const auto& op : sim::ui::DrawLog(Window())) {
        if (op.kind == sim::ui::DrawKind::Rectangle) fills.push_back(op);
    }
    ASSERT_FALSE(fills.empty());
    for (const auto& fill : fills) EXPECT_EQ(fill.brushColor, plat::Rgb(12, 34, 56));
}

}  // namespace
