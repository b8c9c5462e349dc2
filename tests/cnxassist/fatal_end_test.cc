// A fatal error ends the run before anything else happens, wherever it comes from: no later
// step is built, so no registry script of theirs runs, no file of theirs is written and no
// program of theirs starts. The box is shown, the run ends with code 1 and the working sign-up
// file goes, as at every end.
#include <functional>
#include <string>

#include "cnxassist/assistant.h"
#include "cnxassist/resource_ids.h"
#include "cnxassist/wizard_main.h"
#include "tests/cnxassist/wizard_fixture.h"

namespace {

using cnxtest::ReadValue;
using cnxtest::WriteKitFile;

// A registry script entry that writes "1" as value `name` of HKCU\Software\Apres.
std::string MarkScript(const std::string& name) {
    return "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Software\\Apres\r\nI000.Nom=" + name +
           "\r\nI000.Type=c\r\nI000.Valeur=1\r\n";
}

// What follows the failing step: an Icone step writing a flag, a LanceAppli step starting the
// marker program, a plain step to land on; each section with a registry script of its own.
std::string StepsAfter() {
    return "[Icone9]\r\nSuivants=LanceAppli9\r\nNomFichier=icones.ini\r\nNomVariable=Visible\r\n"
           "Icone1=1\r\n" +
           MarkScript("Icone9") +
           "[LanceAppli9]\r\nSuivants=Etape9\r\nNomApplication=appmarker\r\nPathAppRech=0\r\n" +
           MarkScript("LanceAppli9") + "[Etape9]\r\nSuivants=Etape9\r\n" + MarkScript("Etape9");
}

class FatalEndTest : public cnxtest::WizardTest {
  protected:
    void SetUp() override {
        WizardTest::SetUp();
        if (HasFatalFailure()) return;
        std::string marker = sim::Machine::Current().ToWindowsPath(APPMARKER_PATH);
        ASSERT_TRUE(plat::CopyFile(marker.c_str(), "C:\\KIT\\APPMARKER.EXE", false));
    }

    // Runs IdentWindow, then `sections` (the first one named `first`), then StepsAfter, until
    // the wizard waits or ends; `act` then does what makes the error come.
    void Run(
        const std::string& first, const std::string& sections,
        const std::function<void()>& act = [] {}) {
        WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection(first) +
                                    sections + StepsAfter());
        WriteKitFile("modele_0.ins", "[User]\r\nPassword=secret\r\n");
        Start();
        act();
    }

    // One box with `text`, the end with code 1, and nothing of the steps after.
    void ExpectEndedBeforeTheStepsAfter(const std::string& text, const std::string& current) {
        ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
        EXPECT_EQ(sim::ui::MessageBoxes()[0].text, text);
        EXPECT_EQ(sim::ui::MessageBoxes()[0].flags, plat::kMbOk | plat::kMbIconStop);
        EXPECT_EQ(Current(), current);
        // The program's own loop takes what is left, then the quit message.
        EXPECT_EQ(cnx::RunMessageLoop(Window()), 1);
        EXPECT_EQ(sim::ui::MessageBoxes().size(), 1u);
        for (const char* step : {"Icone9", "LanceAppli9", "Etape9"}) {
            EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, "Software\\Apres", step).present)
                << step << "'s registry script ran";
        }
        EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\icones.ini"));
        EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\appmarker.txt"));
        EXPECT_EQ(Current(), current);
        cnx::EndWizard();
        EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
    }
};

TEST_F(FatalEndTest, AfterAFatalErrorOfOnLeaveNoLaterStepRuns) {
    // No telephon.ini on Windows 95: the modem step fails as it leaves.
    g_osKind = 0;
    Run("InitModem1", "[InitModem1]\r\nSuivants=Icone9\r\n");
    ExpectEndedBeforeTheStepsAfter("Problèmes lors de la configuration du modem", "InitModem1");
}

TEST_F(FatalEndTest, AfterAFatalErrorOfOnEnterNoLaterStepRuns) {
    Run("LanceAppli1", "[LanceAppli1]\r\nSuivants=Icone9\r\nNomApplication=absente\r\n");
    ExpectEndedBeforeTheStepsAfter("Impossible de lancer ABSENTE", "LanceAppli1");
}

TEST_F(FatalEndTest, AfterAFatalErrorOfGoNextNoLaterStepRuns) {
    // The next step's registry script fails while it is built.
    Run("Etape1",
        "[Etape1]\r\nSuivants=Etape8\r\nPresenceSuivant=2\r\n"
        "[Etape8]\r\nSuivants=Icone9\r\nI000.Branche=HKEY_AILLEURS\r\nI000.Cle=S\r\n"
        "I000.Nom=v\r\nI000.Type=c\r\nI000.Valeur=x\r\n",
        [this] { Click(ID_SUIVANT); });
    ASSERT_FALSE(sim::ui::MessageBoxes().empty());
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text.rfind("lecture Etape8 : ", 0), 0u)
        << sim::ui::MessageBoxes()[0].text;
    ExpectEndedBeforeTheStepsAfter(sim::ui::MessageBoxes()[0].text, "Etape1");
}

TEST_F(FatalEndTest, AfterAFatalErrorOfTheWaitNoLaterStepRuns) {
    // A button step that no click has chosen cannot go on when the wait ends.
    Run("Bouton1", "[Bouton1]\r\nSuivants=Icone9\r\nNbBoutons=1\r\n", [this] {
        plat::SetTimer(Window(), kWaitTimerId, kWaitTimerMilliseconds);
        sim::ui::AdvanceClock(kWaitTimerMilliseconds);
        sim::ui::PumpMessages();
    });
    ExpectEndedBeforeTheStepsAfter(
        "Un problème est survenu. Impossible de continuer l'installation.", "Bouton1");
}

// A Next click or a step change waiting in the queue when the error comes moves nothing.
TEST_F(FatalEndTest, MessagesPostedBeforeTheErrorMoveNothing) {
    g_osKind = 0;
    Run("InitModem1", "[InitModem1]\r\nSuivants=Icone9\r\n", [this] {
        plat::PostMessage(Window(), plat::kWmCommand, ID_SUIVANT, 0);
        plat::PostMessage(Window(), MSG_STEP_CHANGED, 0, 0);
        plat::PostMessage(Window(), plat::kWmCommand, ID_PRECEDENT, 0);
    });
    ExpectEndedBeforeTheStepsAfter("Problèmes lors de la configuration du modem", "InitModem1");
}

}  // namespace
