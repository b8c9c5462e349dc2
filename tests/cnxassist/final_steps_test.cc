// The steps that work without asking anything, on the simulated machine: the installer and the
// applications they start (the marker program stands in for both), the mail client's sender
// names, the icon flags, the final page, and the limits of step file values.
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "cnxassist/etapes_environnement.h"
#include "cnxassist/resource_ids.h"
#include "platform/profile.h"
#include "tests/cnxassist/wizard_fixture.h"
#include "tests/support/registry_faults.h"

namespace {

using cnxtest::ReadValue;
using cnxtest::WriteKitFile;

constexpr const char* kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr const char* kAccounts = "Software\\Microsoft\\Internet Account Manager\\Accounts\\";

class FinalStepsTest : public cnxtest::WizardTest {
  protected:
    void SetUp() override {
        WizardTest::SetUp();
        if (HasFatalFailure()) return;
        marker_ = sim::Machine::Current().ToWindowsPath(APPMARKER_PATH);
        ASSERT_TRUE(plat::CreateDirectory("C:\\KIT\\apps"));
        ASSERT_TRUE(plat::CopyFile(marker_.c_str(), "C:\\KIT\\apps\\appmarker.exe", false));
    }
    // IdentWindow, then `section` (its name first), then a plain Etape2 to land on.
    void StartWith(const std::string& name, const std::string& keys) {
        WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection(name) +
                                    "[" + name + "]\r\nSuivants=Etape2\r\n" + keys +
                                    "[Etape2]\r\nSuivants=Etape2\r\nPresencePrecedent=2\r\n");
        Start();
    }
    // The lines the marker program at `folder` recorded, one per start.
    static std::string Record(const std::string& folder) {
        std::string text;
        plat::ReadWholeFile((folder + "\\appmarker.txt").c_str(), &text);
        return text;
    }
    static void WaitForRecord(const std::string& folder, std::size_t lines) {
        for (int i = 0; i < 300; ++i) {
            std::string text = Record(folder);
            std::size_t count = 0;
            for (char c : text) count += c == '\n';
            if (count >= lines) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    void RegisterMarker() {
        ASSERT_TRUE(testsupport::WriteText(plat::kHkeyLocalMachine,
                                           (std::string(kAppPaths) + "APPMARKER.EXE").c_str(), "",
                                           "C:\\KIT\\apps\\appmarker.exe"));
    }
    std::string FirstMessage() const {
        return sim::ui::MessageBoxes().empty() ? "(none)" : sim::ui::MessageBoxes()[0].text;
    }

    std::string marker_;
};

TEST_F(FinalStepsTest, InstalleQuadrelRunsTheInstallerFromTheWorkingDirectoryAndWaits) {
    ASSERT_TRUE(plat::CopyFile(marker_.c_str(), "C:\\KIT\\quadinst.exe", false));
    StartWith("InstalleQuadrel1", "NomExe=quadinst.exe\r\n");
    // Waited for: the record is there as soon as the step has moved on, with no argument.
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_EQ(Record("C:\\KIT"), "\r\n");
    EXPECT_TRUE(sim::ui::MessageBoxes().empty());
}

TEST_F(FinalStepsTest, AnInstallerThatCannotStartIsAWarningAndTheWizardGoesOn) {
    StartWith("InstalleQuadrel1", "NomExe=absent.exe\r\n");
    EXPECT_EQ(FirstMessage(), "Probleme installation Quadrel");
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_FALSE(Ended());
}

TEST_F(FinalStepsTest, LanceAppliFindsTheUpperCasedNameInAppPathsAndPassesItsPage) {
    RegisterMarker();
    StartWith("LanceAppli1", "NomApplication=appmarker\r\nNomPage=accueil.htm\r\n");
    WaitForRecord("C:\\KIT\\apps", 1);
    EXPECT_EQ(Record("C:\\KIT\\apps"), "[C:\\KIT\\accueil.htm]\r\n");
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_FALSE(Ended());
}

// A program in a folder with blanks, a page with blanks: each reaches the program as one
// argument.
TEST_F(FinalStepsTest, LanceAppliHandsAProgramAndAPageWithBlanksOverWhole) {
    const std::string folder = "C:\\KIT\\Mes applis";
    ASSERT_TRUE(plat::CreateDirectory(folder.c_str()));
    ASSERT_TRUE(plat::CopyFile(marker_.c_str(), (folder + "\\appmarker.exe").c_str(), false));
    ASSERT_TRUE(testsupport::WriteText(plat::kHkeyLocalMachine,
                                       (std::string(kAppPaths) + "APPMARKER.EXE").c_str(), "",
                                       (folder + "\\appmarker.exe").c_str()));
    StartWith("LanceAppli1", "NomApplication=appmarker\r\nNomPage=ma page d'accueil.htm\r\n");
    WaitForRecord(folder, 1);
    EXPECT_EQ(Record(folder), "[C:\\KIT\\ma page d'accueil.htm]\r\n");
    EXPECT_EQ(Current(), "Etape2");
}

TEST_F(FinalStepsTest, LanceAppliArgumentAndProgramRules) {
    struct Case {
        const char* keys;
        const char* folder;  // where the started marker records
        const char* record;
    };
    const Case cases[] = {
        // No page: no argument at all, whatever PathRelatif says.
        {"NomApplication=appmarker\r\nPathRelatif=1\r\n", "C:\\KIT\\apps", "\r\n"},
        {"NomApplication=appmarker\r\nNomPage=x.htm\r\nPathRelatif=0\r\n", "C:\\KIT\\apps",
         "[x.htm]\r\n"},
        // Any value but 1 takes the program from the working directory, upper-cased, ".EXE".
        {"NomApplication=appmarker\r\nPathAppRech=2\r\n", "C:\\KIT", "\r\n"},
    };
    ASSERT_TRUE(plat::CopyFile(marker_.c_str(), "C:\\KIT\\APPMARKER.EXE", false));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        sim::ui::Reset();
        plat::DeleteFile((std::string(c.folder) + "\\appmarker.txt").c_str());
        RegisterMarker();
        StartWith("LanceAppli1", c.keys);
        WaitForRecord(c.folder, 1);
        EXPECT_EQ(Record(c.folder), c.record);
        EXPECT_EQ(Current(), "Etape2");
        cnx::EndWizard();
    }
}

TEST_F(FinalStepsTest, FinConfigChoosesHowTheWizardEnds) {
    RegisterMarker();
    struct Case {
        const char* finConfig;
        bool ends;
        std::size_t prompts;
    };
    const Case cases[] = {{"0", false, 0}, {"1", true, 0}, {"2", true, 1}, {"-1", true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.finConfig);
        sim::ui::Reset();
        StartWith("LanceAppli1",
                  std::string("NomApplication=appmarker\r\nFinConfig=") + c.finConfig + "\r\n");
        EXPECT_EQ(Ended(), c.ends);
        EXPECT_EQ(sim::ui::RebootPrompts().size(), c.prompts);
        EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << FirstMessage();
        cnx::EndWizard();
    }
}

TEST_F(FinalStepsTest, LanceAppliFailuresAreFatalAndNameWhatFailed) {
    StartWith("LanceAppli1", "NomApplication=absente\r\n");
    EXPECT_EQ(FirstMessage(), "Impossible de lancer ABSENTE");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    cnx::EndWizard();

    sim::ui::Reset();
    StartWith("LanceAppli1", "NomApplication=absente\r\nPathAppRech=0\r\n");
    EXPECT_EQ(FirstMessage(), "Impossible de lancer C:\\KIT\\ABSENTE.EXE ");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    cnx::EndWizard();

    // A registered path longer than 259 characters is not read cut: nothing starts.
    sim::ui::Reset();
    ASSERT_TRUE(testsupport::WriteText(
        plat::kHkeyLocalMachine, (std::string(kAppPaths) + "APPMARKER.EXE").c_str(), "",
        ("C:\\KIT\\apps\\appmarker.exe" + std::string(250, ' ')).c_str()));
    StartWith("LanceAppli1", "NomApplication=appmarker\r\n");
    EXPECT_EQ(FirstMessage(), "Impossible de lancer APPMARKER");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
}

TEST_F(FinalStepsTest, PreviousOntoAnAutoNextStepRunsItAgain) {
    RegisterMarker();
    StartWith("LanceAppli1", "NomApplication=appmarker\r\n");
    WaitForRecord("C:\\KIT\\apps", 1);
    ASSERT_EQ(Current(), "Etape2");
    Click(ID_PRECEDENT);
    EXPECT_EQ(Current(), "Etape2");
    WaitForRecord("C:\\KIT\\apps", 2);
    EXPECT_EQ(Record("C:\\KIT\\apps"), "\r\n\r\n");
}

TEST_F(FinalStepsTest, ValuesLongerThanTheirFieldsAreRefusedWithKeyAndSection) {
    const std::string longName(128, 'a');
    struct Case {
        std::string section;
        std::string keys;
        std::string key;
    };
    const Case cases[] = {
        {"InstalleQuadrel1", "NomExe=" + longName + "\r\n", "NomExe"},
        {"LanceAppli1", "NomApplication=" + longName + "\r\n", "NomApplication"},
        {"LanceAppli1", "NomApplication=x\r\nNomPage=" + longName + "\r\n", "NomPage"},
        // Icone's target path (the kit's folder C:\KIT, a backslash, the name) and its key
        // name hold 259 characters: 260 are refused.
        {"Icone1", "NomFichier=" + std::string(253, 'f') + "\r\nNomVariable=v\r\n", "NomFichier"},
        {"Icone1", "NomFichier=f.ini\r\nNomVariable=" + std::string(260, 'v') + "\r\n",
         "NomVariable"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        sim::ui::Reset();
        StartWith(c.section, c.keys);
        EXPECT_EQ(FirstMessage(), "Variable " + c.key + " trop longue pour etape " + c.section);
        EXPECT_EQ(sim::ui::QuitCode(), 1);
        cnx::EndWizard();
    }
    // 259 characters fit, and the flag goes where they say.
    sim::ui::Reset();
    const std::string file = std::string(252, 'f');
    const std::string variable = std::string(259, 'v');
    StartWith("Icone1", "NomFichier=" + file + "\r\nNomVariable=" + variable + "\r\nIcone0=1\r\n");
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << FirstMessage();
    char value[8] = {};
    plat::GetPrivateProfileString("Icone0", variable.c_str(), "", value, sizeof value,
                                  ("C:\\KIT\\" + file).c_str());
    EXPECT_STREQ(value, "1");
}

TEST_F(FinalStepsTest, ACutSuivantsCannotNameAnotherStep) {
    // Cut to 127 characters, the name would be a prefix of an existing section.
    const std::string stepName = "Etape" + std::string(122, '1');
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection("Etape1") +
                                "[Etape1]\r\nSuivants=" + stepName + "2\r\n" + "[" + stepName +
                                "]\r\nSuivants=Etape1\r\n");
    Start();
    EXPECT_EQ(FirstMessage(), "Variable Suivants trop longue pour etape Etape1");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
}

TEST_F(FinalStepsTest, ParametreMessGivesTheMailUserNameToTheDefaultAccounts) {
    struct Case {
        const char* label;
        const char* ieVersion;     // the browser's version: code 1 for 4.x, 0 for 5.x, else 2
        const char* identityName;  // the value naming the identity; null: no "Identities" key
        bool withNews;             // "Default News Account" present
        bool withUserName;         // "POP3 User Name" present
        bool written;
    };
    const Case cases[] = {
        {"version 4", "4.72.3110.8", "Last User ID", true, true, true},
        {"version 4 without a user name", "4.72.3110.8", "Last User ID", true, false, false},
        {"version 4 without a news account", "4.72.3110.8", "Last User ID", false, true, false},
        {"version 5", "5.00.2614.3500", "Last User ID", true, true, true},
        {"version 5 without a user name", "5.00.2614.3500", "Last User ID", true, false, false},
        {"version 5, the default identity", "5.00.2614.3500", "Default User ID", true, true, true},
        {"version 5 without identities", "5.00.2614.3500", nullptr, true, true, false},
        {"version 3", "3.02", "Last User ID", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        cnxtest::FreshWizardMachine();
        sim::ui::Reset();
        WriteKitFile("ISIGNUP.EXE", "stand-in");
        ASSERT_TRUE(testsupport::WriteText(plat::kHkeyLocalMachine,
                                           "Software\\Microsoft\\Internet Explorer", "Version",
                                           c.ieVersion));
        if (c.identityName != nullptr) {
            ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, "Identities", c.identityName,
                                               "{ID-1}"));
        }
        // The default accounts: of the identity for version 5, of the manager for the others.
        for (const char* managerKey :
             {"Software\\Microsoft\\Internet Account Manager",
              "Identities\\{ID-1}\\Software\\Microsoft\\Internet Account Manager"}) {
            ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, managerKey,
                                               "Default Mail Account", "00000001"));
            if (c.withNews) {
                ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, managerKey,
                                                   "Default News Account", "00000002"));
            }
        }
        const std::string mail = std::string(kAccounts) + "00000001";
        const std::string news = std::string(kAccounts) + "00000002";
        ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, news.c_str(), "NNTP Server",
                                           "news.telvora.fr"));
        ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, mail.c_str(), "POP3 Server",
                                           "pop.telvora.fr"));
        if (c.withUserName) {
            ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, mail.c_str(),
                                               "POP3 User Name", "jdupont"));
        }
        StartWith("ParametreMess1", "");
        EXPECT_EQ(Current(), "Etape2");
        EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << FirstMessage();
        auto smtp = ReadValue(plat::kHkeyCurrentUser, mail.c_str(), "SMTP Display Name");
        auto nntp = ReadValue(plat::kHkeyCurrentUser, news.c_str(), "NNTP Display Name");
        EXPECT_EQ(smtp.present, c.written);
        EXPECT_EQ(nntp.present, c.written);
        if (c.written) {
            EXPECT_EQ(smtp.Text(), "jdupont");
            EXPECT_EQ(nntp.Text(), "jdupont");
        }
        cnx::EndWizard();
    }
}

