// A kit with a kit author's mistakes: each fatal box a step file can lead to, with its text, and
// the wizard ending after it. Each case is one faulty step reached from the root step, or a
// fault in the root step or the "General" section themselves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/cnxassist/wizard_fixture.h"

namespace {

using cnxtest::WizardTest;
using cnxtest::WriteKitFile;

struct Mistake {
    const char* what;
    std::string stepFile;  // after [General]
    const char* box;       // the text the box must hold
};

std::string Root(const std::string& next, const std::string& extra = "") {
    return cnxtest::IdentWindowSection(next, extra);
}

const std::string kFin = "[Fin1]\r\nSuivants=Fin1\r\n";

class KitMistakes : public WizardTest {};

TEST_F(KitMistakes, EveryFatalBoxOfAStepFileEndsTheWizardWithItsText) {
    WriteKitFile("faute.txt", "fenetre(0,100,50)(ctexte,9,101,50,\"trop large\")");
    const std::string tooLong(200, 'x');
    const Mistake mistakes[] = {
        {"a misspelt kind", Root("Etpae1") + "[Etpae1]\r\nSuivants=Fin1\r\n" + kFin,
         "etape inexistante : Etpae1"},
        {"no Suivants", Root("Etape1") + "[Etape1]\r\nPresenceSuivant=2\r\n",
         "impossible de lire variable Suivants de Etape1"},
        {"a presence of 4", Root("Etape1") + "[Etape1]\r\nSuivants=Fin1\r\nPresenceSuivant=4\r\n",
         "champs Presence faux pour Etape1"},
        {"a missing page",
         Root("Etape1") + "[Etape1]\r\nSuivants=Fin1\r\nDescription=absente.txt\r\n",
         "impossible de lire le fichier description de Etape1"},
        {"a page wider than its canvas",
         Root("Etape1") + "[Etape1]\r\nSuivants=Fin1\r\nDescription=faute.txt\r\n",
         "impossible de lire le fichier description de Etape1"},
        {"no NbBoutons", Root("BoutonRadio1") + "[BoutonRadio1]\r\nSuivants=Fin1,Fin1\r\n",
         "champs NbBoutons faux pour BoutonRadio1"},
        {"11 buttons", Root("Bouton1") + "[Bouton1]\r\nSuivants=Fin1\r\nNbBoutons=11\r\n",
         "champs NbBoutons faux pour Bouton1"},
        {"no TelvoraIsp", Root("Inscription1") + "[Inscription1]\r\nSuivants=Fin1\r\n",
         "Manque la variable Page_Start pour etape Inscription1"},
        {"no NomExe", Root("InstalleQuadrel1") + "[InstalleQuadrel1]\r\nSuivants=Fin1\r\n",
         "Manque la variable NomExe pour etape InstalleQuadrel1"},
        {"no NomApplication", Root("LanceAppli1") + "[LanceAppli1]\r\nSuivants=Fin1\r\n",
         "Manque la variable NomApplication pour etape LanceAppli1"},
        {"no NomFichier", Root("Icone1") + "[Icone1]\r\nSuivants=Fin1\r\nNomVariable=V\r\n",
         "Manque la variable NomFichier pour etape Icone1"},
        {"no NomVariable", Root("Icone1") + "[Icone1]\r\nSuivants=Fin1\r\nNomFichier=i.ini\r\n",
         "Manque la variable NomVariable pour etape Icone1"},
        {"no NomATester", Root("RemoteAccess1") + "[RemoteAccess1]\r\nSuivants=Fin1,Fin1\r\n",
         "Manque la variable NomATester pour etape RemoteAccess1"},
        {"a value too long for its field",
         Root("Etape1") + "[Etape1]\r\nSuivants=" + tooLong + "\r\n",
         "Variable Suivants trop longue pour etape Etape1"},
        {"an abbreviated root",
         Root("Etape1") +
             "[Etape1]\r\nSuivants=Fin1\r\nI000.Branche=HKLM\r\nI000.Cle=Software\\T\r\n"
             "I000.Nom=N\r\nI000.Type=c\r\nI000.Valeur=v\r\n",
         "lecture Etape1 : fichier ini, faux nom branche I000.Branche"},
        {"a script entry without its value name",
         Root("Etape1") + "[Etape1]\r\nSuivants=Fin1\r\nI000.Branche=HKEY_CURRENT_USER\r\n"
                          "I000.Cle=Software\\T\r\nI000.Type=c\r\nI000.Valeur=v\r\n",
         "lecture Etape1 : fichier ini, manque variable I000.Nom"},
        {"a script type that does not exist",
         Root("Etape1") + "[Etape1]\r\nSuivants=Fin1\r\nI000.Branche=HKEY_CURRENT_USER\r\n"
                          "I000.Cle=Software\\T\r\nI000.Nom=N\r\nI000.Type=x\r\nI000.Valeur=v\r\n",
         "lecture Etape1 : fichier ini, type I000.Type invalide"},
        {"a root step without Message", "[IdentWindow]\r\nSuivants=Fin1\r\n" + kFin,
         "Manque la variable Message pour etape IdentWindow"},
    };
    for (const Mistake& mistake : mistakes) {
        SCOPED_TRACE(mistake.what);
        sim::ui::Reset();
        WriteKitFile("cfg.ini", cnxtest::GeneralSection() + mistake.stepFile + kFin);
        Start();
        ASSERT_FALSE(sim::ui::MessageBoxes().empty());
        EXPECT_THAT(sim::ui::MessageBoxes().back().text, ::testing::HasSubstr(mistake.box));
        EXPECT_EQ(sim::ui::MessageBoxes().back().caption,
                  "Fermeture de l'assistant de connexion à Telvora");
        EXPECT_TRUE(Ended());
        if (g_assistant != nullptr) cnx::EndWizard();
    }
}

TEST_F(KitMistakes, AGeneralSectionWithoutAKeyAndAKitWithoutTheSignUpProgramStopAtOnce) {
    WriteKitFile("cfg.ini", cnxtest::GeneralSection({{"Tl", ""}}) + Root("Fin1") + kFin);
    Start();
    ASSERT_FALSE(sim::ui::MessageBoxes().empty());
    EXPECT_EQ(sim::ui::MessageBoxes().back().text,
              "probleme dans la section 'General' du fichier ini");
    if (g_assistant != nullptr) cnx::EndWizard();

    sim::ui::Reset();
    ASSERT_TRUE(plat::DeleteFile((cnx::WorkingDirectory() + "\\ISIGNUP.EXE").c_str()));
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + Root("Fin1") + kFin);
    Start();
    ASSERT_FALSE(sim::ui::MessageBoxes().empty());
    EXPECT_THAT(sim::ui::MessageBoxes().back().text,
                ::testing::HasSubstr(
                    "L'etape IdentWindow a detecté l'absence de l'assistant de connexion"));
    EXPECT_TRUE(Ended());
}

}  // namespace
