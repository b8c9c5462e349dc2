// The account and sign-up steps on the simulated machine: the fields typed on their pages go
// into the sign-up files, the sign-up program (the stand-in, ISIGNUP.EXE) is started and waited
// for, and its outcome is judged by the default dial-up connection.
#include <chrono>
#include <string>
#include <thread>

#include "cnxassist/etapes_inscription.h"
#include "cnxassist/process_watch.h"
#include "cnxassist/resource_ids.h"
#include "cnxassist/wizard_utils.h"
#include "platform/profile.h"
#include "tests/cnxassist/wizard_fixture.h"
#include "tests/support/registry_faults.h"

namespace {

using cnxtest::ReadValue;
using cnxtest::WriteKitFile;

constexpr const char* kRecordKey = "Software\\Telvora\\ISIGNUP stand-in";
constexpr const char* kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr const char* kStringTwentyEight =
    "Un problème est survenu. Impossible de continuer l'installation.";

const char kConnectionPage[] =
    "fenetre(0,300,100)((saisie,1,300,20,\"champ\") sur ((saisie,2,300,20,\"champ\") sur "
    "(saisie,3,300,20,\"champ\")))";
const char kMailPage[] =
    "fenetre(0,300,100)((saisie,1,300,20,\"champ\") sur (saisie,2,300,20,\"champ\"))";
const char kPrefixPage[] = "fenetre(0,300,100)(saisie,1,300,20,\"champ\")";

class SignupTest : public cnxtest::WizardTest {
  protected:
    void SetUp() override {
        WizardTest::SetUp();
        if (HasFatalFailure()) return;
        // The stand-in replaces the "stand-in" text file the wizard fixture puts there.
        std::string standIn = sim::Machine::Current().ToWindowsPath(ISIGNUP_PATH);
        ASSERT_TRUE(plat::CopyFile(standIn.c_str(), "C:\\KIT\\ISIGNUP.EXE", false));
        WriteKitFile("conn.txt", kConnectionPage);
        WriteKitFile("mail.txt", kMailPage);
        WriteKitFile("pre.txt", kPrefixPage);
        g_dialPrefix = "";
        g_profileBefore = "";
        // Every machine with a browser has this key; the steps open it without creating it.
        plat::RegKey key = 0;
        ASSERT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, kInternetSettings, &key), 0);
        plat::RegCloseKey(key);
    }

    // The existing subscriber's path: IdConnexion, IdMail, DejaAbonne, then EtapeFin.
    static std::string ExistingSubscriberSteps(const std::string& connexionExtra = "") {
        return cnxtest::GeneralSection() + cnxtest::IdentWindowSection("IdConnexion1") +
               "[IdConnexion1]\r\nSuivants=IdMail1\r\nDescription=conn.txt\r\nNbSaisies=3\r\n"
               "PresenceSuivant=2\r\nPresencePrecedent=2\r\n" +
               connexionExtra +
               "[IdMail1]\r\nSuivants=DejaAbonne1\r\nDescription=mail.txt\r\nNbSaisies=2\r\n"
               "PresenceSuivant=2\r\nPresencePrecedent=2\r\n"
               "[DejaAbonne1]\r\nSuivants=EtapeFin\r\nPresenceSuivant=1\r\nPresencePrecedent=1\r\n"
               "PresenceQuitter=2\r\n"
               "[EtapeFin]\r\nSuivants=EtapeFin\r\n";
    }
    // A new subscription: PreInscription, then an Inscription step whose name only begins with
    // "Inscription", then EtapeFin.
    static std::string NewSubscriptionSteps(const std::string& inscriptionSection) {
        return cnxtest::GeneralSection() + cnxtest::IdentWindowSection("PreInscription1") +
               "[PreInscription1]\r\nSuivants=Inscription2\r\nDescription=pre.txt\r\n"
               "PresenceSuivant=2\r\n"
               "[Inscription2]\r\nSuivants=EtapeFin\r\nTelvoraIsp=nouveau.ins\r\n" +
               inscriptionSection + "[EtapeFin]\r\nSuivants=EtapeFin\r\n";
    }

    void Type(int id, const std::string& text) {
        plat::Hwnd edit = plat::GetDlgItem(Window(), id);
        ASSERT_NE(edit, 0u) << id;
        ASSERT_TRUE(sim::ui::ReplaceText(edit, text));
    }
    // Waits (in real time) until the stand-in has ended, then lets the wizard's timer see it.
    void FinishWaiting() {
        for (int i = 0; i < 500 && cnx::WatchedProcessRunning(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_FALSE(cnx::WatchedProcessRunning());
        sim::ui::AdvanceClock(kWaitTimerMilliseconds);
        sim::ui::PumpMessages();
    }
    static std::string Ins(const char* file, const char* section, const char* key) {
        char value[256];
        plat::GetPrivateProfileString(section, key, "(absent)", value, sizeof value, file);
        return value;
    }
    static std::string Recorded(const char* name) {
        return ReadValue(plat::kHkeyCurrentUser, kRecordKey, name).Text();
    }
    static std::string Profile() {
        return ReadValue(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile").Text();
    }
    void WalkToDejaAbonne(const std::string& user = "jdupont") {
        ASSERT_EQ(Current(), "IdConnexion1");
        Type(kFirstControlId, user);
        Type(kFirstControlId + 1, "motdepasse");
        Type(kFirstControlId + 2, "0,");
        Click(ID_SUIVANT);
        ASSERT_EQ(Current(), "IdMail1");
        Type(kFirstControlId + 3, user);
        Type(kFirstControlId + 4, "courrier");
        Click(ID_SUIVANT);
    }
};

TEST_F(SignupTest, ExistingSubscriberWritesTheWorkingFileRunsTheProgramAndGoesOn) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    WriteKitFile("modele.ins",
                 "[Entry]\r\nEntry_Name=Telvora Essai\r\n[StandIn]\r\nOutcome=created,300\r\n");
    Start();
    WalkToDejaAbonne();
    // DejaAbonne moved on by itself and started the program on the working copy.
    ASSERT_EQ(Current(), "DejaAbonne1");
    ASSERT_TRUE(cnx::WatchedProcessRunning());
    const char* working = "C:\\KIT\\modele_0.ins";
    EXPECT_EQ(Ins(working, "Entry", "Entry_Name"), "Telvora Essai");
    EXPECT_EQ(Ins(working, "User", "Name"), "jdupont");
    EXPECT_EQ(Ins(working, "User", "Password"), "motdepasse");
    EXPECT_EQ(Ins(working, "Internet_Mail", "Email_Name"), "jdupont");
    EXPECT_EQ(Ins(working, "Internet_Mail", "POP_Logon_Name"), "jdupont");
    EXPECT_EQ(Ins(working, "Internet_Mail", "Email_address"),
              std::string("jdupont") + kMailDomainSuffix);
    EXPECT_EQ(Ins(working, "Internet_Mail", "POP_Logon_Password"), "courrier");
    EXPECT_EQ(std::string(g_dialPrefix.c_str()), "0,");
    // The browser dials by itself from now on.
    const char* settings = kInternetSettings;
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, settings, "EnableAutoDial").bytes,
              (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, settings, "GlobalUserOffline").bytes,
              (std::vector<std::uint8_t>{0, 0, 0, 0}));
    // While it runs, the buttons are as the step's section says, and the timer polls.
    EXPECT_TRUE(Button(ID_SUIVANT).style & plat::kWsDisabled);
    EXPECT_TRUE(Button(ID_PRECEDENT).style & plat::kWsDisabled);
    EXPECT_FALSE(Button(ID_QUITTER).style & plat::kWsDisabled);
    ASSERT_EQ(sim::ui::Timers().size(), 1u);
    // Every 500 ms, as the wizard's documentation says: the figure, not the wizard's constant.
    EXPECT_EQ(sim::ui::Timers()[0].interval, 500u);
    sim::ui::AdvanceClock(500);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "DejaAbonne1");

    FinishWaiting();
    EXPECT_EQ(Current(), "EtapeFin");
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(sim::ui::Timers().empty());
    EXPECT_EQ(Profile(), "Telvora Essai");
    // Exactly one argument reached the program: the working file's path.
    EXPECT_EQ(Recorded("File"), "C:\\KIT\\modele_0.ins");
    EXPECT_EQ(Recorded("Password"), "motdepasse");
    EXPECT_EQ(Recorded("POP_Logon_Password"), "courrier");
}

