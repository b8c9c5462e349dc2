// The wizard's internal actions (the "Proc" and "Procx" keys) and the shortcut they make: the
// self-extracting archive started into the chosen folder, the desktop shortcut to the Espace
// program, the two programs started from that folder, the folder browser, and the entry field
// that keeps what the user gave it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "kitassist/shortcut.h"
#include "platform/sim/shell_link_sim.h"
#include "tests/kitassist/kit_programs_fixture.h"
#include "tests/support/registry_faults.h"

namespace {

using kittest::kDesktopLink;
using kittest::KitProgramsTest;

class ActionTest : public KitProgramsTest {};

// --- CopyFiles and the desktop shortcut ------------------------------------------------------

TEST_F(ActionTest, CopyFilesWaitsForTheExtractionIntoTheFieldsFolderThenLinksTheEspaceProgram) {
    InstallExtraction();
    WriteIni(
        "[General]\r\nExtractible=kitextract.exe\r\nEspace=kit.exe\r\nRaccEspace=Espace Kit\r\n"
        "[IE45]\r\nSaisie=#pfKit\r\nSuivant=Suivant\r\nProcSuivant=CopyFiles\r\n"
        "SectionSuivant=Fin\r\n[Fin]\r\nQuitter=Quitter\r\n");
    Run({[&] {
        Click(ID_SUIVANT);
        // Back from the button, the copy is over: nothing is waited for here.
        EXPECT_TRUE(Exists("C:\\Program Files\\Kit\\kit.exe"));
        std::string log;
        ASSERT_TRUE(plat::ReadWholeFile("C:\\Program Files\\Kit\\kitextract.log", &log));
        EXPECT_EQ(log.rfind("Installation du kit Telvora dans C:\\Program Files\\Kit\r\n", 0), 0u);
        EXPECT_NE(log.find(", 0 erreur(s)"), std::string::npos) << log;
        EXPECT_TRUE(Exists(kDesktopLink));
        EXPECT_STREQ(dialog_.m_section.c_str(), "Fin");
        EXPECT_STREQ(app_.m_installDir.c_str(), "C:\\Program Files\\Kit");
        EXPECT_STREQ(app_.m_espace.c_str(), "C:\\Program Files\\Kit\\kit.exe");
    }});
    EXPECT_TRUE(sim::ui::MessageBoxes().empty());

    plat::ShellLinkSettings link;
    ASSERT_TRUE(sim::ReadShellLink(kDesktopLink, &link));
    EXPECT_EQ(link.targetPath, "C:\\Program Files\\Kit\\kit.exe");
    EXPECT_EQ(link.arguments, "");
    EXPECT_EQ(link.description, "Espace Kit");
    EXPECT_EQ(link.workingDirectory, "C:\\Program Files\\Kit");
    EXPECT_EQ(link.iconFile, "C:\\Program Files\\Kit\\kit.exe");
    EXPECT_EQ(link.iconIndex, 0);
    EXPECT_EQ(link.showCommand, 0);
    EXPECT_EQ(link.hotkey, 0);
}

TEST_F(ActionTest, AShortcutThatCannotBeWrittenIsToldAndTheWizardGoesOn) {
    // An extraction that writes nothing, into a folder that already holds the Espace program:
    // the only write the button makes is the shortcut's.
    InstallTestChild();
    plat::CreateDirectory("C:\\Un");
    ASSERT_TRUE(plat::WriteWholeFile("C:\\Un\\kit.exe", "MZ espace"));
    WriteIni(
        "[General]\r\nExtractible=C:\\KIT\\test_child.exe\r\nEspace=kit.exe\r\n"
        "RaccEspace=Espace Kit\r\n"
        "[IE45]\r\nSaisie=C:\\Un\r\nSuivant=Suivant\r\nProcSuivant=CopyFiles\r\n");
    Run({[&] {
        testsupport::ScopedFault fault("write:1");
        Click(ID_SUIVANT);
    }});
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].text,
              "Le raccourci « Espace Kit » n'a pas pu être créé sur le bureau.");
    EXPECT_FALSE(plat::CanOpenForReading(kDesktopLink)) << "the shell writes a link whole or not";
}

