// The connection wizard with the keyboard alone: every page of the demonstration kit has a
// first focus and a round of Tab in the page's order then the wizard's buttons; the arrows go
// round a page's radio group and choose; Space presses; a kit text's "&" is a mnemonic; a page
// that gives no focus still leaves it on a button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cnxassist/wizard_fixture.h"
#include "tests/support/demo_kit_file.h"

namespace {

using cnxtest::WizardTest;
using cnxtest::WriteKitFile;

constexpr int kItem1 = kFirstControlId;
constexpr int kItem2 = kFirstControlId + 1;
constexpr int kItem3 = kFirstControlId + 2;

class KeyboardTest : public WizardTest {
  protected:
    int FocusId() const {
        plat::Hwnd focus = sim::ui::Focus();
        return focus != 0 && plat::GetParent(focus) == Window() ? plat::GetDlgCtrlID(focus) : 0;
    }
    void Press(int key, bool shift = false) {
        sim::ui::PressKey(Window(), key, shift);
        sim::ui::PumpMessages();
    }
    // The controls Tab (or Shift+Tab) reaches one after the other, until back at the start.
    std::vector<int> Round(bool backwards) {
        const int start = FocusId();
        std::vector<int> reached;
        for (int n = 0; n < 10; ++n) {
            Press(plat::kVkTab, backwards);
            reached.push_back(FocusId());
            if (reached.back() == start) break;
        }
        return reached;
    }
    bool Checked(int id) const {
        return sim::ui::Info(plat::GetDlgItem(Window(), id)).check == plat::kBstChecked;
    }
};

struct PageCase {
    const char* page;
    const char* presences;  // as the demonstration kit's step gives them
    int firstFocus;
    std::vector<int> forward;
};

TEST_F(KeyboardTest, EveryPageOfTheDemoKitHasAFirstFocusAndATabRound) {
    const std::string three = "PresenceSuivant=3\r\nPresencePrecedent=0\r\nPresenceQuitter=2\r\n";
    const std::string choice = "PresenceSuivant=3\r\nPresencePrecedent=2\r\nPresenceQuitter=2\r\n";
    const std::string last = "PresenceSuivant=0\r\nPresencePrecedent=0\r\nPresenceQuitter=3\r\n";
    // The page's controls in their order first, then Précédent, Suivant and Quitter where shown
    // and enabled; a radio button the user has not unchecked is still a tab stop.
    const std::vector<PageCase> cases = {
        {"utilisateur.txt", three.c_str(), ID_SUIVANT, {ID_QUITTER, ID_SUIVANT}},
        {"dns.txt", three.c_str(), ID_SUIVANT, {ID_QUITTER, ID_SUIVANT}},
        {"bienvenue.txt", three.c_str(), ID_SUIVANT, {ID_QUITTER, ID_SUIVANT}},
        {"choix.txt",
         choice.c_str(),
         kItem1,
         {kItem2, ID_PRECEDENT, ID_SUIVANT, ID_QUITTER, kItem1}},
        {"prefixe.txt", choice.c_str(), kItem1, {ID_PRECEDENT, ID_SUIVANT, ID_QUITTER, kItem1}},
        {"connexion.txt",
         choice.c_str(),
         kItem1,
         {kItem2, kItem3, ID_PRECEDENT, ID_SUIVANT, ID_QUITTER, kItem1}},
        {"courrier.txt",
         choice.c_str(),
         kItem1,
         {kItem2, ID_PRECEDENT, ID_SUIVANT, ID_QUITTER, kItem1}},
        {"quadrel.txt",
         "PresenceSuivant=1\r\nPresencePrecedent=0\r\nPresenceQuitter=2\r\n",
         kItem1,
         {kItem2, ID_QUITTER, kItem1}},
        {"echec.txt",
         "PresenceSuivant=3\r\nPresencePrecedent=0\r\nPresenceQuitter=0\r\n",
         ID_SUIVANT,
         {ID_SUIVANT}},
        {"fin_echec.txt", last.c_str(), ID_QUITTER, {ID_QUITTER}},
        {"fin.txt", last.c_str(), ID_QUITTER, {ID_QUITTER}},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.page);
        if (g_assistant != nullptr) cnx::EndWizard();
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        WriteKitFile(c.page, testsupport::DemoKitFile(std::string("contenu/") + c.page));
        WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection() +
                                    "[Etape1]\r\nSuivants=Etape1\r\nDescription=" + c.page +
                                    "\r\n" + c.presences);
        Start();
        ASSERT_EQ(Current(), "Etape1");
        EXPECT_EQ(FocusId(), c.firstFocus);
        EXPECT_EQ(Round(false), c.forward);
        std::vector<int> backward(c.forward.rbegin() + 1, c.forward.rend());
        backward.push_back(c.firstFocus);
        EXPECT_EQ(Round(true), backward);
    }
}