// Both password fields (field 2) show asterisks; what goes into the sign-up file is the text
// typed. The other fields show what is typed.
TEST_F(SignupTest, PasswordFieldsAreMaskedAndTheirTextGoesIntoTheFile) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    Start();
    auto masked = [this](int id) {
        plat::Hwnd field = plat::GetDlgItem(Window(), id);
        return (sim::ui::Info(field).style & plat::kEsPassword) != 0 &&
               plat::SendMessage(field, plat::kEmGetPasswordChar, 0, 0) == '*';
    };
    ASSERT_EQ(Current(), "IdConnexion1");
    EXPECT_FALSE(masked(kFirstControlId));
    EXPECT_TRUE(masked(kFirstControlId + 1));
    EXPECT_FALSE(masked(kFirstControlId + 2));
    Type(kFirstControlId, "jdupont");
    Type(kFirstControlId + 1, "mot de passe");
    Click(ID_SUIVANT);
    ASSERT_EQ(Current(), "IdMail1");
    EXPECT_FALSE(masked(kFirstControlId + 3));
    EXPECT_TRUE(masked(kFirstControlId + 4));
    Type(kFirstControlId + 4, "courrier");
    Click(ID_SUIVANT);
    EXPECT_EQ(Ins("C:\\KIT\\modele_0.ins", "User", "Password"), "mot de passe");
    EXPECT_EQ(Ins("C:\\KIT\\modele_0.ins", "Internet_Mail", "POP_Logon_Password"), "courrier");
}