TEST_F(ActionTest, ASecondCopyFilesDoesNotPrefixTheFolderAgain) {
    InstallExtraction();
    WriteIni(
        "[General]\r\nExtractible=kitextract.exe\r\nEspace=kit.exe\r\n"
        "RaccEspace=Espace Kit\r\n"
        "[IE45]\r\nSaisie=C:\\Un\r\nSuivant=Suivant\r\nProcSuivant=CopyFiles\r\n");
    Run({[&] {
        Click(ID_SUIVANT);
        EXPECT_STREQ(app_.m_espace.c_str(), "C:\\Un\\kit.exe");
        // Another folder the second time: the path is the new folder's, once.
        sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), "C:\\Deux");
        Click(ID_SUIVANT);
        EXPECT_STREQ(app_.m_espace.c_str(), "C:\\Deux\\kit.exe");
        Click(ID_SUIVANT);
        EXPECT_STREQ(app_.m_espace.c_str(), "C:\\Deux\\kit.exe");
    }});
    plat::ShellLinkSettings link;
    ASSERT_TRUE(sim::ReadShellLink(kDesktopLink, &link));
    EXPECT_EQ(link.targetPath, "C:\\Deux\\kit.exe");
    EXPECT_EQ(link.workingDirectory, "C:\\Deux");
}

TEST_F(ActionTest, ActionNamesAreMatchedExactly) {
    WriteIni(
        "[General]\r\nExtractible=C:\\KIT\\absent.exe\r\nEspace=kit.exe\r\n"
        "RaccEspace=Espace Kit\r\n"
        "[IE45]\r\nSaisie=C:\\Un\r\nSuivant=Suivant\r\nProcSuivant=copyfiles\r\n"
        "Info1=Dossier\r\nProcInfo1=selectdir\r\nInfo2=Autre\r\nProcInfo2=CopyFiles \r\n");
    Run({[&] {
        sim::ui::ScriptFolderChoice("D:\\Choisi");
        Click(ID_SUIVANT);
        Click(ID_INFO1);
        EXPECT_TRUE(app_.RunAction("CopyFile", Dialog(), "C:\\Un"));
        EXPECT_TRUE(app_.RunAction("", Dialog(), "C:\\Un"));
        EXPECT_TRUE(app_.RunAction(nullptr, Dialog(), "C:\\Un"));
    }});
    EXPECT_STREQ(app_.m_espace.c_str(), "kit.exe");
    EXPECT_STREQ(app_.m_installDir.c_str(), "C:\\Program Files\\");
    EXPECT_FALSE(Exists(kDesktopLink));
    EXPECT_TRUE(sim::ui::FolderBrowses().empty());
    EXPECT_EQ(dialog_.Saisie(), "C:\\Un");
}

TEST_F(ActionTest, ShortcutsBesideTheTargetOnTheDesktopOrWhereTheLocationSays) {
    plat::CreateDirectory("C:\\Jeu");
    ShortcutRequest request;
    request.target = "C:\\Jeu\\jeu.exe";
    request.arguments = "/plein";
    request.description = "Le jeu";
    EXPECT_TRUE(CreateShortcut(request));
    plat::ShellLinkSettings link;
    ASSERT_TRUE(sim::ReadShellLink("C:\\Jeu\\jeu.exe.lnk", &link));
    EXPECT_EQ(link.targetPath, "C:\\Jeu\\jeu.exe");
    EXPECT_EQ(link.arguments, "/plein");
    EXPECT_EQ(link.workingDirectory, "C:\\Jeu\\");  // the target's own folder
    EXPECT_EQ(link.showCommand, 1);                 // a show command below 0: a normal window
    EXPECT_EQ(link.iconFile, "");

    request.location = "D";
    request.workingDirectory = "C:\\Ailleurs";
    request.showCommand = 3;
    request.iconFile = "C:\\Jeu\\icone.ico";
    request.iconIndex = 2;
    EXPECT_TRUE(CreateShortcut(request));
    ASSERT_TRUE(sim::ReadShellLink("C:\\WINDOWS\\Bureau\\Le jeu.lnk", &link));
    EXPECT_EQ(link.workingDirectory, "C:\\Ailleurs");
    EXPECT_EQ(link.showCommand, 3);
    EXPECT_EQ(link.iconFile, "C:\\Jeu\\icone.ico");
    EXPECT_EQ(link.iconIndex, 2);

    request.location = "C:\\Jeu\\Raccourci.lnk";
    EXPECT_TRUE(CreateShortcut(request));
    EXPECT_TRUE(sim::ReadShellLink("C:\\Jeu\\Raccourci.lnk", &link));

    // A folder that is not there takes no link.
    request.location = "C:\\Absent\\Raccourci.lnk";
    EXPECT_FALSE(CreateShortcut(request));
    EXPECT_FALSE(Exists("C:\\Absent\\Raccourci.lnk"));
}