TEST_F(KeyboardTest, ArrowsChooseInTheRadioGroupSpacePressesAndAFocusIsKept) {
    WriteKitFile("choix.txt", testsupport::DemoKitFile("contenu/choix.txt"));
    WriteKitFile("quadrel.txt", testsupport::DemoKitFile("contenu/quadrel.txt"));
    WriteKitFile("cfg.ini",
                 cnxtest::GeneralSection() + cnxtest::IdentWindowSection("BoutonRadio1") +
                     "[BoutonRadio1]\r\nSuivants=Bouton1,Bouton1\r\nNbBoutons=2\r\n"
                     "Description=choix.txt\r\nPresenceSuivant=3\r\nPresencePrecedent=2\r\n"
                     "[Bouton1]\r\nSuivants=Etape1,Etape2\r\nNbBoutons=2\r\n"
                     "Description=quadrel.txt\r\nPresenceSuivant=1\r\nPresenceQuitter=2\r\n"
                     "[Etape1]\r\nSuivants=Etape1\r\n"
                     "[Etape2]\r\nSuivants=Etape3\r\nPresenceSuivant=2\r\nPresenceQuitter=2\r\n"
                     "[Etape3]\r\nSuivants=Etape3\r\nPresenceSuivant=1\r\nPresenceQuitter=2\r\n");
    Start();
    ASSERT_EQ(FocusId(), kItem1);
    Press(plat::kVkDown);
    EXPECT_EQ(FocusId(), kItem2);
    EXPECT_TRUE(Checked(kItem2));
    EXPECT_FALSE(Checked(kItem1));
    // Round the end of the group, not into the wizard's buttons created before it.
    Press(plat::kVkDown);
    EXPECT_EQ(FocusId(), kItem1);
    EXPECT_TRUE(Checked(kItem1));
    Press(plat::kVkUp);
    EXPECT_EQ(FocusId(), kItem2);
    EXPECT_TRUE(Checked(kItem2));
    EXPECT_FALSE(Checked(kItem1));
    // Enter and Escape do nothing; Tab leaves the group (the radio unchecked lost its stop).
    Press(plat::kVkReturn);
    Press(plat::kVkEscape);
    EXPECT_EQ(Current(), "BoutonRadio1");
    Press(plat::kVkTab);
    EXPECT_EQ(FocusId(), ID_PRECEDENT);
    Press(plat::kVkTab);
    EXPECT_EQ(FocusId(), ID_SUIVANT);
    Press(plat::kVkSpace);
    ASSERT_EQ(Current(), "Bouton1");
    // The page's push buttons are a group too: the arrow goes from one to the other.
    EXPECT_EQ(FocusId(), kFirstControlId + 2);
    Press(plat::kVkRight);
    EXPECT_EQ(FocusId(), kFirstControlId + 3);
    Press(plat::kVkSpace);
    // The button left with its page; the dialog gave the focus to its first tab stop then.
    ASSERT_EQ(Current(), "Etape2");
    EXPECT_EQ(FocusId(), ID_QUITTER);
    Press(plat::kVkTab, true);
    EXPECT_EQ(FocusId(), ID_SUIVANT);
    // The next step disables Suivant, which had the focus: the keyboard is left on Quitter
    // rather than nowhere.
    Press(plat::kVkSpace);
    ASSERT_EQ(Current(), "Etape3");
    EXPECT_EQ(FocusId(), ID_QUITTER);
}

TEST_F(KeyboardTest, AnAmpersandInTheKitsTextIsAMnemonic) {
    WriteKitFile("choix.txt",
                 "fenetre(0,300,100)((radio,1,150,30,\"&Oui\") a_gauche_de "
                 "(radio,2,150,30,\"&Non, merci\"))");
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() +
                                cnxtest::IdentWindowSection("BoutonRadio1") +
                                "[BoutonRadio1]\r\nSuivants=Etape1,Etape2\r\nNbBoutons=2\r\n"
                                "Description=choix.txt\r\nPresenceSuivant=2\r\n"
                                "[Etape1]\r\nSuivants=Etape1\r\n[Etape2]\r\nSuivants=Etape2\r\n");
    Start();
    plat::PostMessage(sim::ui::Focus(), plat::kWmSysChar, 'n', 1 | (1 << 29));
    sim::ui::PumpMessages();
    EXPECT_TRUE(Checked(kItem2));
    EXPECT_FALSE(Checked(kItem1));
    EXPECT_EQ(FocusId(), kItem2);
    // On a button, which takes no characters, the letter alone is enough.
    plat::PostMessage(sim::ui::Focus(), plat::kWmChar, 'o', 1);
    sim::ui::PumpMessages();
    EXPECT_TRUE(Checked(kItem1));
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Etape1");
}

}  // namespace