// The prefix of IdConnexion keeps only what a dialling string holds; the rest is written on.
TEST_F(SignupTest, IdConnexionDropsWhatNoDiallingPrefixHoldsAndGoesOn) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    Start();
    ASSERT_EQ(Current(), "IdConnexion1");
    Type(kFirstControlId, "jdupont");
    Type(kFirstControlId + 2, "0\",");
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "IdMail1");
    EXPECT_EQ(std::string(g_dialPrefix.c_str()), "0,");
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text, "Caractères ignorés dans le préfixe : \"");
    EXPECT_EQ(Ins("C:\\KIT\\modele_0.ins", "User", "Name"), "jdupont");
    EXPECT_FALSE(Ended());
}

// Read-only files are written all the same: the template before its copy (the copy would keep
// the attribute), the working copy by IdMail, the new-subscription file. The browser settings
// key is only opened: a machine without it does not get one.
TEST_F(SignupTest, ReadOnlySignupFilesAreWrittenAndTheBrowserKeyIsNeverCreated) {
    plat::RegKey user = 0;
    ASSERT_EQ(
        plat::RegOpenKey(plat::kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion",
                         plat::kKeyAllAccess, &user),
        0);
    ASSERT_EQ(plat::RegDeleteKey(user, "Internet Settings"), 0);
    plat::RegCloseKey(user);
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    WriteKitFile("modele.ins",
                 "[Entry]\r\nEntry_Name=Lecture Seule\r\n"
                 "[StandIn]\r\nOutcome=created,0\r\n");
    ASSERT_TRUE(plat::SetFileAttributes("C:\\KIT\\modele.ins", plat::kFileAttributeReadOnly));
    Start();
    ASSERT_EQ(Current(), "IdConnexion1");
    Type(kFirstControlId, "jdupont");
    Click(ID_SUIVANT);
    ASSERT_EQ(Current(), "IdMail1");
    EXPECT_EQ(Ins("C:\\KIT\\modele_0.ins", "User", "Name"), "jdupont");
    ASSERT_TRUE(plat::SetFileAttributes("C:\\KIT\\modele_0.ins", plat::kFileAttributeReadOnly));
    Type(kFirstControlId + 3, "jdupont");
    Click(ID_SUIVANT);
    EXPECT_EQ(Ins("C:\\KIT\\modele_0.ins", "Internet_Mail", "Email_Name"), "jdupont");
    FinishWaiting();
    EXPECT_EQ(Current(), "EtapeFin");
    EXPECT_FALSE(cnxtest::KeyExists(plat::kHkeyCurrentUser, kInternetSettings));
    cnx::EndWizard();

    sim::ui::Reset();
    g_nextControlId = kFirstControlId;
    WriteKitFile("cfg.ini", NewSubscriptionSteps(""));
    WriteKitFile("nouveau.ins",
                 "[Entry]\r\nEntry_Name=Nouvel Abonne\r\n"
                 "[StandIn]\r\nOutcome=created,0\r\n");
    ASSERT_TRUE(plat::SetFileAttributes("C:\\KIT\\nouveau.ins", plat::kFileAttributeReadOnly));
    Start();
    Type(kFirstControlId, "0,");
    Click(ID_SUIVANT);
    EXPECT_EQ(Ins("C:\\KIT\\nouveau.ins", "Phone", "Phone_Number"),
              std::string("0,") + kRegistrationPhoneNumber);
    FinishWaiting();
    EXPECT_EQ(Current(), "EtapeFin");
    EXPECT_FALSE(cnxtest::KeyExists(plat::kHkeyCurrentUser, kInternetSettings));
}

