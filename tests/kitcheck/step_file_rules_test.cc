// kitcheck's rules on the connection wizard's step file: each on a good kit broken in one place.
#include <gtest/gtest.h>

#include "tests/kitcheck/kit_writer.h"
#include "tools/kitcheck/step_kinds.h"

namespace kitcheck_test {
namespace {

class StepFileRules : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        m_files = GoodWizardFiles();
    }
    void Edit(const std::string& from, const std::string& to) {
        m_files["cfg.ini"] = Replace(m_files["cfg.ini"], from, to);
    }
    // "cfg.ini:<line>" for the line of the step file that holds `needle`.
    std::string At(const std::string& needle) {
        return "cfg.ini:" + std::to_string(LineOf(m_files["cfg.ini"], needle));
    }
    void Run() {
        Write(m_files);
        Check();
    }
    std::map<std::string, std::string> m_files;
};

TEST_F(StepFileRules, GoodKitHasNoFinding) {
    Run();
    EXPECT_EQ(All(), "(no finding)\n");
    EXPECT_EQ(m_report.ErrorCount(), 0);
}

TEST_F(StepFileRules, EveryKindOfTheFactoryIsKnown) {
    for (const char* name :
         {"IdentWindow", "Inscription", "DejaAbonne", "PreInscription2", "IdConnexion", "IdMail",
          "Fin3", "InstalleQuadrel", "InitModem", "LanceAppli", "ParametreIE", "ParametreMess",
          "Icone", "BoutonRadio", "Bouton", "Etape12", "RemoteAccess", "CheckDNS", "CheckUser"}) {
        EXPECT_NE(kitcheck::FindStepKind(name), nullptr) << name;
    }
    EXPECT_STREQ(kitcheck::FindStepKind("BoutonRadio7")->keyword, "BoutonRadio");
    EXPECT_EQ(kitcheck::FindStepKind("etape1"), nullptr);
}

TEST_F(StepFileRules, StepNoPathReaches) {
    m_files["cfg.ini"] += "\r\n[Etape9]\r\nSuivants=Fin1\r\n";
    Run();
    EXPECT_EQ(Only("never reached"),
              At("[Etape9]") + ": warning: step [Etape9] is never reached from IdentWindow");
}

TEST_F(StepFileRules, NamesThatBuildNoStep) {
    // A misspelt kind, a section that is not there, and a list where one name is taken.
    Edit("Suivants=IdConnexion1,Etape1", "Suivants=IdConnexion1,etape1");
    Edit("[Etape1]", "[etape1]");
    Edit("[IdConnexion1]\r\nSuivants=Fin1", "[IdConnexion1]\r\nSuivants=Fin1,Etape1");
    Run();
    EXPECT_EQ(Only("name 'etape1'"),
              At("IdConnexion1,etape1") +
                  ": error: no step kind begins the name 'etape1': the wizard "
                  "stops here (\"etape inexistante\")");
    EXPECT_EQ(
        Only("Fin1,Etape1"),
        At("Fin1,Etape1") + ": error: step [Fin1,Etape1] does not exist: the wizard stops here");
}