TEST_F(FinalStepsTest, IconeWritesOnlyTheFlagsItIsGiven) {
    WriteKitFile("icones.ini", "[Icone7]\r\nVisible=ancien\r\n");
    ASSERT_TRUE(plat::SetFileAttributes("C:\\KIT\\icones.ini", plat::kFileAttributeReadOnly));
    StartWith("Icone1",
              "NomFichier=icones.ini\r\nNomVariable=Visible\r\nIcone0=1\r\nIcone5=0\r\n"
              "Icone7=2\r\nIcone9=abc\r\nIcone49=1\r\nIcone50=1\r\n");
    EXPECT_EQ(Current(), "Etape2");
    auto flag = [](int n) {
        char value[32];
        std::string section = "Icone" + std::to_string(n);
        plat::GetPrivateProfileString(section.c_str(), "Visible", "(absent)", value, sizeof value,
                                      "C:\\KIT\\icones.ini");
        return std::string(value);
    };
    EXPECT_EQ(flag(0), "1");
    EXPECT_EQ(flag(5), "0");
    EXPECT_EQ(flag(7), "ancien");
    // Not a number: the platform reads 0, which switches the icon off.
    EXPECT_EQ(flag(9), "0");
    EXPECT_EQ(flag(49), "1");
    EXPECT_EQ(flag(50), "(absent)");
    EXPECT_EQ(flag(1), "(absent)");
}