// A connection page without field 3 leaves the dialling prefix as it was.
TEST_F(SignupTest, IdConnexionWithoutAPrefixFieldKeepsThePrefix) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    WriteKitFile("conn.txt", kMailPage);
    g_dialPrefix = "9";
    Start();
    ASSERT_EQ(Current(), "IdConnexion1");
    Type(kFirstControlId, "jdupont");
    Click(ID_SUIVANT);
    EXPECT_EQ(Current(), "IdMail1");
    EXPECT_EQ(std::string(g_dialPrefix.c_str()), "9");
}

TEST_F(SignupTest, KeysGoIntoANewWorkingFileInTheirOrderWhenTheTemplateIsMissing) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    Start();
    WalkToDejaAbonne();
    std::string text;
    ASSERT_TRUE(plat::ReadWholeFile("C:\\KIT\\modele_0.ins", &text));
    std::size_t at = 0;
    for (const char* line :
         {"[User]", "Name=jdupont", "Password=motdepasse", "[Internet_Mail]", "Email_Name=jdupont",
          "POP_Logon_Name=jdupont", "Email_address=jdupont@", "POP_Logon_Password=courrier"}) {
        std::size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " after " << at << " in\n" << text;
        at = found;
    }
}

TEST_F(SignupTest, ASecondPassThroughIdConnexionKeepsTheWorkingFileAndReplacesTheIdentifiers) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    WriteKitFile("modele.ins", "[Entry]\r\nEntry_Name=Modele\r\n");
    Start();
    Type(kFirstControlId, "premier");
    Click(ID_SUIVANT);
    ASSERT_EQ(Current(), "IdMail1");
    // What a step wrote meanwhile must survive: the working copy is not taken again.
    plat::WritePrivateProfileString("Entry", "Entry_Name", "Ecrit", "C:\\KIT\\modele_0.ins");
    Click(ID_PRECEDENT);
    ASSERT_EQ(Current(), "IdConnexion1");
    Type(kFirstControlId, "second");
    Type(kFirstControlId + 1, "autre");
    Click(ID_SUIVANT);
    EXPECT_EQ(Ins("C:\\KIT\\modele_0.ins", "Entry", "Entry_Name"), "Ecrit");
    EXPECT_EQ(Ins("C:\\KIT\\modele_0.ins", "User", "Name"), "second");
    EXPECT_EQ(Ins("C:\\KIT\\modele_0.ins", "User", "Password"), "autre");
}

// The subscriber's identifiers must reach the sign-up file: a copy of the model that fails
// while the model is there, or a write of an identifier that fails, is a fatal error naming it.
class SignupFileFaults : public SignupTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SignupFileFaults, IdentifiersThatCannotReachTheSignupFileEndTheRun) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    WriteKitFile("modele.ins", "[Entry]\r\nEntry_Name=Modele\r\n");
    Start();
    Type(kFirstControlId, "jdupont");
    {
        testsupport::ScopedFault fault(GetParam());
        Click(ID_SUIVANT);
    }
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              std::string(GetParam()) == "copy:1"
                  ? "Impossible de copier C:\\KIT\\modele.ins dans C:\\KIT\\modele_0.ins"
                  : "Impossible d'ecrire Name dans le fichier C:\\KIT\\modele_0.ins");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
}
INSTANTIATE_TEST_SUITE_P(CopyOrWrite, SignupFileFaults, ::testing::Values("copy:1", "write:1"));

