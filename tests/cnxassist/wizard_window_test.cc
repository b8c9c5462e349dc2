// The wizard window: start-up, placement, navigation through plain steps, quitting, errors.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cnxassist/process_watch.h"
#include "cnxassist/step_file.h"
#include "tests/cnxassist/wizard_fixture.h"

namespace {

using cnxtest::WizardTest;
using cnxtest::WriteKitFile;

const char* const kCaption = "Fermeture de l'assistant de connexion à Telvora";

std::string ThreePlainSteps(const std::string& general = cnxtest::GeneralSection()) {
    return general + cnxtest::IdentWindowSection() +
           "[Etape1]\r\nSuivants=Etape2\r\nPresencePrecedent=2\r\nPresenceSuivant=3\r\n"
           "[Etape2]\r\nSuivants=Etape3\r\nPresencePrecedent=2\r\nPresenceSuivant=2\r\n"
           "PresenceQuitter=0\r\n"
           "[Etape3]\r\nSuivants=Etape1\r\nPresencePrecedent=2\r\nPresenceSuivant=1\r\n";
}

TEST(StepFileChoice, CommandLineSelectsTheStepFileOrTheVersionBox) {
    EXPECT_EQ(cnx::ChooseStepFile("").stepFile, "cfg.ini");
    EXPECT_EQ(cnx::ChooseStepFile("auto").stepFile, "cfg.ini");
    EXPECT_EQ(cnx::ChooseStepFile("/auto").stepFile, "cfgauto.ini");
    EXPECT_EQ(cnx::ChooseStepFile("/auto x").stepFile, "cfgauto .ini");
    EXPECT_EQ(cnx::ChooseStepFile("/abcdefg").stepFile, "cfgabcde.ini");
    EXPECT_EQ(cnx::ChooseStepFile("x /a/b").stepFile, "cfga/b.ini");
    EXPECT_EQ(cnx::ChooseStepFile("/ver").stepFile, "cfgver.ini");
    EXPECT_TRUE(cnx::ChooseStepFile("/Ver").showVersion);
    EXPECT_TRUE(cnx::ChooseStepFile("/Version").showVersion);
}

TEST_F(WizardTest, VersionBoxEndsWithCodeOneWithoutAWindow) {
    EXPECT_EQ(cnx::RunWizard("/Ver"), 1);
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    const auto& box = sim::ui::MessageBoxes()[0];
    EXPECT_EQ(box.caption, "Version Configurateur");
    EXPECT_EQ(box.text, "Numero Version ( 1.0.0 )   \nDate Version ( 17/12/1998 )   ");
    EXPECT_EQ(box.flags & plat::kMbIconMask, plat::kMbIconInformation);
    EXPECT_TRUE(sim::ui::TopLevelWindows().empty());
}

TEST_F(WizardTest, StartUpCentresTheWindowAndWalksToTheFirstStep) {
    WriteKitFile("cfg.ini", ThreePlainSteps());
    Start();
    EXPECT_EQ(Current(), "Etape1");
    auto window = sim::ui::Info(Window());
    EXPECT_EQ(window.text, "Assistant de connexion Telvora");
    EXPECT_TRUE(window.visible);
    // 641 is rounded down to 640; the position uses half of 641, rounded toward zero.
    EXPECT_EQ(window.screenRect.right - window.screenRect.left, 640);
    EXPECT_EQ(window.screenRect.bottom - window.screenRect.top, 400);
    EXPECT_EQ(window.screenRect.left, 1024 / 2 - 641 / 2);
    EXPECT_EQ(window.screenRect.top, 768 / 2 - 400 / 2);
    EXPECT_EQ(Button(ID_PRECEDENT).rect.left, 100);
    EXPECT_EQ(Button(ID_PRECEDENT).rect.top, 350);
    EXPECT_EQ(Button(ID_SUIVANT).rect.left, 400);
    EXPECT_EQ(Button(ID_QUITTER).rect.left, 250);
    EXPECT_EQ(Button(ID_PRECEDENT).text, "< Précédent");
    // Presence 3 enables the Next button and gives it the focus; 2 enables.
    EXPECT_TRUE(Button(ID_SUIVANT).enabled);
    EXPECT_TRUE(Button(ID_SUIVANT).focused);
    EXPECT_TRUE(Button(ID_PRECEDENT).enabled);
    EXPECT_TRUE(Button(ID_QUITTER).visible);
    EXPECT_FALSE(Button(ID_QUITTER).enabled);  // presence 1: shown and disabled
}

TEST_F(WizardTest, NextAndPreviousRetraceThePathAndReuseSteps) {
    WriteKitFile("cfg.ini", ThreePlainSteps());
    Start();
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_FALSE(Button(ID_QUITTER).visible);
    CEtape* second = g_assistant->m_current;
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Etape3");
    EXPECT_FALSE(Button(ID_SUIVANT).enabled);
    Click(ID_PRECEDENT);
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_EQ(g_assistant->m_current, second);
    Click(ID_PRECEDENT);
    // Back on the root: it checks again and comes straight back to the same step.
    Click(ID_PRECEDENT);
    EXPECT_EQ(Current(), "Etape1");
    Click(ID_SUIVANT);
    EXPECT_EQ(g_assistant->m_current, second);
    EXPECT_FALSE(Ended());
}

TEST_F(WizardTest, QuitAsksAndNoLeavesEverythingYesEndsWithCodeOne) {
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection() +
                                "[Etape1]\r\nSuivants=Etape2\r\nPresenceQuitter=2\r\n");
    WriteKitFile("modele_0.ins", "[User]\r\nPassword=secret\r\n");
    plat::SetFileAttributes("C:\\KIT\\modele_0.ins", plat::kFileAttributeReadOnly);
    Start();
    sim::ui::ScriptMessageBoxAnswer(plat::kIdNo);
    Click(ID_QUITTER);
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text, "Etes-vous sûr de vouloir quitter l'installation ?");
    EXPECT_EQ(sim::ui::MessageBoxes()[0].caption, kCaption);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].flags, plat::kMbYesNo | plat::kMbIconQuestion);
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
    sim::ui::ScriptMessageBoxAnswer(plat::kIdYes);
    Click(ID_QUITTER);
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
    EXPECT_EQ(cnx::RunMessageLoop(Window()), 1);
}

