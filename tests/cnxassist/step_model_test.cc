// The factory, the keys every step has, and the choice steps' own rules.
#include <gtest/gtest.h>

#include "cnxassist/etape_factory.h"
#include "cnxassist/general_config.h"
#include "common/cle_registre.h"
#include "tests/cnxassist/wizard_fixture.h"

namespace {

using cnxtest::WizardTest;
using cnxtest::WriteKitFile;

class StepModel : public WizardTest {
  protected:
    // Starts a wizard whose root leads to `first`, described by `sections`.
    void Run(const std::string& first, const std::string& sections) {
        WriteKitFile("cfg.ini",
                     cnxtest::GeneralSection() + cnxtest::IdentWindowSection(first) + sections);
        Start();
    }
    std::string FirstBox() const {
        return sim::ui::MessageBoxes().empty() ? "(none)" : sim::ui::MessageBoxes()[0].text;
    }
    void Restart() {
        cnx::EndWizard();
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
    }
};

TEST(GeneralSection, ThePageAreaOfAbsurdSizesIsHeldToAnInt) {
    cnx::GeneralConfig config;
    config.cx = 150;
    config.cy = 10;
    config.cl = 430;
    config.ch = 290;
    EXPECT_EQ(cnx::PageArea(config), (plat::Rect{150, 10, 580, 300}));
    config.cx = 2147483647;
    config.cl = 5;
    config.cy = -2147483647 - 1;
    config.ch = -1;
    EXPECT_EQ(cnx::PageArea(config),
              (plat::Rect{2147483647, -2147483647 - 1, 2147483647, -2147483647 - 1}));
}

TEST_F(StepModel, FactoryMatchesKeywordsFromTheFirstCharacter) {
    const std::pair<const char*, const char*> cases[] = {
        {"Etape12", nullptr},   {"etape1", "etape inexistante : etape1"},
        {"Bouton2", nullptr},   {"BoutonRadio2", nullptr},
        {"CheckUser", nullptr}, {"Xetape", "etape inexistante : Xetape"},
        {"Fin2", nullptr},      {"Finale", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        Run(c.first, "[" + std::string(c.first) + "]\r\nSuivants=Etape1\r\nNbBoutons=0\r\n");
        if (c.second == nullptr) {
            EXPECT_EQ(Current(), c.first);
            EXPECT_TRUE(sim::ui::MessageBoxes().empty());
        } else {
            EXPECT_EQ(FirstBox(), c.second);
        }
        Restart();
    }
}

TEST_F(StepModel, CommonKeysAreChecked) {
    Run("Etape1", "[Etape1]\r\nDescription=x\r\n");
    EXPECT_EQ(FirstBox(), "impossible de lire variable Suivants de Etape1");
    Restart();
    Run("Etape1", "[Etape1]\r\nSuivants=E\r\nPresenceSuivant=4\r\n");
    EXPECT_EQ(FirstBox(), "champs Presence faux pour Etape1");
    Restart();
    Run("Etape1", "[Etape1]\r\nSuivants=E\r\nPresenceQuitter=-2\r\n");
    EXPECT_EQ(FirstBox(), "champs Presence faux pour Etape1");
    Restart();
    Run("Etape1", "[Etape1]\r\nSuivants=E\r\nDescription=absente.txt\r\n");
    EXPECT_EQ(FirstBox(), "impossible de lire le fichier description de Etape1");
    Restart();
    // A plain step's whole "Suivants" is one name: a section of that name is looked for.
    Run("Etape1",
        "[Etape1]\r\nSuivants=Etape2,Etape3\r\nPresenceSuivant=2\r\n[Etape2]\r\n"
        "Suivants=Etape2\r\n");
    Click(ID_SUIVANT);
    EXPECT_EQ(FirstBox(), "impossible de lire variable Suivants de Etape2,Etape3");
}

TEST_F(StepModel, RegistryScriptRunsOnceAndItsErrorNamesTheSection) {
    Run("Etape1",
        "[Etape1]\r\nSuivants=Etape2\r\nPresenceSuivant=2\r\n[Etape2]\r\nSuivants=Etape2\r\n"
        "PresencePrecedent=2\r\nI000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=S\r\nI000.Nom=n\r\n"
        "I000.Type=c\r\nI000.Valeur=1\r\n");
    Click(ID_SUIVANT);
    EXPECT_EQ(cnxtest::ReadValue(plat::kHkeyCurrentUser, "S", "n").Text(), "1");
    // Changed behind the wizard's back: coming back to the same step does not apply it again.
    {
        CCleRegistre key(plat::kHkeyCurrentUser, "S", false);
        key.SetString("n", "2");
    }
    Click(ID_PRECEDENT);
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_EQ(cnxtest::ReadValue(plat::kHkeyCurrentUser, "S", "n").Text(), "2");
    Restart();

    Run("Etape1", "[Etape1]\r\nSuivants=E\r\nI000.Branche=HKEY_WHATEVER\r\n");
    EXPECT_EQ(FirstBox(), "lecture Etape1 : fichier ini, faux nom branche I000.Branche");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
}

TEST_F(StepModel, NbBoutonsBetweenZeroAndTenMovesTheIdCounter) {
    for (int count : {0, 10}) {
        Run("Bouton1", "[Bouton1]\r\nSuivants=A\r\nNbBoutons=" + std::to_string(count) + "\r\n");
        EXPECT_EQ(Current(), "Bouton1");
        EXPECT_EQ(g_nextControlId, kFirstControlId + count);
        Restart();
    }
    for (const char* bad : {"NbBoutons=11\r\n", "NbBoutons=-1\r\n", "NbBoutons=-3\r\n", ""}) {
        SCOPED_TRACE(bad);
        Run("BoutonRadio1", "[BoutonRadio1]\r\nSuivants=A\r\n" + std::string(bad));
        EXPECT_EQ(FirstBox(), "champs NbBoutons faux pour BoutonRadio1");
        EXPECT_EQ(g_nextControlId, kFirstControlId);
        Restart();
    }
}

TEST_F(StepModel, ButtonChoiceMovesOnlyAfterAClickAndRemembersIt) {
    Run("Bouton1",
        "[Bouton1]\r\nSuivants=EtapeA,EtapeB\r\nNbBoutons=2\r\nPresenceSuivant=2\r\n"
        "[EtapeA]\r\nSuivants=EtapeA\r\nPresencePrecedent=2\r\n"
        "[EtapeB]\r\nSuivants=EtapeB\r\nPresencePrecedent=2\r\n");
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Bouton1");
    // A page control that is not one of the choices is ignored.
    EXPECT_EQ(plat::SendMessage(Window(), plat::kWmCommand, kFirstControlId + 2, 0), 0);
    plat::SendMessage(Window(), plat::kWmCommand, kFirstControlId + 1, 0);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "EtapeB");
    Click(ID_PRECEDENT);
    EXPECT_EQ(Current(), "Bouton1");
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "EtapeB");
}

TEST_F(StepModel, RadioChoiceWithoutAnyCheckedRadio) {
    // Without radios on the page the choice is one past the last: the list's next item.
    Run("BoutonRadio1",
        "[BoutonRadio1]\r\nSuivants=EtapeA,EtapeB,EtapeC\r\nNbBoutons=2\r\nPresenceSuivant=2\r\n"
        "[EtapeC]\r\nSuivants=EtapeC\r\n");
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "EtapeC");
    Restart();
    // With ten choices there is no eleventh entry: refused, never past the cache.
    Run("BoutonRadio1",
        "[BoutonRadio1]\r\nSuivants=A,B,C,D,E,F,G,H,I,J,K\r\nNbBoutons=10\r\n"
        "PresenceSuivant=2\r\n[K]\r\nSuivants=K\r\n");
    Click(ID_SUIVANT);
    EXPECT_EQ(FirstBox(), "etape inexistante : ");
    EXPECT_EQ(Current(), "BoutonRadio1");
}

}  // namespace
