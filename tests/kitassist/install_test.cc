// A failed installation is never shown as installed: every start is checked and a failure told
// in a box that stops the button's work; CopyFiles waits for the extraction, with the wizard
// busy, and checks its result before the shortcut and the next page; the installation folder
// is read once, the same way as the extraction program reads it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "common/install_record.h"
#include "platform/sim/shell_link_sim.h"
#include "tests/kitassist/kit_programs_fixture.h"

namespace {

using kittest::kDesktopLink;
using kittest::KitProgramsTest;

class InstallTest : public KitProgramsTest {
  protected:
    // The boxes shown: each a stop box of the wizard; their texts, one per line.
    static std::string BoxTexts() {
        std::string texts;
        for (const sim::ui::MessageBoxRecord& box : sim::ui::MessageBoxes()) {
            EXPECT_EQ(box.caption, "Assistant d'installation du Kit Telvora");
            EXPECT_EQ(box.flags & plat::kMbIconMask, plat::kMbIconStop);
            texts += box.text + "\n";
        }
        return texts;
    }
    static constexpr const char* kNotStarted = "Le programme suivant n'a pas pu être lancé :\r\n";
};

// --- Every start is checked -------------------------------------------------------------------

TEST_F(InstallTest, AProgramThatDoesNotStartIsToldAndStopsTheButtonANumberedOneOnlyTells) {
    InstallProgram(TEST_CHILD_PATH, "C:\\KIT\\test_child.exe");
    WriteIni(
        "[General]\r\nAbonnement=absent.exe\r\n"
        "[IE45]\r\nSuivant=Suivant\r\nExe1Suivant=?absent1.exe /a\r\nSectionSuivant=P2\r\n"
        "[P2]\r\nInfo1=Lancer\r\nExeInfo1=?absent2.exe\r\nSectionInfo1=P3\r\n"
        "Info2=Connexion\r\nSaisie=C:\\Kit\r\nProcxInfo2=ExeAbonnement\r\n"
        "SectionInfo2=P3\r\nExeInfo2=?test_child.exe record C:\\KIT\\fin.txt\r\n[P3]\r\n");
    const int result = Run({[&] {
        Click(ID_SUIVANT);
        EXPECT_STREQ(dialog_.m_section.c_str(), "P2");  // the numbered one only tells
        Click(ID_INFO1);
        Click(ID_INFO2);
        EXPECT_STREQ(dialog_.m_section.c_str(), "P2");
        EXPECT_TRUE(sim::ui::Info(Dialog()).visible);
    }});
    EXPECT_EQ(result, -1);  // still open
    EXPECT_EQ(BoxTexts(), std::string(kNotStarted) + "absent1.exe /a\n" + kNotStarted +
                              "absent2.exe\n" + kNotStarted + "\"C:\\Kit\\absent.exe\"\n");
    EXPECT_FALSE(Exists("C:\\KIT\\fin.txt"));
}

TEST_F(InstallTest, ACommandTooLongToStartWholeIsToldAndNotStarted) {
    // The program's folder and the value together pass the 259 characters of the command; cut
    // there, the command would name another program, which is there: it must not start.
    const std::string directory = "C:\\" + std::string(200, 'd');
    SetProgramDirectory(directory);
    const std::string cut = directory + "\\" + std::string(55, 't');
    ASSERT_EQ(cut.size(), 259u);
    const std::string marker = folder_ + "/coupe.txt";
    InstallMarkerProgram(cut + ".exe", marker, true);
    WriteIni("[IE45]\r\nSuivant=Suivant\r\nExeSuivant=" + std::string(55, 't') +
             "x.exe\r\nSectionSuivant=P2\r\n[P2]\r\n");
    EXPECT_EQ(Run({[&] { Click(ID_SUIVANT); }}), -1);
    EXPECT_STREQ(dialog_.m_section.c_str(), "IE45");
    EXPECT_EQ(BoxTexts(), "La commande est trop longue pour être lancée :\r\n" + cut + "\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

// --- CopyFiles ends before the wizard says it is done ------------------------------------------

TEST_F(InstallTest, AFailedExtractionLeavesTheWizardOnItsPageWithABoxAndNoLink) {
    InstallProgram(TEST_CHILD_PATH, "C:\\KIT\\test_child.exe");
    // An extraction that ends at once having copied nothing, then one that cannot start.
    WriteIni(
        "[General]\r\nExtractible=test_child.exe exit 0\r\nEspace=kit.exe\r\n"
        "RaccEspace=Espace Kit\r\n"
        "[IE45]\r\nSaisie=C:\\Mon Kit\r\nSuivant=Installer\r\nProcSuivant=CopyFiles\r\n"
        "SectionSuivant=Lancement\r\n[Lancement]\r\n1=Le Kit Telvora est installé\r\n");
    Run({[&] {
        Click(ID_SUIVANT);
        EXPECT_STREQ(dialog_.m_section.c_str(), "IE45");
        app_.m_extractible = "absent.exe";
        Click(ID_SUIVANT);
        EXPECT_STREQ(dialog_.m_section.c_str(), "IE45");
        EXPECT_TRUE(Control(ID_SUIVANT).enabled);  // the user can try again
    }});
    EXPECT_EQ(BoxTexts(),
              "L'installation du Kit Telvora n'a pas abouti : le programme C:\\Mon Kit\\kit.exe "
              "n'a pas été copié.\r\nAucun raccourci n'a été mis sur le bureau.\n" +
                  std::string(kNotStarted) + "absent.exe /auto C:\\Mon Kit\n");
    EXPECT_FALSE(Exists(kDesktopLink));
}

TEST_F(InstallTest, ASecondClickDuringTheCopyIsDroppedNotPressedOnTheNextPage) {
    InstallExtraction();
    InstallProgram(TEST_CHILD_PATH, "C:\\KIT\\test_child.exe");
    WriteIni(
        "[General]\r\nExtractible=kitextract.exe\r\nEspace=kit.exe\r\nRaccEspace=Espace Kit\r\n"
        "[IE45]\r\nSaisie=C:\\Kit\r\nSuivant=Installer+\r\nProcSuivant=CopyFiles\r\n"
        "SectionSuivant=Lancement\r\n"
        "[Lancement]\r\nSuivant=Connexion+\r\nExeSuivant=?test_child.exe record "
        "C:\\KIT\\x.txt\r\n");
    const int result = Run({[&] {
        // Enter, already waiting when the click starts the copy, is handled during it.
        sim::ui::PressEnter(Dialog());
        Click(ID_SUIVANT);
        EXPECT_STREQ(dialog_.m_section.c_str(), "Lancement");
        EXPECT_EQ(Control(ID_SUIVANT).text, "Connexion");
        EXPECT_EQ(sim::ui::PumpMessages(), 0);  // nothing left for the new page
    }});
    EXPECT_EQ(result, -1);  // Connexion was not pressed
    EXPECT_FALSE(Exists("C:\\KIT\\x.txt"));
    EXPECT_TRUE(sim::ui::MessageBoxes().empty());
}

TEST_F(InstallTest, WhileAButtonWorksARepaintKeepsTheButtonsDisabled) {
    WriteIni("[IE45]\r\nSuivant=Suivant+\r\nInfo1=Aide\r\nInfo2=Non#\r\n");
    Run({[&] {
        {
            CKitDialog::BusyScope busy(dialog_);
            dialog_.RefreshPage();
            EXPECT_FALSE(Control(ID_SUIVANT).enabled);
            EXPECT_FALSE(Control(ID_INFO1).enabled);
            EXPECT_TRUE(Control(ID_INFO1).visible);
        }
        EXPECT_TRUE(Control(ID_SUIVANT).enabled);
        EXPECT_TRUE(Control(ID_SUIVANT).focused);
        EXPECT_TRUE(Control(ID_INFO1).enabled);
        EXPECT_FALSE(Control(ID_INFO2).enabled);
    }});
}

TEST_F(InstallTest, WithoutEspaceThereIsNothingToCheckNorToLink) {
    InstallProgram(TEST_CHILD_PATH, "C:\\KIT\\test_child.exe");
    WriteIni(
        "[General]\r\nExtractible=test_child.exe exit 0\r\nRaccEspace=Espace Kit\r\n"
        "[IE45]\r\nSaisie=C:\\Kit\r\nSuivant=Installer\r\nProcSuivant=CopyFiles\r\n"
        "SectionSuivant=Lancement\r\n[Lancement]\r\n");
    Run({[&] { Click(ID_SUIVANT); }});
    EXPECT_STREQ(dialog_.m_section.c_str(), "Lancement");
    EXPECT_TRUE(sim::ui::MessageBoxes().empty());
    EXPECT_FALSE(Exists(kDesktopLink));
}

// --- One destination, checked once -----------------------------------------------------------

TEST_F(InstallTest, BlanksAfterTheFolderAreTheExtractionsLinksAndAbonnementsFolder) {
    InstallExtraction();
    const std::string marker = folder_ + "/abonnement.txt";
    InstallMarkerProgram("C:\\Program Files\\Kit\\abo.exe", marker, true);
    WriteIni(
        "[General]\r\nExtractible=kitextract.exe\r\nEspace=kit.exe\r\nRaccEspace=Espace Kit\r\n"
        "Abonnement=abo.exe\r\n"
        "[IE45]\r\nSaisie=C:\\Program Files\\Kit  \r\nSuivant=Installer\r\n"
        "ProcSuivant=CopyFiles\r\nInfo1=Abonnement\r\nProcInfo1=ExeAbonnement\r\n");
    Run({[&] {
        sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), "C:\\Program Files\\Kit \\ ");
        Click(ID_SUIVANT);
        Click(ID_INFO1);
    }});
    EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << BoxTexts();
    EXPECT_TRUE(Exists("C:\\Program Files\\Kit\\kit.exe"));
    plat::ShellLinkSettings link;
    ASSERT_TRUE(sim::ReadShellLink(kDesktopLink, &link));
    EXPECT_EQ(link.targetPath, "C:\\Program Files\\Kit\\kit.exe");
    EXPECT_EQ(link.workingDirectory, "C:\\Program Files\\Kit");
    // The shortcut joins the installation's record, for the kit's removal.
    kit::InstallRecord record;
    ASSERT_TRUE(kit::LoadRecord("C:\\Program Files\\Kit", &record));
    EXPECT_EQ(record.shortcuts, std::vector<std::string>{kDesktopLink});
    const std::string host = HostPath("C:\\Program Files\\Kit");
    EXPECT_EQ(WaitForMarker(marker), host + "/abo.exe \n" + host + "\n");
}

TEST_F(InstallTest, AnEmptyOrPartialFolderIsRefusedBeforeAnythingStarts) {
    InstallProgram(TEST_CHILD_PATH, "C:\\KIT\\test_child.exe");
    WriteIni(
        "[General]\r\nExtractible=test_child.exe record C:\\KIT\\copie.txt\r\n"
        "Espace=kit.exe\r\nRaccEspace=Espace Kit\r\n"
        "Abonnement=test_child.exe record C:\\KIT\\abo.txt\r\n"
        "[IE45]\r\nSaisie=C:\\Kit\r\nSuivant=Installer\r\nProcSuivant=CopyFiles\r\n"
        "SectionSuivant=Lancement\r\nInfo1=Abonnement\r\nProcInfo1=ExeAbonnement\r\n"
        "[Lancement]\r\n");
    Run({[&] {
        for (const char* folder : {"   ", "Telvora", "C:Telvora", "\\Telvora"}) {
            sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), folder);
            Click(ID_SUIVANT);
            Click(ID_INFO1);
        }
    }});
    const std::string partial =
        "Le répertoire d'installation doit être un chemin complet, comme "
        "C:\\Program Files\\Telvora :\r\n";
    const std::string empty = "Indiquez le répertoire où installer le Kit Telvora.\n";
    EXPECT_EQ(BoxTexts(), empty + empty + partial + "Telvora\n" + partial + "Telvora\n" + partial +
                              "C:Telvora\n" + partial + "C:Telvora\n" + partial + "\\Telvora\n" +
                              partial + "\\Telvora\n");
    EXPECT_STREQ(dialog_.m_section.c_str(), "IE45");
    EXPECT_FALSE(Exists("C:\\KIT\\copie.txt"));
    EXPECT_FALSE(Exists("C:\\KIT\\abo.txt"));
}

TEST_F(InstallTest, AbonnementWithAnArgumentStartsFromAFolderWithBlanksPastADecoy) {
    const std::string marker = folder_ + "/abonnement.txt";
    InstallMarkerProgram("C:\\Program Files\\Telvora\\cnxassist.exe", marker, true);
    // What an unquoted "C:\Program Files\..." line would start.
    const std::string decoy = folder_ + "/leurre.txt";
    InstallMarkerProgram("C:\\Program.exe", decoy, true);
    WriteIni(
        "[General]\r\nAbonnement=cnxassist.exe /xyz\r\n"
        "[IE45]\r\nSaisie=#pfTelvora\r\nSuivant=Connexion\r\nProcxSuivant=ExeAbonnement\r\n");
    EXPECT_EQ(Run({[&] { Click(ID_SUIVANT); }}), plat::kIdOk);
    const std::string host = HostPath("C:\\Program Files\\Telvora");
    EXPECT_EQ(WaitForMarker(marker), host + "/cnxassist.exe /xyz\n" + host + "\n");
    EXPECT_FALSE(std::filesystem::exists(decoy));
    EXPECT_TRUE(sim::ui::MessageBoxes().empty()) << BoxTexts();
}

}  // namespace