TEST_F(WizardTest, EnterAndEscapeDoNothing) {
    // With no button that has the focus, Enter and Escape give the dialog's OK and Cancel
    // commands, which the wizard ignores.
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection() +
                                "[Etape1]\r\nSuivants=Etape2\r\n[Etape2]\r\nSuivants=Etape1\r\n");
    Start();
    sim::ui::PressEnter(Window());
    sim::ui::PumpMessages();
    sim::ui::PressEscape(Window());
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "Etape1");
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(sim::ui::MessageBoxes().empty());
}

struct GeneralCase {
    const char* name;
    std::string general;
};

TEST_F(WizardTest, IncompleteGeneralSectionIsFatal) {
    const GeneralCase cases[] = {
        {"Tl missing", cnxtest::GeneralSection({{"Tl", ""}})},
        {"Cy -1", cnxtest::GeneralSection({{"Cy", "-1"}})},
        {"too many bitmaps", cnxtest::GeneralSection({{"NbBitmaps", "21"}})},
        {"bitmap missing",
         cnxtest::GeneralSection(
             {{"NbBitmaps", "1"}, {"NomBitmap1", "absent.bmp"}, {"Bmpx1", "0"}, {"Bmpy1", "0"}})},
        {"bitmap name empty",
         cnxtest::GeneralSection({{"NbBitmaps", "1"}, {"Bmpx1", "0"}, {"Bmpy1", "0"}})},
    };
    for (const GeneralCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::ui::Reset();
        WriteKitFile("cfg.ini",
                     c.general + cnxtest::IdentWindowSection() + "[Etape1]\r\nSuivants=X\r\n");
        Start();
        ASSERT_FALSE(sim::ui::MessageBoxes().empty());
        EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
                  "probleme dans la section 'General' du fichier ini");
        EXPECT_EQ(sim::ui::MessageBoxes()[0].caption, kCaption);
        EXPECT_EQ(sim::ui::MessageBoxes()[0].flags & plat::kMbIconMask, plat::kMbIconStop);
        EXPECT_EQ(sim::ui::QuitCode(), 1);
        cnx::EndWizard();
    }
}