TEST_F(FinalStepsTest, IconeChoicesThatCannotBeWrittenAreAWarningAndTheRunGoesOn) {
    WriteKitFile("icones.ini", "[Icone0]\r\nNom=Espace\r\n");
    {
        testsupport::ScopedFault fault("write:2");
        StartWith("Icone1",
                  "NomFichier=icones.ini\r\nNomVariable=Bureau\r\nIcone0=1\r\n"
                  "Icone1=1\r\n");
    }
    EXPECT_EQ(Current(), "Etape2");
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "Impossible d'enregistrer le choix des icones dans C:\\KIT\\icones.ini");
    EXPECT_FALSE(Ended());
}

TEST_F(FinalStepsTest, IconeNeedsItsFileAndItsKey) {
    for (const char* missing : {"NomFichier", "NomVariable"}) {
        SCOPED_TRACE(missing);
        sim::ui::Reset();
        std::string keys =
            std::string(missing) == "NomFichier" ? "NomVariable=v\r\n" : "NomFichier=f.ini\r\n";
        StartWith("Icone1", keys);
        EXPECT_EQ(FirstMessage(),
                  std::string("Manque la variable ") + missing + " pour etape Icone1");
        cnx::EndWizard();
    }
}

TEST_F(FinalStepsTest, FinEndsTheRunWithTheRestartPromptUnlessAvecRebootIsZero) {
    struct Case {
        const char* keys;
        int button;
        std::size_t prompts;
    };
    const Case cases[] = {{"PresenceSuivant=2\r\n", ID_SUIVANT, 1},
                          {"PresenceSuivant=2\r\nAvecReboot=0\r\n", ID_SUIVANT, 0},
                          {"PresenceQuitter=2\r\nAvecReboot=3\r\n", ID_QUITTER, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        sim::ui::Reset();
        WriteKitFile("modele_0.ins", "[User]\r\nPassword=secret\r\n");
        StartWith("Fin1", c.keys);
        ASSERT_EQ(Current(), "Fin1");
        Click(c.button);
        EXPECT_EQ(sim::ui::QuitCode(), 1);
        EXPECT_EQ(sim::ui::RebootPrompts().size(), c.prompts);
        EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << FirstMessage();
        EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
        cnx::EndWizard();
    }
}

// ParametreIE moves on at once and leaves the registry exactly as its script says: the whole
// registry after it equals the one before with the script's changes made by hand.
TEST_F(FinalStepsTest, ParametreIEChangesTheRegistryAsItsScriptSaysAndNothingMore) {
    const char* main = "Software\\Microsoft\\Internet Explorer\\Main";
    ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, main, "Start Page", "ancienne"));
    ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, main, "Search Page", "recherche"));
    WriteKitFile(
        "cfg.ini",
        cnxtest::GeneralSection() + cnxtest::IdentWindowSection("Etape1") +
            "[Etape1]\r\nSuivants=ParametreIE1\r\nPresenceSuivant=2\r\n"
            "[ParametreIE1]\r\nSuivants=Etape2\r\n"
            "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=" +
            main +
            "\r\nI000.Nom=Start Page\r\nI000.Type=c\r\nI000.Valeur=http://www.telvora.fr/\r\n"
            "I001.Branche=HKEY_CURRENT_USER\r\nI001.Cle=" +
            main +
            "\r\nI001.Nom=Search Page\r\nI001.Type=d\r\n"
            "[Etape2]\r\nSuivants=Etape2\r\n");
    Start();
    ASSERT_EQ(Current(), "Etape1");
    const std::string file = sim::Machine::Current().RegistryFile();
    auto registry = [&file] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = registry();
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << FirstMessage();
    const std::string after = registry();

    std::ofstream(file, std::ios::binary | std::ios::trunc) << before;
    ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, main, "Start Page",
                                       "http://www.telvora.fr/"));
    plat::RegKey key = 0;
    ASSERT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, main, plat::kKeyAllAccess, &key), 0);
    ASSERT_EQ(plat::RegDeleteValue(key, "Search Page"), 0);
    plat::RegCloseKey(key);
    EXPECT_EQ(after, registry());
}

}  // namespace
