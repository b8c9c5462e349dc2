#include "cnxassist/registry_script.h"

#include <gtest/gtest.h>

#include "common/cle_registre.h"
#include "tests/cnxassist/wizard_machine.h"
#include "tests/support/registry_faults.h"

namespace {

using cnxtest::ReadValue;

class RegistryScript : public ::testing::Test {
  protected:
    void SetUp() override { cnxtest::FreshWizardMachine(); }
    void Script(const std::string& body) {
        cnxtest::WriteKitFile("cfg.ini", "[Etape1]\r\n" + body);
    }
    void RunScript(int version = 0) {
        CScriptRegistre script(version, "C:\\KIT\\cfg.ini", "Etape1");
    }
    std::string ErrorOf(int version = 0) {
        try {
            RunScript(version);
        } catch (const util_exception& e) {
            return e.Message();
        }
        return "(no error)";
    }
};

TEST_F(RegistryScript, EveryWriteTypeStoresItsExactBytes) {
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Software\\Telvora\r\nI000.Nom=Texte\r\n"
        "I000.Type=chaine\r\nI000.Valeur=Bonjour\r\n"
        "I001.Branche=HKEY_CURRENT_USER\r\nI001.Cle=Software\\Telvora\r\nI001.Nom=Nombre\r\n"
        "I001.Type=h\r\nI001.Valeur=ff\r\n"
        "I002.Branche=HKEY_CURRENT_USER\r\nI002.Cle=Software\\Telvora\r\nI002.Nom=Octets\r\n"
        "I002.Type=b\r\nI002.Valeur=01,,02,ff\r\n"
        "I003.Branche=HKEY_CURRENT_USER\r\nI003.Cle=Software\\Telvora\r\nI003.Nom=Chemin\r\n"
        "I003.Type=p\r\nI003.Valeur=~\\bin\\a.exe\r\n"
        "I004.Branche=HKEY_CURRENT_USER\r\nI004.Cle=Software\\Telvora\r\nI004.Nom=Court\r\n"
        "I004.Type=p\r\nI004.Valeur=C:\\PROGRA~1\\a.exe\r\n");
    RunScript();
    auto text = ReadValue(plat::kHkeyCurrentUser, "Software\\Telvora", "Texte");
    EXPECT_EQ(text.type, plat::kRegSz);
    EXPECT_EQ(text.Text(), "Bonjour");  // length bytes, no terminator
    auto number = ReadValue(plat::kHkeyCurrentUser, "Software\\Telvora", "Nombre");
    EXPECT_EQ(number.type, plat::kRegDword);
    EXPECT_EQ(number.bytes, (std::vector<std::uint8_t>{0xff, 0, 0, 0}));
    auto bytes = ReadValue(plat::kHkeyCurrentUser, "Software\\Telvora", "Octets");
    EXPECT_EQ(bytes.type, plat::kRegBinary);
    EXPECT_EQ(bytes.bytes, (std::vector<std::uint8_t>{0x01, 0x02, 0xff}));
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, "Software\\Telvora", "Chemin").Text(),
              "C:\\KIT\\bin\\a.exe");
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, "Software\\Telvora", "Court").Text(),
              "C:\\PROGRA~1\\a.exe");
}

TEST_F(RegistryScript, NumberingIsDenseAndTheVersionListComesFirst) {
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=S\r\nI000.Nom=v\r\nI000.Type=c\r\nI000.Valeur="
        "commun\r\n"
        "I001.Branche=HKEY_CURRENT_USER\r\nI001.Cle=S\r\nI001.Nom=n1\r\nI001.Type=c\r\nI001.Valeur="
        "1\r\n"
        "I003.Branche=HKEY_CURRENT_USER\r\nI003.Cle=S\r\nI003.Nom=n3\r\nI003.Type=c\r\nI003.Valeur="
        "3\r\n"
        "I400.Branche=HKEY_CURRENT_USER\r\nI400.Cle=S\r\nI400.Nom=v\r\nI400.Type=c\r\nI400.Valeur="
        "ie4\r\n"
        "I400.Branche=HKEY_CURRENT_USER\r\n"
        "I500.Branche=HKEY_CURRENT_USER\r\nI500.Cle=S\r\nI500.Nom=five\r\nI500.Type=c\r\nI500."
        "Valeur=5\r\n");
    RunScript(1);
    // The common list runs after the version list and wins.
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, "S", "v").Text(), "commun");
    EXPECT_TRUE(ReadValue(plat::kHkeyCurrentUser, "S", "n1").present);
    EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, "S", "n3").present);
    EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, "S", "five").present);
}