TEST_F(ActionTest, NoShortcutForATargetWithoutFolderOrName) {
    ShortcutRequest request;
    request.description = "Rien";
    request.location = "x";
    for (const char* target : {"", "C:\\", "a.b", "jeu.exe", "C:\\Jeu\\"}) {
        request.target = target;
        EXPECT_FALSE(CreateShortcut(request)) << target;
    }
    EXPECT_FALSE(Exists("C:\\WINDOWS\\Bureau\\Rien.lnk"));
    // Four characters with a backslash are enough.
    request.target = "C:\\a";
    EXPECT_TRUE(CreateShortcut(request));
    EXPECT_TRUE(Exists("C:\\WINDOWS\\Bureau\\Rien.lnk"));
}

// --- The programs started from the chosen folder ---------------------------------------------

TEST_F(ActionTest, ExeAbonnementStartsFromItsFolderQuotedWhenItHoldsABlank) {
    const std::string marker = folder_ + "/abonnement.txt";
    InstallMarkerProgram("C:\\Mon Kit\\abo.exe", marker);
    // Unquoted, the path would start this program, named by the path's text up to its blank.
    const std::string decoy = folder_ + "/leurre.txt";
    InstallMarkerProgram("C:\\Mon.exe", decoy);
    WriteIni(
        "[General]\r\nAbonnement=abo.exe\r\n"
        "[IE45]\r\nSaisie=C:\\Mon Kit\r\nSuivant=Suivant\r\nProcSuivant=ExeAbonnement\r\n");
    Run({[&] { Click(ID_SUIVANT); }});
    const std::string host = HostPath("C:\\Mon Kit");
    EXPECT_EQ(WaitForMarker(marker), host + "/abo.exe\n" + host + "\n");
    char current[260];
    plat::GetCurrentDirectory(sizeof current, current);
    EXPECT_STREQ(current, "C:\\Mon Kit");
    EXPECT_FALSE(std::filesystem::exists(decoy));
}

TEST_F(ActionTest, ExeEspaceStartsTheValueAsReadThenTheFullPathAfterCopyFiles) {
    const std::string before = folder_ + "/avant.txt";
    const std::string after = folder_ + "/apres.txt";
    InstallMarkerProgram("C:\\Espace Net\\esp.exe", before);
    InstallMarkerProgram("C:\\Mon Kit\\Espace Net\\esp.exe", after);
    // Unquoted, the paths would start these, named by their text up to the first blank.
    const std::string decoy = folder_ + "/leurre.txt";
    InstallMarkerProgram("C:\\KIT\\Espace.exe", decoy);
    InstallMarkerProgram("C:\\Mon.exe", decoy);
    WriteIni(
        "[General]\r\nExtractible=C:\\KIT\\absent.exe\r\nEspace=Espace Net\\esp.exe\r\n"
        "RaccEspace=Espace Kit\r\n"
        "[IE45]\r\nSaisie=C:\\Mon Kit\r\nInfo1=Lancer\r\nProcInfo1=ExeEspace\r\n"
        "Suivant=Suivant\r\nProcSuivant=CopyFiles\r\n");
    // Before CopyFiles the value is a path relative to the current directory, C:\.
    Run({[&] {
        Click(ID_INFO1);
        EXPECT_NE(WaitForMarker(before), "");
        Click(ID_SUIVANT);
        Click(ID_INFO1);
    }});
    const std::string host = HostPath("C:\\Mon Kit\\Espace Net");
    EXPECT_EQ(WaitForMarker(after).substr(0, host.size() + 8), host + "/esp.exe");
    EXPECT_FALSE(std::filesystem::exists(decoy));
}