// The working sign-up file's path must fit its 127 characters in the sign-up steps: a longer
// working directory stops the run at start-up, before the root step's registry script.
TEST_F(WizardTest, AWorkingDirectoryTooLongForTheSignupFileIsFatalAtStartUp) {
    // C:\KIT\ and the folder: 114 characters leave exactly 127 with "\modele_0.ins".
    for (std::size_t length : {107u, 108u}) {
        SCOPED_TRACE(length);
        sim::ui::Reset();
        const std::string name = "Racine" + std::to_string(length);
        const std::string mark =
            "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Software\\Marques\r\n"
            "I000.Nom=" +
            name + "\r\nI000.Type=c\r\nI000.Valeur=1\r\n";
        const std::string folder = "C:\\KIT\\" + std::string(length, 'd');
        ASSERT_TRUE(plat::CreateDirectory(folder.c_str()));
        ASSERT_TRUE(plat::SetCurrentDirectory(folder.c_str()));
        ASSERT_TRUE(plat::WriteWholeFile((folder + "\\ISIGNUP.EXE").c_str(), "stand-in"));
        cnx::ForgetWorkingDirectory();
        ASSERT_TRUE(plat::WriteWholeFile((folder + "\\cfg.ini").c_str(),
                                         cnxtest::GeneralSection() +
                                             cnxtest::IdentWindowSection("Etape1", mark) +
                                             "[Etape1]\r\nSuivants=Etape1\r\n"));
        Start();
        const bool fits = length == 107u;
        EXPECT_EQ(
            cnxtest::ReadValue(plat::kHkeyCurrentUser, "Software\\Marques", name.c_str()).present,
            fits);
        if (fits) {
            EXPECT_TRUE(sim::ui::MessageBoxes().empty());
            EXPECT_EQ(Current(), "Etape1");
        } else {
            ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
            EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
                      "Répertoire de travail trop long : " + folder);
            EXPECT_EQ(sim::ui::MessageBoxes()[0].caption, kCaption);
            EXPECT_EQ(sim::ui::QuitCode(), 1);
            EXPECT_EQ(Current(), "(none)");
        }
        cnx::EndWizard();
    }
}

TEST_F(WizardTest, RootStepErrorsEndTheRunAndLaterClicksDoNothing) {
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + "[IdentWindow]\r\nSuivants=Etape1\r\n");
    WriteKitFile("modele_0.ins", "[User]\r\nPassword=secret\r\n");
    Start();
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "probleme dans le fichier ini : Manque la variable Message pour etape IdentWindow");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    // No step: clicks, page controls and paints must not crash.
    sim::ui::Click(Window(), ID_SUIVANT);
    plat::SendMessage(Window(), plat::kWmCommand, kFirstControlId, 0);
    plat::SendMessage(Window(), plat::kWmPaint, 0, 0);
    plat::InvalidateRect(Window(), nullptr, true);
    sim::ui::PumpMessages();
    EXPECT_EQ(cnx::RunMessageLoop(Window()), 1);
    cnx::EndWizard();
    // The working sign-up file goes at every end of the run.
    EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
}

TEST_F(WizardTest, StepErrorsAreShownWholeAndFatalOnesEndTheRun) {
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection() +
                                "[Etape1]\r\nSuivants=etape2\r\nPresenceSuivant=2\r\n");
    Start();
    Click(ID_SUIVANT);
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text, "etape inexistante : etape2");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    EXPECT_EQ(Current(), "Etape1");
}