TEST_F(RegistryScript, EntryHundredUsesThreeDigits) {
    std::string body;
    for (int i = 0; i <= 100; ++i) {
        char entry[200];
        std::snprintf(entry, sizeof entry,
                      "I0%02d.Branche=HKEY_CURRENT_USER\r\nI0%02d.Cle=S\r\nI0%02d.Nom=n%d\r\n"
                      "I0%02d.Type=c\r\nI0%02d.Valeur=%d\r\n",
                      i, i, i, i, i, i, i);
        body += entry;
    }
    Script(body);
    RunScript();
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, "S", "n100").Text(), "100");
}

TEST_F(RegistryScript, DeleteCreatesTheKeyAndIgnoresValeur) {
    {
        CCleRegistre key(plat::kHkeyCurrentUser, "Software\\A", true);
        key.SetString("old", "x");
    }
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Software\\A\r\nI000.Nom=old\r\nI000.Type=d\r\n"
        "I000.Valeur=ignored\r\n"
        "I001.Branche=HKEY_CURRENT_USER\r\nI001.Cle=Software\\New\r\nI001.Nom=none\r\nI001.Type="
        "d\r\n");
    RunScript();
    EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, "Software\\A", "old").present);
    EXPECT_TRUE(cnxtest::KeyExists(plat::kHkeyCurrentUser, "Software\\New"));
}

TEST_F(RegistryScript, CopiesEachType) {
    {
        CCleRegistre key(plat::kHkeyLocalMachine, "Source", true);
        key.SetString("s", "texte");
        key.SetDword("d", 0x1234);
        const std::uint8_t b[] = {9, 8, 7};
        key.SetBinary("b", b, 3);
    }
    std::string body;
    const char* kinds[][2] = {{"rc", "s"}, {"rh", "d"}, {"rb", "b"}};
    for (int i = 0; i < 3; ++i) {
        char entry[300];
        std::snprintf(entry, sizeof entry,
                      "I00%d.Branche=HKEY_CURRENT_USER\r\nI00%d.Cle=Dest\r\nI00%d.Nom=%s\r\n"
                      "I00%d.Type=%s\r\nI00%d.RBranche=HKEY_LOCAL_MACHINE\r\nI00%d.RCle=Source\r\n"
                      "I00%d.RNom=%s\r\n",
                      i, i, i, kinds[i][1], i, kinds[i][0], i, i, i, kinds[i][1]);
        body += entry;
    }
    Script(body);
    RunScript();
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, "Dest", "s").Text(), "texte");
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, "Dest", "d").bytes,
              (std::vector<std::uint8_t>{0x34, 0x12, 0, 0}));
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, "Dest", "b").bytes,
              (std::vector<std::uint8_t>{9, 8, 7}));
}

TEST_F(RegistryScript, ErrorsNameTheKeyThatWasRead) {
    Script("I000.Branche=hkey_current_user\r\n");
    EXPECT_EQ(ErrorOf(), "fichier ini, faux nom branche I000.Branche");
    Script("I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=S\r\nI000.Type=c\r\n");
    EXPECT_EQ(ErrorOf(), "fichier ini, manque variable I000.Nom");
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=S\r\nI000.Nom=n\r\nI000.Type=x\r\nI000.Valeur="
        "1\r\n");
    EXPECT_EQ(ErrorOf(), "fichier ini, type I000.Type invalide");
    // An empty Valeur makes a copy, which needs its source.
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=S\r\nI000.Nom=n\r\nI000.Type=rc\r\nI000.Valeur="
        "\r\n");
    EXPECT_EQ(ErrorOf(), "fichier ini, manque variable I000.RBranche");
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Dest\\Key\r\nI000.Nom=n\r\nI000.Type=rc\r\n"
        "I000.RBranche=HKEY_CURRENT_USER\r\nI000.RCle=Nowhere\r\nI000.RNom=n\r\n");
    EXPECT_EQ(ErrorOf(), "impossible recopier la cle : Dest\\Key ");
    Script(
        "I500.Branche=HKEY_CURRENT_USER\r\nI500.Cle=Dest\r\nI500.Nom=n\r\nI500.Type=rh\r\n"
        "I500.RBranche=HKEY_CURRENT_USER\r\nI500.RCle=Nowhere\r\nI500.RNom=n\r\n");
    EXPECT_EQ(ErrorOf(), "impossible d'écrire la cle : Dest");
}