// --- The folder browser and the entry field ---------------------------------------------------

TEST_F(ActionTest, SelectDirPutsTheChosenFolderInTheFieldAndCancelChangesNothing) {
    WriteIni(
        "[IE45]\r\nSaisie=#pfKit\r\nInfo1=Parcourir\r\nProcInfo1=SelectDir\r\n"
        "Suivant=Suivant\r\nProcSuivant=CopyFiles\r\n");
    Run({[&] {
             sim::ui::ScriptFolderChoice("D:\\Choisi ici");
             Click(ID_INFO1);
             ASSERT_EQ(sim::ui::FolderBrowses().size(), 1u);
             const sim::ui::FolderBrowseRecord& browse = sim::ui::FolderBrowses()[0];
             // Owned by the wizard, which it disables while it is open.
             EXPECT_EQ(browse.owner, Dialog());
             EXPECT_EQ(browse.title, "");
             EXPECT_EQ(browse.flags, 1u);
             EXPECT_EQ(Control(ID_SAISIE).text, "D:\\Choisi ici");
             EXPECT_EQ(dialog_.Saisie(), "D:\\Choisi ici");
             plat::InvalidateRect(Dialog(), nullptr, true);
         },
         [&] {
             // The choice outlives a repaint.
             EXPECT_EQ(Control(ID_SAISIE).text, "D:\\Choisi ici");
             sim::ui::ScriptFolderCancel();
             Click(ID_INFO1);
             EXPECT_EQ(sim::ui::FolderBrowses().size(), 2u);
             EXPECT_EQ(dialog_.Saisie(), "D:\\Choisi ici");
             // CopyFiles takes the chosen folder.
             Click(ID_SUIVANT);
             EXPECT_STREQ(app_.m_installDir.c_str(), "D:\\Choisi ici");
         }});
}

TEST_F(ActionTest, WhatTheUserTypedSurvivesARepaintAndANewPageGivesItsOwnValue) {
    WriteIni(
        "[IE45]\r\n1=Dossier\r\nSaisie=#pfKit\r\nSuivant=Suivant\r\nSectionSuivant=Page2\r\n"
        "[Page2]\r\nSaisie=D:\\Page2\r\nSuivant=Suivant\r\nSectionSuivant=Page2\r\n");
    Run({[&] {
             EXPECT_EQ(Control(ID_SAISIE).text, "C:\\Program Files\\Kit");
             sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), "E:\\Tape");
             sim::ui::ClearDrawLog(Dialog());
             // Something covered the window: the whole of it is painted again.
             plat::InvalidateRect(Dialog(), nullptr, true);
         },
         [&] {
             EXPECT_FALSE(sim::ui::TextsDrawn(Dialog()).empty());  // the repaint happened
             EXPECT_EQ(Control(ID_SAISIE).text, "E:\\Tape");
             EXPECT_EQ(dialog_.Saisie(), "E:\\Tape");
             Click(ID_SUIVANT);
             EXPECT_EQ(Control(ID_SAISIE).text, "D:\\Page2");
             sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), "E:\\Encore");
             plat::InvalidateRect(Dialog(), nullptr, true);
         },
         [&] {
             EXPECT_EQ(dialog_.Saisie(), "E:\\Encore");
             // A button naming a page, even the same one, shows it anew.
             Click(ID_SUIVANT);
             EXPECT_EQ(Control(ID_SAISIE).text, "D:\\Page2");
             EXPECT_EQ(dialog_.Saisie(), "D:\\Page2");
         }});
}

}  // namespace