TEST_F(WizardTest, WaitTimerKeepsWaitingWhileAWatchedProgramRuns) {
    WriteKitFile("cfg.ini", ThreePlainSteps());
    Start();
    // A program whose path merely contains a fragment, in another letter case.
    ASSERT_TRUE(plat::CreateDirectory("C:\\KIT\\sub"));
    std::string child = sim::Machine::Current().ToWindowsPath(TEST_CHILD_PATH);
    ASSERT_TRUE(plat::CopyFile(child.c_str(), "C:\\KIT\\sub\\xIsignupx.exe", false));
    // It runs until the test writes its file: the first tick surely finds it running.
    ASSERT_EQ(plat::SpawnNoWait("C:\\KIT\\sub\\xIsignupx.exe", {"x", "wait", "C:\\KIT\\go"}), 0);
    plat::SetTimer(Window(), kWaitTimerId, kWaitTimerMilliseconds);
    sim::ui::AdvanceClock(500);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "Etape1");
    sim::ui::AdvanceClock(500);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "Etape1") << "the second tick too";
    // Once it has ended, the next tick moves on as Next would, and the timer stops.
    ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\go", ""));
    for (int i = 0; i < 1000 && cnx::WatchedProcessRunning(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    sim::ui::AdvanceClock(500);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_TRUE(sim::ui::Timers().empty());
    EXPECT_FALSE(Ended());
}

TEST_F(WizardTest, EveryWatchedNameKeepsTheWizardWaiting) {
    // Each tool's name, in lower case inside a longer name; a name that only comes close does
    // not count.
    const char* const names[] = {"isignup",  "morvk2",   "pelduxra", "tobrimak",
                                 "gashvelo", "lundakor", "brexolu",  "zamptir",
                                 "volgran",  "kobatrim", "nerisuda"};
    ASSERT_TRUE(plat::CreateDirectory("C:\\KIT\\tools"));
    std::string child = sim::Machine::Current().ToWindowsPath(TEST_CHILD_PATH);
    auto runningAs = [&](const std::string& name) {
        std::string path = "C:\\KIT\\tools\\x" + name + "9.exe";
        EXPECT_TRUE(plat::CopyFile(child.c_str(), path.c_str(), false));
        EXPECT_EQ(plat::SpawnNoWait(path.c_str(), {"x", "sleep", "5000"}), 0);
        bool watched = cnx::WatchedProcessRunning();
        // The next one must not find this one still running.
        testsupport::EndProgramsOnMachine(sim::Machine::Current().Folder());
        EXPECT_FALSE(cnx::WatchedProcessRunning());
        return watched;
    };
    for (const char* name : names) EXPECT_TRUE(runningAs(name)) << name;
    EXPECT_FALSE(runningAs("isignu")) << "a fragment cut short";
    EXPECT_FALSE(runningAs("morvk"));
}

}  // namespace

namespace {

// A last step of either kind, as the final steps of the wizard are.
class LastStep : public CEtape {
  public:
    LastStep(plat::Hwnd window, const plat::Rect* pageRect, int endKind)
        : CEtape(window, nullptr, pageRect, "Etape1"), m_endKind(endKind) {}
    int GetEndKind() override { return m_endKind; }

  private:
    int m_endKind;
};

TEST_F(WizardTest, NextOnALastStepEndsWithoutAQuestionAndPromptsARestartForKindZero) {
    for (int endKind : {kEndStep, kEndWithRestartPrompt}) {
        SCOPED_TRACE(endKind);
        sim::ui::Reset();
        WriteKitFile("cfg.ini", ThreePlainSteps());
        WriteKitFile("modele_0.ins", "[User]\r\nPassword=secret\r\n");
        Start();
        // The last step replaces the current one; the root's tree still owns the others.
        auto* last = new LastStep(Window(), &g_assistant->m_pageRect, endKind);
        CEtape* previous = g_assistant->m_current;
        g_assistant->m_current = last;
        plat::SendMessage(Window(), plat::kWmCommand, ID_SUIVANT, 0);
        EXPECT_TRUE(sim::ui::MessageBoxes().empty());
        EXPECT_EQ(sim::ui::QuitCode(), 1);
        EXPECT_EQ(sim::ui::RebootPrompts().size(), endKind == kEndWithRestartPrompt ? 1u : 0u);
        EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
        g_assistant->m_current = previous;
        delete last;
        cnx::EndWizard();
    }
}

TEST_F(WizardTest, AStepThatCannotGoOnAfterTheWaitEndsWithStringTwentyEight) {
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection("Bouton1") +
                                "[Bouton1]\r\nSuivants=A,B\r\nNbBoutons=2\r\n");
    Start();
    ASSERT_EQ(Current(), "Bouton1");
    // No button clicked yet: the step cannot go on.
    plat::SetTimer(Window(), kWaitTimerId, kWaitTimerMilliseconds);
    sim::ui::AdvanceClock(kWaitTimerMilliseconds);
    sim::ui::PumpMessages();
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "Un problème est survenu. Impossible de continuer l'installation.");
    EXPECT_EQ(sim::ui::MessageBoxes()[0].caption, kCaption);
    EXPECT_EQ(sim::ui::QuitCode(), 1);
}

TEST(WizardErrors, MessagesAreCutToTheirCapacities) {
    std::string longText(1000, 'x');
    CEtapeException step(3, "%s", longText.c_str());
    EXPECT_EQ(std::string(step.Message()).size(), 255u);
    EXPECT_EQ(step.Code(), 3);
    util_exception utility("%s", longText.c_str());
    EXPECT_EQ(std::string(utility.Message()).size(), 511u);
}

}  // namespace