TEST_F(RegistryScript, EntriesBeforeAnErrorStayApplied) {
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=S\r\nI000.Nom=first\r\nI000.Type=c\r\nI000."
        "Valeur=1\r\n"
        "I001.Branche=HKEY_NOWHERE\r\n"
        "I002.Branche=HKEY_CURRENT_USER\r\nI002.Cle=S\r\nI002.Nom=third\r\nI002.Type=c\r\nI002."
        "Valeur=3\r\n");
    EXPECT_EQ(ErrorOf(), "fichier ini, faux nom branche I001.Branche");
    EXPECT_TRUE(ReadValue(plat::kHkeyCurrentUser, "S", "first").present);
    EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, "S", "third").present);
}

TEST_F(RegistryScript, AKeyThatCannotBeCreatedStopsTheScript) {
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Software\\Nouvelle\r\nI000.Nom=n\r\n"
        "I000.Type=c\r\nI000.Valeur=1\r\n");
    testsupport::ScopedFault registryFull("registry:1:permanent");
    EXPECT_EQ(ErrorOf(), "impossible de construire la cle : Software\\Nouvelle");
}

TEST_F(RegistryScript, AFailedWriteNamesTheValeurAsWritten) {
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Software\\Telvora\r\nI000.Nom=Chemin\r\n"
        "I000.Type=p\r\nI000.Valeur=~\\bin\\a.exe\r\n");
    // The script's first registry change creates the key, its second writes the value.
    testsupport::ScopedFault writeFails("registry:2");
    EXPECT_EQ(ErrorOf(), "impossible d'écrire la cle : Software\\Telvora : ~\\bin\\a.exe");
}

TEST_F(RegistryScript, AFailedBinaryCopyNamesTheTarget) {
    const std::string entry =
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=Dest\r\nI000.Nom=n\r\nI000.Type=rb\r\n"
        "I000.RBranche=HKEY_CURRENT_USER\r\nI000.RCle=Source\r\nI000.RNom=octets\r\n";
    Script(entry);
    EXPECT_EQ(ErrorOf(), "impossible d'écrire la cle : Dest");
    // A source value larger than the 512 bytes the copy reads fails the same way.
    plat::RegKey key = 0;
    ASSERT_EQ(plat::RegCreateKey(plat::kHkeyCurrentUser, "Source", &key), plat::kErrorSuccess);
    std::vector<std::uint8_t> big(513, 7);
    plat::RegSetValue(key, "octets", plat::kRegBinary, big.data(),
                      static_cast<plat::Dword>(big.size()));
    plat::RegCloseKey(key);
    EXPECT_EQ(ErrorOf(), "impossible d'écrire la cle : Dest");
    EXPECT_FALSE(ReadValue(plat::kHkeyCurrentUser, "Dest", "n").present);
}

TEST_F(RegistryScript, APathKeepsOnlyWhatComesBeforeASecondTilde) {
    Script(
        "I000.Branche=HKEY_CURRENT_USER\r\nI000.Cle=S\r\nI000.Nom=Chemin\r\nI000.Type=p\r\n"
        "I000.Valeur=~\\bin~\\autre\\~x\r\n");
    RunScript();
    EXPECT_EQ(ReadValue(plat::kHkeyCurrentUser, "S", "Chemin").Text(), "C:\\KIT\\bin");
    EXPECT_EQ(cnx::ExpandTilde("~\\a~"), "C:\\KIT\\a");
}

TEST(WizardUtils, ListItemsSkipEmptyItemsAndKeepBlanks) {
    std::string out = "unchanged";
    EXPECT_TRUE(cnx::GetListItem("A,,B", 2, &out));
    EXPECT_EQ(out, "B");
    EXPECT_TRUE(cnx::GetListItem("A, B", 2, &out));
    EXPECT_EQ(out, " B");
    out = "unchanged";
    EXPECT_FALSE(cnx::GetListItem("A,B", 3, &out));
    EXPECT_FALSE(cnx::GetListItem("", 1, &out));
    EXPECT_EQ(out, "unchanged");
}

TEST(WizardUtils, HexNumbersFollowTheFormattedInputRules) {
    EXPECT_EQ(cnx::ParseHexNumber("ff"), 0xffu);
    EXPECT_EQ(cnx::ParseHexNumber("  0x1Fzz"), 0x1fu);
    EXPECT_EQ(cnx::ParseHexNumber("zz"), 0u);
    std::uint8_t bytes[4];
    std::size_t count = 2;
    cnx::ParseHexByteList("101,2,3", bytes, &count);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(bytes[1], 0x02);
}

}  // namespace