TEST_F(SignupTest, BrowserDialSettingsThatCannotBeWrittenEndTheRunBeforeTheSignupProgram) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    Start();
    Type(kFirstControlId + 2, "0,");  // not the page's hint, which holds letters
    Click(ID_SUIVANT);
    {
        // GlobalUserOffline, the second registry change of the step.
        testsupport::ScopedFault fault("registry:2");
        Click(ID_SUIVANT);
    }
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "Impossible de regler la numerotation du navigateur");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, kRecordKey, "Runs").present)
        << "the sign-up program was started";
}

TEST_F(SignupTest, NewSubscriptionDialsThePrefixBeforeTheRegistrationNumber) {
    struct Case {
        const char* prefix;
        const char* inscriptionSection;
        const char* expected;
        const char* warning;  // the box, or nothing
    };
    const Case cases[] = {
        {"0,", "[Inscription]\r\nRegister_Phone_Number=0860111222\r\n", "0,0860111222", ""},
        {"", "[Inscription]\r\nRegister_Phone_Number=0860111222\r\n", "0860111222", ""},
        {"9", "", "90860765432", ""},
        // Present but empty is the built-in number too, not the prefix alone.
        {"9", "[Inscription]\r\nRegister_Phone_Number=\r\n", "90860765432", ""},
        // Blanks and dialling signs are kept; anything else is dropped, with a warning.
        {"0, *9#W", "", "0, *9#W0860765432", ""},
        {"9\"0", "", "900860765432", "Caractères ignorés dans le préfixe : \""},
        {"é9=0x", "", "900860765432", "Caractères ignorés dans le préfixe : é=x"},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        WriteKitFile("cfg.ini", NewSubscriptionSteps(c.inscriptionSection));
        // Each run makes a connection of another name: the same name would count as no change.
        WriteKitFile("nouveau.ins", "[Entry]\r\nEntry_Name=Abonne " + std::to_string(++run) +
                                        "\r\n"
                                        "[StandIn]\r\nOutcome=created,200\r\n");
        Start();
        ASSERT_EQ(Current(), "PreInscription1");
        Type(kFirstControlId, c.prefix);
        Click(ID_SUIVANT);
        ASSERT_EQ(Current(), "Inscription2");
        EXPECT_EQ(Ins("C:\\KIT\\nouveau.ins", "Phone", "Phone_Number"), c.expected);
        if (*c.warning == '\0') {
            EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << sim::ui::MessageBoxes()[0].text;
        } else {
            ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
            EXPECT_EQ(sim::ui::MessageBoxes()[0].text, c.warning);
            EXPECT_EQ(sim::ui::MessageBoxes()[0].flags, plat::kMbOk | plat::kMbIconStop);
        }
        // All three buttons stay disabled while the program runs.
        for (int id : {ID_PRECEDENT, ID_SUIVANT, ID_QUITTER}) {
            EXPECT_TRUE(Button(id).style & plat::kWsDisabled) << id;
            EXPECT_TRUE(plat::IsWindowVisible(plat::GetDlgItem(Window(), id))) << id;
        }
        FinishWaiting();
        EXPECT_EQ(Current(), "EtapeFin");
        EXPECT_EQ(Recorded("Phone_Number"), c.expected);
        EXPECT_EQ(Recorded("File"), "C:\\KIT\\nouveau.ins");
        cnx::EndWizard();
        plat::DeleteFile("C:\\KIT\\nouveau.ins");
    }
}

