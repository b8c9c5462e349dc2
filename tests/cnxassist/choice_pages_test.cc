// Steps with pages: controls made from the description when the step is built, shown and
// hidden as the wizard moves, and the choice steps branching on them.
#include <gtest/gtest.h>

#include "tests/cnxassist/wizard_fixture.h"

namespace {

using cnxtest::WizardTest;
using cnxtest::WriteKitFile;

const char kRadioPage[] =
    "fenetre(0,300,100)\r\n((ttexte,9,300,40,\"Vous êtes :\",\"Arial\",12,700,0,0)\r\n sur\r\n"
    "((radio,1,150,30,\"Déjà abonné\") a_gauche_de (radio,2,150,30,\"Nouvel abonné\")))";
const char kButtonPage[] =
    "fenetre(0,300,100)((bouton,1,150,30,\"Oui\",3) a_gauche_de (bouton,2,150,30,\"Non\",3))";
const char kFieldPage[] = "fenetre(0,300,100)(saisie,1,300,30,\"nom\")";

class ChoicePages : public WizardTest {
  protected:
    void SetUp() override {
        WizardTest::SetUp();
        WriteKitFile("radio.txt", kRadioPage);
        WriteKitFile("boutons.txt", kButtonPage);
        WriteKitFile("champ.txt", kFieldPage);
        // The page area of the worked example: 600 x 200 pixels at (20, 10).
        WriteKitFile("cfg.ini", cnxtest::GeneralSection(
                                    {{"Cx", "20"}, {"Cy", "10"}, {"Cl", "600"}, {"Ch", "200"}}) +
                                    cnxtest::IdentWindowSection("BoutonRadio1") +
                                    "[BoutonRadio1]\r\nSuivants=EtapeChamp,Bouton1\r\nNbBoutons="
                                    "2\r\nDescription=radio.txt\r\n"
                                    "PresenceSuivant=3\r\n"
                                    "[Bouton1]\r\nSuivants=EtapeOui,EtapeNon\r\nNbBoutons="
                                    "2\r\nDescription=boutons.txt\r\n"
                                    "PresencePrecedent=2\r\nPresenceSuivant=2\r\n"
                                    "[EtapeChamp]\r\nSuivants=EtapeChamp\r\nDescription=champ."
                                    "txt\r\nPresencePrecedent=2\r\n"
                                    "[EtapeOui]\r\nSuivants=EtapeOui\r\nDescription=champ."
                                    "txt\r\nPresencePrecedent=2\r\n"
                                    "[EtapeNon]\r\nSuivants=EtapeNon\r\nPresencePrecedent=2\r\n");
    }
    sim::ui::WindowInfo Control(int id) const {
        return sim::ui::Info(plat::GetDlgItem(Window(), id));
    }
};

TEST_F(ChoicePages, RadioPageIsPlacedOnThePageAreaWithTheFirstRadioChecked) {
    Start();
    ASSERT_EQ(Current(), "BoutonRadio1");
    auto first = Control(kFirstControlId);
    auto second = Control(kFirstControlId + 1);
    EXPECT_EQ(first.className, "Button");
    EXPECT_EQ(first.text, "Déjà abonné");
    EXPECT_EQ(first.check, plat::kBstChecked);
    EXPECT_EQ(second.check, plat::kBstUnchecked);
    EXPECT_EQ(second.rect, (plat::Rect{320, 90, 620, 150}));
    // The radio numbered 1 takes the focus after the buttons, Next's presence 3 included.
    EXPECT_TRUE(first.focused);
    EXPECT_TRUE(first.shown);
    // The choice step moved the counter past its two radios.
    EXPECT_EQ(g_nextControlId, kFirstControlId + 2);
    auto texts = sim::ui::TextsDrawn(Window());
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back().text, "Vous êtes :");
    EXPECT_STREQ(texts.back().font.faceName, "Arial");
}

TEST_F(ChoicePages, RadioChoiceBranchesAndPreviousFindsTheChoiceKept) {
    Start();
    sim::ui::Click(plat::GetDlgItem(Window(), kFirstControlId + 1));
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Bouton1");
    // The radio page is hidden, the button page shown with its own ids.
    EXPECT_FALSE(Control(kFirstControlId).visible);
    EXPECT_EQ(Control(kFirstControlId + 2).text, "Oui");
    EXPECT_TRUE(Control(kFirstControlId + 2).shown);
    EXPECT_EQ(Control(kFirstControlId + 2).style & plat::kBsTypeMask, plat::kBsDefPushButton);
    Click(ID_PRECEDENT);
    EXPECT_EQ(Current(), "BoutonRadio1");
    EXPECT_EQ(Control(kFirstControlId + 1).check, plat::kBstChecked);
    EXPECT_TRUE(Control(kFirstControlId).shown);
    EXPECT_FALSE(Control(kFirstControlId + 2).visible);
    // The first choice now: another branch, built once.
    sim::ui::Click(plat::GetDlgItem(Window(), kFirstControlId));
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "EtapeChamp");
}

TEST_F(ChoicePages, ButtonPageChoosesAndMovesInOneClick) {
    Start();
    sim::ui::Click(plat::GetDlgItem(Window(), kFirstControlId + 1));
    Click(ID_SUIVANT);
    ASSERT_EQ(Current(), "Bouton1");
    // Next alone does nothing until a page button was clicked once.
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Bouton1");
    sim::ui::Click(plat::GetDlgItem(Window(), kFirstControlId + 3));
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "EtapeNon");
    Click(ID_PRECEDENT);
    EXPECT_EQ(Current(), "Bouton1");
    // Next repeats the last choice.
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "EtapeNon");
}

TEST_F(ChoicePages, PlainStepsLeaveTheirIdsToTheNextPageAndFieldsKeepTheirText) {
    Start();
    Click(ID_SUIVANT);  // first radio: EtapeChamp
    ASSERT_EQ(Current(), "EtapeChamp");
    // A plain step does not move the counter: its field has the next free id.
    auto field = Control(kFirstControlId + 2);
    EXPECT_EQ(field.className, "Edit");
    EXPECT_EQ(field.text, "nom");
    EXPECT_TRUE(field.focused);
    EXPECT_EQ(field.caret, 3u);  // the End key took the caret to the end
    sim::ui::ReplaceText(field.hwnd, "Dupré");
    Click(ID_PRECEDENT);
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "EtapeChamp");
    EXPECT_EQ(Control(kFirstControlId + 2).text, "Dupré");
}

TEST_F(ChoicePages, ABrokenDescriptionIsFatal) {
    WriteKitFile("radio.txt", "fenetre (0,300,100)((radio,1,150,30,\"A\"))");
    Start();
    ASSERT_FALSE(sim::ui::MessageBoxes().empty());
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "impossible de lire le fichier description de BoutonRadio1");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
}

}  // namespace
