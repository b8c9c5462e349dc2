// The root step's checks and the CheckUser, CheckDNS and RemoteAccess steps.
#include <gtest/gtest.h>

#include "tests/cnxassist/wizard_fixture.h"
#include "tests/support/registry_faults.h"

namespace {

using cnxtest::ReadValue;
using cnxtest::WizardTest;
using cnxtest::WriteKitFile;

constexpr const char* kAppPaths =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\ISIGNUP.EXE";

class RootStep : public WizardTest {
  protected:
    void Run(const std::string& identExtra = "", const std::string& steps = "") {
        WriteKitFile("cfg.ini", cnxtest::GeneralSection() +
                                    cnxtest::IdentWindowSection("Etape1", identExtra) +
                                    "[Etape1]\r\nSuivants=Etape1\r\n" + steps);
        Start();
    }
    void SetVersion(plat::Dword major, plat::Dword minor, plat::Dword platformId) {
        sim::MachineSettings settings = sim::Machine::Current().Settings();
        settings.major = major;
        settings.minor = minor;
        settings.platformId = platformId;
        sim::Machine::Current().SetSettings(settings);
    }
    std::string FirstBox() const {
        return sim::ui::MessageBoxes().empty() ? "(none)" : sim::ui::MessageBoxes()[0].text;
    }
};

TEST_F(RootStep, BrowserVersionGivesTheListCode) {
    const std::pair<const char*, int> cases[] = {
        {"5.00.2614.3500", 0}, {"4.72.3110.0", 1}, {"6.0.2600.0", 2}, {"", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        SetMachineRegistryValue(plat::kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer",
                                "Version", c.first);
        sim::ui::Reset();
        Run();
        EXPECT_EQ(g_ieVersionCode, c.second);
        EXPECT_EQ(Current(), "Etape1");
        cnx::EndWizard();
    }
}

TEST_F(RootStep, Windows95And98AreAcceptedOthersStopWithTheMessage) {
    SetVersion(4, 0, 1);
    Run();
    EXPECT_EQ(g_osKind, 0);
    EXPECT_EQ(Current(), "Etape1");
    cnx::EndWizard();

    SetVersion(4, 10, 1);
    sim::ui::Reset();
    Run();
    EXPECT_EQ(g_osKind, 1);
    cnx::EndWizard();

    // NT 5.0, and a 9x version between 4.0 and 4.10. The text is the whole error, even with a
    // "%" in it.
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() +
                                "[IdentWindow]\r\nSuivants=Etape1\r\nMessage=100% Windows 9x\r\n"
                                "[Etape1]\r\nSuivants=Etape1\r\n");
    for (auto version : {std::make_pair(5u, 0u), std::make_pair(4u, 5u)}) {
        SetVersion(version.first, version.second, version.first == 5 ? 2 : 1);
        sim::ui::Reset();
        Start();
        EXPECT_EQ(FirstBox(), "100% Windows 9x");
        EXPECT_EQ(sim::ui::QuitCode(), 1);
        cnx::EndWizard();
    }
}

TEST_F(RootStep, SignupProgramIsFoundRegisteredThenLocally) {
    // Registered, and present: its short path is used.
    plat::CreateDirectory("C:\\Program Files");
    plat::CreateDirectory("C:\\Program Files\\Internet Sign-up");
    plat::WriteWholeFile("C:\\Program Files\\Internet Sign-up\\isignup.exe", "x");
    SetMachineRegistryValue(plat::kHkeyLocalMachine, kAppPaths, "",
                            "C:\\Program Files\\Internet Sign-up\\isignup.exe");
    Run();
    EXPECT_EQ(std::string(g_signupPath.c_str()), "C:\\PROGRA~1\\INTERN~1\\isignup.exe");
    cnx::EndWizard();

    // Registered but gone: the copy in the working directory.
    plat::DeleteFile("C:\\Program Files\\Internet Sign-up\\isignup.exe");
    sim::ui::Reset();
    Run();
    EXPECT_EQ(std::string(g_signupPath.c_str()), "C:\\KIT\\ISIGNUP.EXE");
    cnx::EndWizard();

    // Under RelativePath.
    plat::DeleteFile("C:\\KIT\\ISIGNUP.EXE");
    plat::CreateDirectory("C:\\KIT\\Inscription Web");
    WriteKitFile("Inscription Web\\ISIGNUP.EXE", "x");
    sim::ui::Reset();
    Run("RelativePath=Inscription Web\r\n");
    EXPECT_EQ(std::string(g_signupPath.c_str()), "C:\\KIT\\INSCRI~1\\ISIGNUP.EXE");
    cnx::EndWizard();

    // Nowhere.
    sim::ui::Reset();
    Run();
    EXPECT_EQ(FirstBox(), "L'etape IdentWindow a detecté l'absence de l'assistant de connexion");
    EXPECT_EQ(g_signupPath.str(), "");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
}

TEST_F(RootStep, RootScriptUsesTheVersionFiveList) {
    SetMachineRegistryValue(plat::kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer",
                            "Version", "4.72.3110.0");
    Run("I500.Branche=HKEY_CURRENT_USER\r\nI500.Cle=S\r\nI500.Nom=v5\r\nI500.Type=c\r\n"
        "I500.Valeur=x\r\n"
        "I400.Branche=HKEY_CURRENT_USER\r\nI400.Cle=S\r\nI400.Nom=v4\r\nI400.Type=c\r\n"
        "I400.Valeur=x\r\n");
    EXPECT_TRUE(ReadValue(plat::kHkeyCurrentUser, "S", "v5").present);
    EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, "S", "v4").present);
    EXPECT_EQ(g_ieVersionCode, 1);
}