TEST_F(SignupTest, AnUnchangedProfileEndsWithStringTwentyEightAndAnyChangeGoesOn) {
    struct Case {
        const char* before;  // null: no value before the run
        const char* outcome;
        bool goesOn;
    };
    const Case cases[] = {
        {nullptr, "unchanged,100", false},
        {"Ancienne", "unchanged,100", false},
        {"Ancienne", "created,100", true},
        {nullptr, "created,100", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before ? c.before : "(none)") + " " + c.outcome);
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        plat::RegKey root = plat::kHkeyCurrentUser;
        if (c.before != nullptr) {
            ASSERT_TRUE(testsupport::WriteText(root, "RemoteAccess", "InternetProfile", c.before));
        } else {
            plat::RegKey key = 0;
            if (plat::RegOpenKey(root, "RemoteAccess", plat::kKeyAllAccess, &key) == 0) {
                plat::RegDeleteValue(key, "InternetProfile");
                plat::RegCloseKey(key);
            }
        }
        WriteKitFile("cfg.ini", ExistingSubscriberSteps());
        WriteKitFile("modele.ins",
                     std::string("[Entry]\r\nEntry_Name=Telvora\r\n[StandIn]\r\nOutcome=") +
                         c.outcome + "\r\n");
        Start();
        WalkToDejaAbonne();
        EXPECT_TRUE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
        FinishWaiting();
        if (c.goesOn) {
            EXPECT_EQ(Current(), "EtapeFin");
            EXPECT_TRUE(sim::ui::MessageBoxes().empty());
        } else {
            ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
            EXPECT_EQ(sim::ui::MessageBoxes()[0].text, kStringTwentyEight);
            EXPECT_EQ(sim::ui::QuitCode(), 1);
        }
        cnx::EndWizard();
        // The working file holds the password in clear: it goes at the end of every run.
        EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
    }
}

TEST_F(SignupTest, PreInscriptionResetsTheRecordedProfileButIdConnexionKeepsItWhenUnreadable) {
    // No "RemoteAccess" key at all.
    g_profileBefore = "Ancienne";
    g_dialPrefix = "7";
    WriteKitFile("cfg.ini", NewSubscriptionSteps(""));
    WriteKitFile("nouveau.ins", "[StandIn]\r\nOutcome=unchanged,0\r\n");
    Start();
    Type(kFirstControlId, "");
    Click(ID_SUIVANT);
    EXPECT_STREQ(g_profileBefore.c_str(), "");
    EXPECT_STREQ(g_dialPrefix.c_str(), "");
    cnx::EndWizard();

    sim::ui::Reset();
    g_nextControlId = kFirstControlId;
    g_profileBefore = "Ancienne";
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    Start();
    Click(ID_SUIVANT);
    ASSERT_EQ(Current(), "IdMail1");
    EXPECT_STREQ(g_profileBefore.c_str(), "Ancienne");
    ASSERT_TRUE(testsupport::WriteText(plat::kHkeyCurrentUser, "RemoteAccess", "InternetProfile",
                                       "Courante"));
    Click(ID_PRECEDENT);
    Click(ID_SUIVANT);
    EXPECT_STREQ(g_profileBefore.c_str(), "Courante");
}

TEST_F(SignupTest, AMissingNegativeOrOversizedFieldCountIsAFatalErrorNamingTheSection) {
    // 42491 fields from id 23046 would reach id 65536, which no click can name.
    for (const char* count :
         {"", "NbSaisies=-2\r\n", "NbSaisies=42491\r\n", "NbSaisies=2147483647\r\n"}) {
        SCOPED_TRACE(count);
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        std::string steps = ExistingSubscriberSteps();
        steps.replace(steps.find("NbSaisies=3\r\n"), 13, count);
        WriteKitFile("cfg.ini", steps);
        Start();
        ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
        EXPECT_NE(sim::ui::MessageBoxes()[0].text.find("IdConnexion1"), std::string::npos)
            << sim::ui::MessageBoxes()[0].text;
        EXPECT_EQ(sim::ui::QuitCode(), 1);
        // The counter never goes back over ids that earlier pages' controls took, nor past
        // the ids a click can name.
        EXPECT_GE(g_nextControlId, kFirstControlId);
        EXPECT_LE(g_nextControlId, kLastControlId + 1);
        cnx::EndWizard();
    }
}

TEST_F(SignupTest, ATypedLineBreakNeverAddsLinesToASignupFile) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    Start();
    plat::SetWindowText(plat::GetDlgItem(Window(), kFirstControlId), "jdupont");
    plat::SetWindowText(plat::GetDlgItem(Window(), kFirstControlId + 1),
                        "secret\r\n[Phone]\r\nPhone_Number=0899999999");
    Click(ID_SUIVANT);
    plat::SetWindowText(plat::GetDlgItem(Window(), kFirstControlId + 3), "jean\nPOP_Logon=x");
    Click(ID_SUIVANT);
    const char* working = "C:\\KIT\\modele_0.ins";
    EXPECT_EQ(Ins(working, "User", "Password"), "secret");
    EXPECT_EQ(Ins(working, "Phone", "Phone_Number"), "(absent)");
    EXPECT_EQ(Ins(working, "Internet_Mail", "Email_Name"), "jean");
    EXPECT_EQ(Ins(working, "Internet_Mail", "Email_address"),
              std::string("jean") + kMailDomainSuffix);
    EXPECT_EQ(Ins(working, "Internet_Mail", "POP_Logon"), "(absent)");
}