TEST_F(StepFileRules, RequiredKeysOfEachKind) {
    struct Case {
        const char* section;
        const char* key;
    } cases[] = {{"[Etape1]\r\nSuivants=Fin1\r\nPresenceSuivant=3\r\n", "Suivants"},
                 {"[Etape1]\r\nSuivants=InstalleQuadrel1\r\nPresenceSuivant=3\r\n"
                  "[InstalleQuadrel1]\r\nSuivants=Fin1\r\n",
                  "NomExe"},
                 {"[Etape1]\r\nSuivants=LanceAppli1\r\nPresenceSuivant=3\r\n"
                  "[LanceAppli1]\r\nSuivants=Fin1\r\n",
                  "NomApplication"},
                 {"[Etape1]\r\nSuivants=Icone1\r\nPresenceSuivant=3\r\n"
                  "[Icone1]\r\nSuivants=Fin1\r\nNomVariable=Visible\r\n",
                  "NomFichier"},
                 {"[Etape1]\r\nSuivants=Icone1\r\nPresenceSuivant=3\r\n"
                  "[Icone1]\r\nSuivants=Fin1\r\nNomFichier=icones.ini\r\n",
                  "NomVariable"},
                 {"[Etape1]\r\nSuivants=Inscription1\r\nPresenceSuivant=3\r\n"
                  "[Inscription1]\r\nSuivants=Fin1\r\n",
                  "TelvoraIsp"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        m_files = GoodWizardFiles();
        Edit("[Etape1]\r\nSuivants=Fin1\r\nPresenceSuivant=3\r\n", c.section);
        if (std::string(c.key) == "Suivants") Edit("[Etape1]\r\nSuivants=Fin1", "[Etape1]");
        NewKit();
        Run();
        EXPECT_TRUE(Has(std::string(" lacks ") + c.key + ": the wizard stops here")) << All();
    }
    m_files = GoodWizardFiles();
    Edit("Message=Windows 95 ou 98.", "Message=");
    NewKit();
    Run();
    EXPECT_EQ(
        Only("lacks Message"),
        At("[IdentWindow]") + ": error: step IdentWindow lacks Message: the wizard stops here");
}

TEST_F(StepFileRules, PresenceValues) {
    Edit("[Etape1]\r\nSuivants=Fin1\r\nPresenceSuivant=3",
         "[Etape1]\r\nSuivants=Fin1\r\n"
         "PresenceSuivant=1\r\nPresenceQuitter=4");
    Run();
    EXPECT_EQ(Only("PresenceQuitter"),
              At("PresenceQuitter") +
                  ": error: PresenceQuitter is 4: presence values are 0 to 3; "
                  "the wizard stops at step Etape1");
    // Next disabled on a step that waits for it: only Quit leaves.
    EXPECT_EQ(Only("PresenceSuivant"),
              At("PresenceSuivant=1") +
                  ": error: PresenceSuivant is 1 on step Etape1, which waits "
                  "for Next: the user can only quit");
}

TEST_F(StepFileRules, ValuesTooLongForTheirFields) {
    std::string longName = "Fin" + std::string(130, 'x');
    Edit("[Etape1]\r\nSuivants=Fin1", "[Etape1]\r\nSuivants=" + longName);
    Edit("Message=Windows 95 ou 98.", "Message=" + std::string(140, 'm'));
    Run();
    EXPECT_TRUE(Has(At("Suivants=Finxx") + ": error: Suivants is longer than 127 characters"))
        << All();
    EXPECT_EQ(
        Only("Message"),
        At("Message=") + ": warning: Message is longer than 127 characters: the wizard cuts it");
}

// Icone's key name holds 259 characters, not 127: only a longer one stops the wizard.
TEST_F(StepFileRules, IconeValuesHoldTwoHundredAndFiftyNineCharacters) {
    Edit("[Etape1]\r\nSuivants=Fin1",
         "[Etape1]\r\nSuivants=Icone1\r\nPresenceSuivant=3\r\n[Icone1]\r\nSuivants=Fin1\r\n"
         "NomFichier=icones.ini\r\nNomVariable=" +
             std::string(260, 'v'));
    Run();
    EXPECT_EQ(Only("NomVariable"),
              At("NomVariable=") +
                  ": error: NomVariable is longer than 259 characters: the wizard stops at step "
                  "Icone1");
}

TEST_F(StepFileRules, GeneralKeysAndBitmaps) {
    Edit("Tx=0\r\n", "");
    Edit("NbBitmaps=1", "NbBitmaps=2\r\nNomBitmap2=absent.bmp\r\nBmpx2=1\r\nBmpy2=1");
    Run();
    EXPECT_EQ(Only("'Tx'"), At("[General]") +
                                ": error: [General] lacks 'Tx' (or it is -1): the wizard stops "
                                "before its first step");
    EXPECT_TRUE(Has(At("NomBitmap2") + ": error: bitmap 'absent.bmp' is not in the kit")) << All();

    NewKit();
    m_files = GoodWizardFiles();
    m_files["bandeau.bmp"] = "not a picture";
    Run();
    EXPECT_EQ(Only("bandeau"), At("NomBitmap1") +
                                   ": error: 'bandeau.bmp' cannot be loaded as a bitmap (BMP "
                                   "file): the wizard stops before its first step");
}

TEST_F(StepFileRules, PathThatNeverReachesFin) {
    // Etape1 leads back to itself: whoever takes the second choice can only quit.
    Edit("[Etape1]\r\nSuivants=Fin1", "[Etape1]\r\nSuivants=Etape1");
    Run();
    EXPECT_EQ(Only("reaches a Fin"),
              At("[Etape1]") +
                  ": error: no path from step Etape1 reaches a Fin step: whoever "
                  "gets here can only quit");
}

TEST_F(StepFileRules, ChoicesAgainstTheirPage) {
    // Three choices on a page of two radios, and a list of two names.
    Edit("NbBoutons=2", "NbBoutons=3");
    Run();
    EXPECT_EQ(Only("reads radio 3"), At("Description=choix") +
                                         ": error: step BoutonRadio1 reads radio 3, which page "
                                         "'choix.txt' lacks");
    EXPECT_EQ(Only("choice 3"), At("IdConnexion1,Etape1") +
                                    ": error: Suivants names no step for choice 3 of step "
                                    "BoutonRadio1: taking it stops the wizard "
                                    "(\"etape inexistante\")");

    NewKit();
    m_files = GoodWizardFiles();
    Edit("NbBoutons=2", "NbBoutons=1");
    Run();
    EXPECT_TRUE(Has(At("Description=choix") + ": warning: page 'choix.txt' has radio 2, but step "
                                              "BoutonRadio1 reads 1"))
        << All();

    NewKit();
    m_files = GoodWizardFiles();
    Edit("NbBoutons=2", "NbBoutons=11");
    Run();
    EXPECT_TRUE(Has(At("NbBoutons") + ": error: NbBoutons is 11: step BoutonRadio1 needs 0 to 10"))
        << All();
}

TEST_F(StepFileRules, FieldsAgainstTheirPage) {
    Edit("NbSaisies=3", "NbSaisies=2");
    m_files["ident.txt"] = Replace(m_files["ident.txt"], "(saisie,3,", "(radio,3,");
    Run();
    EXPECT_EQ(Only("item 3"), At("Description=ident") +
                                  ": error: step IdConnexion1 reads saisie 3, but item 3 of "
                                  "page 'ident.txt' is a radio");
    EXPECT_EQ(Only("same ids"),
              At("NbSaisies") +
                  ": error: NbSaisies is 2 but step IdConnexion1 reads 3 fields: the "
                  "next page's controls take the same ids");
}

TEST_F(StepFileRules, FilesTheStepsNeed) {
    Remove("modele.ins");
    m_files.erase("modele.ins");
    Edit("[Etape1]\r\nSuivants=Fin1", "[Etape1]\r\nSuivants=InstalleQuadrel1");
    m_files["cfg.ini"] += "\r\n[InstalleQuadrel1]\r\nSuivants=Fin1\r\nNomExe=plugmaj.exe\r\n";
    Run();
    EXPECT_TRUE(Has(At("[IdConnexion1]") + ": error: step IdConnexion1 copies modele.ins, which is "
                                           "not in the kit"))
        << All();
    EXPECT_TRUE(Has(At("NomExe") + ": error: 'plugmaj.exe', which NomExe names, is not in the kit"))
        << All();
}

TEST_F(StepFileRules, Utf8AndRepeatedSections) {
    Edit("Titre=Connexion", "Titre=Connexion \xC3\xA0 Telvora");
    m_files["cfg.ini"] += "\r\n[Etape1]\r\nSuivants=Etape1\r\n";
    Run();
    EXPECT_TRUE(Has("cfg.ini: warning: the file is written in UTF-8")) << All();
    EXPECT_EQ(Only("second time"),
              "cfg.ini:" + std::to_string(LineOf(m_files["cfg.ini"], "[Fin1]") + 4) +
                  ": warning: section [Etape1] is written a second time: the "
                  "wizard reads only the first");
}

}  // namespace
}  // namespace kitcheck_test
