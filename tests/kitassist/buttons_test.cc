// What the buttons do: the programs their keys start (real programs on the simulated
// machine), the wizard's end, the next page, and the keyboard and close box standing for them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/kitassist/kit_fixture.h"

namespace {

using kittest::KitTest;

class ButtonTest : public KitTest {
  protected:
    // The recording test program, as C:\KIT\test_child.exe.
    void InstallTestChild() {
        std::filesystem::copy_file(TEST_CHILD_PATH, HostPath("C:\\KIT\\test_child.exe"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
};

TEST_F(ButtonTest, ExeKeysRunInIncreasingOrderWithGapsThenTheNextPage) {
    InstallTestChild();
    WriteIni(
        "[IE45]\r\nSuivant=Suivant\r\n"
        "Exe3Suivant=C:\\KIT\\test_child.exe record C:\\KIT\\trois.txt \"deux mots\"\r\n"
        "Exe1Suivant=?test_child.exe record C:\\KIT\\un.txt premier\r\n"
        "SectionSuivant=Page2\r\n[Page2]\r\nQuitter=Fin\r\n");
    int result = Run({[&] {
        Click(ID_SUIVANT);
        EXPECT_STREQ(dialog_.m_section.c_str(), "Page2");
        EXPECT_EQ(Control(plat::kIdOk).text, "Fin");
        // Both ran (their files below); the one started last is Exe3.
        EXPECT_STREQ(app_.m_command.c_str(),
                     "C:\\KIT\\test_child.exe record C:\\KIT\\trois.txt \"deux mots\"");
    }});
    EXPECT_EQ(result, -1);
    // Started in the wizard's current directory, with their arguments split as Windows does.
    EXPECT_EQ(WaitForFile("C:\\KIT\\un.txt"), "C:\\\npremier\n");
    EXPECT_EQ(WaitForFile("C:\\KIT\\trois.txt"), "C:\\\ndeux mots\n");
}

TEST_F(ButtonTest, RelativeValuesAreQuotedPathsInTheProgramDirectory) {
    SetProgramDirectory("C:\\Kit CD");
    WriteIni("[IE45]\r\nInfo1=Aide\r\nExe1Info1=setup.exe\r\n");
    // A stand-in that says which file ran.
    const std::string marker = folder_ + "/started.txt";
    const std::string script = HostPath("C:\\Kit CD") + "/setup.exe";
    std::ofstream(script) << "#!/bin/sh\necho \"$0\" > " << marker << "\n";
    ::chmod(script.c_str(), 0755);
    char out[260];
    EXPECT_TRUE(dialog_.ResolveCommand("?setup.exe /s", "D:\\Kit CD\\", out, sizeof out));
    EXPECT_STREQ(out, "setup.exe /s");
    EXPECT_TRUE(dialog_.ResolveCommand("C:\\x.exe /a", "D:\\Kit CD\\", out, sizeof out));
    EXPECT_STREQ(out, "C:\\x.exe /a");
    EXPECT_TRUE(dialog_.ResolveCommand("\\\\serveur\\kit\\a.exe", "D:\\", out, sizeof out));
    EXPECT_STREQ(out, "\\\\serveur\\kit\\a.exe");
    EXPECT_TRUE(dialog_.ResolveCommand("a.exe", "", out, sizeof out));
    EXPECT_STREQ(out, "\"C:\\Kit CD\\a.exe\"");
    // A command that does not fit is cut, and the caller must not start it.
    EXPECT_FALSE(dialog_.ResolveCommand(std::string(200, 'a').c_str(), "D:\\Kit CD\\", out, 100));
    EXPECT_EQ(std::strlen(out), 99u);

    Run({[&] {
        Click(ID_INFO1);
        EXPECT_STREQ(app_.m_command.c_str(), "\"C:\\Kit CD\\setup.exe\"");
        EXPECT_STREQ(dialog_.m_section.c_str(), "IE45");  // no page change
    }});
    std::string started;
    for (int i = 0; i < 500 && started.empty(); ++i) {
        std::getline(std::ifstream(marker), started);
        if (started.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(std::filesystem::path(started), std::filesystem::path(script));
}

TEST_F(ButtonTest, RelativeValuesWithoutABlankAreNotQuoted) {
    char out[260];
    EXPECT_TRUE(dialog_.ResolveCommand("setup.exe", "C:\\KIT\\", out, sizeof out));
    EXPECT_STREQ(out, "C:\\KIT\\setup.exe");
    EXPECT_TRUE(dialog_.ResolveCommand("outils\\a.exe", "", out, sizeof out));
    EXPECT_STREQ(out, "C:\\KIT\\outils\\a.exe");
    // A blank anywhere in the path, the value's own included, quotes it whole.
    EXPECT_TRUE(dialog_.ResolveCommand("a b.exe", "C:\\KIT\\", out, sizeof out));
    EXPECT_STREQ(out, "\"C:\\KIT\\a b.exe\"");
}

TEST_F(ButtonTest, ProcxClosesAfterTheRestOfTheButtonHasRun) {
    WriteIni(
        "[IE45]\r\nSuivant=Suivant\r\nSaisie=C:\\Kit\r\nProcSuivant=Inconnue\r\n"
        "ProcxSuivant=copyfiles\r\nSectionSuivant=Fin\r\n[Fin]\r\nQuitter=Quitter\r\n");
    int result =
        Run({[&] {
                 sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), "C:\\Ailleurs");
                 Click(ID_SUIVANT);
                 EXPECT_FALSE(sim::ui::Info(Dialog()).visible);
             },
             [&] { ADD_FAILURE() << "the wizard should have closed"; }});
    EXPECT_EQ(result, plat::kIdOk);
    EXPECT_STREQ(dialog_.m_section.c_str(), "Fin");
    EXPECT_EQ(dialog_.Saisie(), "C:\\Ailleurs");
    EXPECT_EQ(sim::ui::PendingUserActions(), 1u);
}

TEST_F(ButtonTest, ExeWithoutNumberStartsAndCloses) {
    InstallTestChild();
    // A numbered program that is not there is told, and stops nothing.
    WriteIni(
        "[IE45]\r\nInfo2=Lancer\r\nExe1Info2=?absent.exe\r\n"
        "ExeInfo2=?test_child.exe record C:\\KIT\\fin.txt x\r\n");
    EXPECT_EQ(Run({[&] { Click(ID_INFO2); }}), plat::kIdOk);
    EXPECT_EQ(WaitForFile("C:\\KIT\\fin.txt"), "C:\\\nx\n");
    ASSERT_EQ(sim::ui::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::ui::MessageBoxes()[0].owner, Dialog());
}

TEST_F(ButtonTest, QuitterClosesUnlessItNamesAPageAndAnnulerNeverCloses) {
    WriteIni(
        "[IE45]\r\nQuitter=Quitter\r\nAnnuler=Annuler\r\nSectionQuitter=Sur\r\n"
        "[Sur]\r\nQuitter=Oui\r\nAnnuler=Non\r\nSectionAnnuler=IE45\r\n");
    int result = Run({[&] {
                          Click(plat::kIdCancel);  // no SectionAnnuler here: nothing happens
                          EXPECT_STREQ(dialog_.m_section.c_str(), "IE45");
                          Click(plat::kIdOk);
                          EXPECT_STREQ(dialog_.m_section.c_str(), "Sur");
                          Click(plat::kIdCancel);
                          EXPECT_STREQ(dialog_.m_section.c_str(), "IE45");
                          Click(plat::kIdOk);
                          EXPECT_EQ(Control(plat::kIdOk).text, "Oui");
                      },
                      [&] { Click(plat::kIdOk); }});
    EXPECT_EQ(result, plat::kIdOk);
}

TEST_F(ButtonTest, EscapeAndTheCloseBoxAreAnnulerEnterTheDefaultOrFocusedButton) {
    WriteIni(
        "[IE45]\r\nSuivant=Suivant\r\nSectionSuivant=P2\r\nAnnuler=Annuler\r\n"
        "SectionAnnuler=P3\r\n"
        "[P2]\r\nAnnuler=Annuler\r\nSectionAnnuler=IE45\r\nInfo1=Aide+\r\n"
        "SectionInfo1=P4\r\n"
        "[P3]\r\nAnnuler=Annuler#\r\nSectionAnnuler=IE45\r\n[P4]\r\n");
    Run({[&] { sim::ui::PressEnter(Dialog()); },
         [&] {
             EXPECT_STREQ(dialog_.m_section.c_str(), "P2");
             sim::ui::PressEscape(Dialog());
         },
         [&] {
             EXPECT_STREQ(dialog_.m_section.c_str(), "IE45");
             sim::ui::CloseBox(Dialog());
         },
         [&] {
             EXPECT_STREQ(dialog_.m_section.c_str(), "P3");
             // A disabled Annuler: the close box beeps and Escape does nothing.
             sim::ui::CloseBox(Dialog());
             sim::ui::PressEscape(Dialog());
         },
         [&] {
             EXPECT_STREQ(dialog_.m_section.c_str(), "P3");
             EXPECT_EQ(sim::ui::Beeps(), 1);
             dialog_.m_section = "P2";
             dialog_.RefreshPage();
             EXPECT_TRUE(Control(ID_INFO1).focused);
             sim::ui::PressEnter(Dialog());
         },
         [&] { EXPECT_STREQ(dialog_.m_section.c_str(), "P4"); }});
}

}  // namespace