TEST_F(SignupTest, ASignupProgramThatCannotStartEndsTheRunWithItsPath) {
    WriteKitFile("ISIGNUP.EXE", "not a program");
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    Start();
    WalkToDejaAbonne();
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "Impossible de lancer le programme d'inscription C:\\KIT\\ISIGNUP.EXE");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    EXPECT_TRUE(sim::ui::Timers().empty());
    cnx::EndWizard();
    EXPECT_FALSE(plat::CanOpenForReading("C:\\KIT\\modele_0.ins"));
}

TEST_F(SignupTest, AnErrorOfTheStepAfterTheWaitIsReportedOnce) {
    std::string steps = ExistingSubscriberSteps();
    const std::string last = "Suivants=EtapeFin";
    steps.replace(steps.find(last), last.size(), "Suivants=Absente");
    WriteKitFile("cfg.ini", steps);
    WriteKitFile("modele.ins", "[StandIn]\r\nOutcome=created,100\r\n");
    Start();
    WalkToDejaAbonne();
    FinishWaiting();
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text, "etape inexistante : Absente");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
}

// Whether a process whose full path contains `path` is in the process list; no tick of the
// wizard involved.
bool Listed(const std::string& path) {
    std::vector<std::string> names;
    EXPECT_TRUE(plat::ProcessSnapshot(&names));
    for (const std::string& name : names) {
        if (cnx::UpperCase(name).find(cnx::UpperCase(path)) != std::string::npos) return true;
    }
    return false;
}