TEST_F(RootStep, CheckUserWaitsOnlyWithoutALoggedOnUser) {
    const std::string steps =
        "[CheckUser1]\r\nSuivants=Etape2\r\nPresenceSuivant=2\r\n[Etape2]\r\nSuivants=Etape2\r\n";
    WriteKitFile("cfg.ini",
                 cnxtest::GeneralSection() + cnxtest::IdentWindowSection("CheckUser1") + steps);
    Start();
    EXPECT_EQ(Current(), "CheckUser1");
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Etape2");
    cnx::EndWizard();

    SetMachineRegistryValue(plat::kHkeyLocalMachine, "System\\CurrentControlSet\\Control",
                            "Current User", "Marie");
    sim::ui::Reset();
    Start();
    EXPECT_EQ(Current(), "Etape2");
}

TEST_F(RootStep, CheckDnsReplacesOnlyAForeignNameServer) {
    const char* mstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
    const std::string steps =
        "[CheckDNS1]\r\nSuivants=Etape2\r\nPresenceSuivant=2\r\nDomain=telvora.fr\r\n"
        "Serveur=194.206.16.1,194.206.16.2\r\n[Etape2]\r\nSuivants=Etape2\r\n";
    WriteKitFile("cfg.ini",
                 cnxtest::GeneralSection() + cnxtest::IdentWindowSection("CheckDNS1") + steps);
    // No name server: straight on, nothing written.
    Start();
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_FALSE(ReadValue(plat::kHkeyLocalMachine, mstcp, "Domain").present);
    cnx::EndWizard();

    // The provider's own: straight on.
    SetMachineRegistryValue(plat::kHkeyLocalMachine, mstcp, "NameServer", "194.206.16.9");
    sim::ui::Reset();
    Start();
    EXPECT_EQ(Current(), "Etape2");
    cnx::EndWizard();

    // Another provider's: the page waits, then Next writes the section's values.
    SetMachineRegistryValue(plat::kHkeyLocalMachine, mstcp, "NameServer", "10.0.0.1");
    sim::ui::Reset();
    Start();
    EXPECT_EQ(Current(), "CheckDNS1");
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "Etape2");
    EXPECT_EQ(ReadValue(plat::kHkeyLocalMachine, mstcp, "Domain").Text(), "telvora.fr");
    EXPECT_EQ(ReadValue(plat::kHkeyLocalMachine, mstcp, "NameServer").Text(),
              "194.206.16.1,194.206.16.2");
}

TEST_F(RootStep, NameServersThatCannotBeWrittenEndTheRun) {
    const char* mstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() + cnxtest::IdentWindowSection("CheckDNS1") +
                                "[CheckDNS1]\r\nSuivants=Etape2\r\nPresenceSuivant=2\r\n"
                                "Domain=telvora.fr\r\nServeur=194.206.16.1\r\n"
                                "[Etape2]\r\nSuivants=Etape2\r\n");
    SetMachineRegistryValue(plat::kHkeyLocalMachine, mstcp, "NameServer", "10.0.0.1");
    Start();
    ASSERT_EQ(Current(), "CheckDNS1");
    {
        // The domain is written, the name servers are not.
        testsupport::ScopedFault fault("registry:2");
        Click(ID_SUIVANT);
    }
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "Impossible d'enregistrer les serveurs de noms de telvora.fr");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    EXPECT_EQ(ReadValue(plat::kHkeyLocalMachine, mstcp, "NameServer").Text(), "10.0.0.1");
}