void WaitUntilGone(const std::string& path) {
    for (int i = 0; i < 500 && Listed(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(Listed(path)) << path;
}

TEST_F(SignupTest, WhileTheSignupProgramRunsTheWaitTakesNoSnapshot) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    WriteKitFile("modele.ins",
                 "[Entry]\r\nEntry_Name=Sans Liste\r\n[StandIn]\r\nOutcome=created,1500\r\n");
    Start();
    WalkToDejaAbonne();
    ASSERT_EQ(Current(), "DejaAbonne1");
    const long before = cnx::SnapshotsTaken();
    for (int tick = 0; tick < 3; ++tick) {
        sim::ui::AdvanceClock(kWaitTimerMilliseconds);
        sim::ui::PumpMessages();
        EXPECT_EQ(Current(), "DejaAbonne1");
    }
    EXPECT_EQ(cnx::SnapshotsTaken(), before);
    // Once it has ended, the process list decides again, and finds nothing to wait for.
    FinishWaiting();
    EXPECT_GT(cnx::SnapshotsTaken(), before);
    EXPECT_EQ(Current(), "EtapeFin");
    EXPECT_TRUE(sim::ui::Timers().empty());
    EXPECT_EQ(Profile(), "Sans Liste");
}

TEST_F(SignupTest, ASecondSignupProcessKeepsTheWizardWaitingAfterTheFirstHasEnded) {
    WriteKitFile("cfg.ini", ExistingSubscriberSteps());
    WriteKitFile("modele.ins",
                 "[Entry]\r\nEntry_Name=Deux Programmes\r\n[StandIn]\r\nOutcome=created,100\r\n");
    ASSERT_TRUE(plat::CreateDirectory("C:\\KIT\\sub"));
    std::string child = sim::Machine::Current().ToWindowsPath(TEST_CHILD_PATH);
    ASSERT_TRUE(plat::CopyFile(child.c_str(), "C:\\KIT\\sub\\ISIGNUP2.EXE", false));
    Start();
    WalkToDejaAbonne();
    ASSERT_EQ(Current(), "DejaAbonne1");
    // What a sign-up program that hands over to another one leaves running.
    ASSERT_EQ(plat::SpawnNoWait("C:\\KIT\\sub\\ISIGNUP2.EXE", {"x", "sleep", "2500"}), 0);
    WaitUntilGone("C:\\KIT\\ISIGNUP.EXE");
    // The platform may take a moment more to report the stand-in's end to the wizard than to
    // drop it from the list: tick until the wizard turns to the list, which still shows the
    // second program.
    const long before = cnx::SnapshotsTaken();
    for (int i = 0; i < 100 && cnx::SnapshotsTaken() == before; ++i) {
        sim::ui::AdvanceClock(kWaitTimerMilliseconds);
        sim::ui::PumpMessages();
        if (cnx::SnapshotsTaken() == before) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    EXPECT_GT(cnx::SnapshotsTaken(), before);
    EXPECT_EQ(Current(), "DejaAbonne1");
    WaitUntilGone("C:\\KIT\\SUB\\ISIGNUP2.EXE");
    sim::ui::AdvanceClock(kWaitTimerMilliseconds);
    sim::ui::PumpMessages();
    EXPECT_EQ(Current(), "EtapeFin");
    EXPECT_TRUE(sim::ui::Timers().empty());
}

TEST_F(SignupTest, AProgramOfAnotherNameIsLeftToTheProcessList) {
    ASSERT_TRUE(plat::CreateDirectory("C:\\KIT\\ISIGNUP"));
    std::string child = sim::Machine::Current().ToWindowsPath(TEST_CHILD_PATH);
    // Only the folder carries the name: the file itself is not one the wizard waits for.
    const char* other = "C:\\KIT\\ISIGNUP\\AUTRE.EXE";
    ASSERT_TRUE(plat::CopyFile(child.c_str(), other, false));
    plat::ProcessHandle started = 0;
    ASSERT_EQ(plat::SpawnNoWait(other, {"x", "sleep", "400"}, &started), 0);
    cnx::WatchSignupProcess(started, other);
    const long before = cnx::SnapshotsTaken();
    // The snapshot sees the folder's name in its full path, as it always did.
    EXPECT_TRUE(cnx::WatchedProcessRunning());
    EXPECT_EQ(cnx::SnapshotsTaken(), before + 1);
    WaitUntilGone(other);
}

TEST_F(SignupTest, AForgottenSignupProgramNoLongerKeepsTheWizardWaiting) {
    std::string child = sim::Machine::Current().ToWindowsPath(TEST_CHILD_PATH);
    ASSERT_TRUE(plat::CopyFile(child.c_str(), "C:\\KIT\\ISIGNUP.EXE", false));
    plat::ProcessHandle started = 0;
    ASSERT_EQ(plat::SpawnNoWait("C:\\KIT\\ISIGNUP.EXE", {"x", "sleep", "400"}, &started), 0);
    cnx::WatchSignupProcess(started, "C:\\KIT\\ISIGNUP.EXE");
    long before = cnx::SnapshotsTaken();
    EXPECT_TRUE(cnx::WatchedProcessRunning());
    EXPECT_EQ(cnx::SnapshotsTaken(), before);
    // The end of the wizard forgets it: from then on only the process list tells.
    cnx::EndWizard();
    EXPECT_TRUE(cnx::WatchedProcessRunning());
    EXPECT_EQ(cnx::SnapshotsTaken(), before + 1);
    WaitUntilGone("C:\\KIT\\ISIGNUP.EXE");
}

}  // namespace

// The kit brings the new-subscription file; when its copy failed, the step does not make one
// holding the number alone for the sign-up program: the run ends, nothing written or started.
TEST_F(SignupTest, AMissingNewSubscriptionFileEndsTheRunBeforeAnythingIsWritten) {
    WriteKitFile("cfg.ini", NewSubscriptionSteps(""));
    Start();
    Type(kFirstControlId, "0");
    Click(ID_SUIVANT);
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "Fichier d'inscription introuvable : C:\\KIT\\nouveau.ins");
    EXPECT_EQ(sim::ui::QuitCode(), 1);
    EXPECT_EQ(plat::GetFileAttributes("C:\\KIT\\nouveau.ins"), plat::kInvalidFileAttributes);
    EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, kRecordKey, "Runs").present)
        << "the sign-up program was started";
}