TEST_F(RootStep, RemoteAccessBranchesOnTheDefaultConnection) {
    const std::string steps =
        "[RemoteAccess1]\r\nSuivants=EtapeOui,EtapeNon\r\nNomATester=Telvora\r\n"
        "[EtapeOui]\r\nSuivants=EtapeOui\r\nPresencePrecedent=2\r\n"
        "[EtapeNon]\r\nSuivants=EtapeNon\r\nPresencePrecedent=2\r\n";
    WriteKitFile("cfg.ini",
                 cnxtest::GeneralSection() + cnxtest::IdentWindowSection("RemoteAccess1") + steps);
    SetMachineRegistryValue(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile",
                            "Telvora Paris");
    Start();
    EXPECT_EQ(Current(), "EtapeOui");
    cnx::EndWizard();

    SetMachineRegistryValue(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile",
                            "telvora Paris");
    sim::ui::Reset();
    Start();
    EXPECT_EQ(Current(), "EtapeNon");
    cnx::EndWizard();

    // A single item and a name that does not match: the factory's error for an empty name.
    WriteKitFile("cfg.ini", cnxtest::GeneralSection() +
                                cnxtest::IdentWindowSection("RemoteAccess1") +
                                "[RemoteAccess1]\r\nSuivants=EtapeOui\r\nNomATester=Telvora\r\n");
    sim::ui::Reset();
    Start();
    EXPECT_EQ(FirstBox(), "etape inexistante : ");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    cnx::EndWizard();

    WriteKitFile("cfg.ini", cnxtest::GeneralSection() +
                                cnxtest::IdentWindowSection("RemoteAccess1") +
                                "[RemoteAccess1]\r\nSuivants=EtapeOui\r\n");
    sim::ui::Reset();
    Start();
    EXPECT_EQ(FirstBox(), "Manque la variable NomATester pour etape RemoteAccess1");
}

TEST_F(RootStep, RemoteAccessReusesItsBranchStepsAndLooksAgainOnEveryPass) {
    // The registry script of a step runs when the step is built: the mark set again after the
    // first pass shows whether a later pass built it anew.
    const std::string kDeletesMark =
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Software\\Marques\r\nI000.Nom=Oui\r\n"
        "I000.Type=d\r\n";
    auto setMark = [this] {
        SetMachineRegistryValue(plat::kHkeyCurrentUser, "Software\\Marques", "Oui", "1");
    };
    WriteKitFile("cfg.ini",
                 cnxtest::GeneralSection() + cnxtest::IdentWindowSection("RemoteAccess1") +
                     "[RemoteAccess1]\r\nSuivants=EtapeOui,EtapeNon\r\nNomATester=Telvora\r\n"
                     "[EtapeOui]\r\nSuivants=EtapeOui\r\nPresencePrecedent=2\r\n" +
                     kDeletesMark + "[EtapeNon]\r\nSuivants=EtapeNon\r\nPresencePrecedent=2\r\n");
    auto setProfile = [this](const char* name) {
        SetMachineRegistryValue(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile", name);
    };
    setProfile("Telvora Paris");
    Start();
    ASSERT_EQ(Current(), "EtapeOui");
    CEtape* yes = g_assistant->m_current;
    setMark();
    // Back on the branch step, which moves on at once with the connection of now.
    setProfile("Autre");
    Click(ID_PRECEDENT);
    ASSERT_EQ(Current(), "EtapeNon");
    CEtape* no = g_assistant->m_current;
    setProfile("Telvora Lyon");
    Click(ID_PRECEDENT);
    EXPECT_EQ(g_assistant->m_current, yes);
    EXPECT_TRUE(ReadValue(plat::kHkeyCurrentUser, "Software\\Marques", "Oui").present);
    // An empty name never matches.
    setProfile("");
    Click(ID_PRECEDENT);
    EXPECT_EQ(g_assistant->m_current, no);
    EXPECT_TRUE(sim::ui::MessageBoxes().empty());
}

}  // namespace
