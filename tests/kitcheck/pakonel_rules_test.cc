// kitcheck's rules on the kit wizard's Pakonel.ini: its pages, buttons, pictures, programs and
// the markup of its text lines.
#include <gtest/gtest.h>

#include "tests/kitcheck/kit_writer.h"

namespace kitcheck_test {
namespace {

class PakonelRules : public KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        m_files = GoodKitWizardFiles();
    }
    void Edit(const std::string& from, const std::string& to) {
        m_files["Pakonel.ini"] = Replace(m_files["Pakonel.ini"], from, to);
    }
    void Run() {
        Write(m_files);
        Check();
    }
    std::string At(const std::string& needle) {
        return "Pakonel.ini:" + std::to_string(LineOf(m_files["Pakonel.ini"], needle));
    }
    std::map<std::string, std::string> m_files;
};

TEST_F(PakonelRules, GoodKitHasNoFinding) {
    Run();
    EXPECT_EQ(All(), "(no finding)\n");
}

TEST_F(PakonelRules, TheThreeFirstPages) {
    Edit("[IE3]", "[IE4]");
    Run();
    EXPECT_EQ(Only("[IE3]"),
              "Pakonel.ini: error: no [IE3] section: on a machine with Internet "
              "Explorer 3 the wizard shows a page with no button, which cannot "
              "be left");
    EXPECT_EQ(Only("[IE4]"), At("[IE4]") + ": warning: page [IE4] is never reached");
}

TEST_F(PakonelRules, SectionThatDoesNotExist) {
    Edit("SectionSuivant=Lancement", "SectionSuivant=Lancemnet");
    Run();
    EXPECT_EQ(Only("Lancemnet"), At("Lancemnet") +
                                     ": error: page [Lancemnet] does not exist: it "
                                     "would show no button and could not be left");
}

TEST_F(PakonelRules, PageWithNoWayForward) {
    // The last page's only way out, Quitter, gone: Info1 and Info2 start programs only.
    Edit("Quitter=Terminer+\r\n", "");
    Run();
    EXPECT_EQ(Only("way forward"), At("[Lancement]") +
                                       ": error: page [Lancement] has no way forward: no shown "
                                       "button changes page or ends the wizard");
}

TEST_F(PakonelRules, ButtonsWithoutCaptionsOrDisabled) {
    Edit("Info2=Abonnement\r\n", "");
    Edit("Info1=Espace Telvora", "Info1=Espace Telvora#");
    Run();
    EXPECT_EQ(Only("ProcInfo2"), At("ProcInfo2") +
                                     ": warning: button Info2 has no caption, so it "
                                     "is never shown: ProcInfo2 never run");
    EXPECT_EQ(Only("disabled"), At("ProcInfo1=ExeEspace") +
                                    ": warning: button Info1 is disabled ('#' in its caption): "
                                    "ProcInfo1 never run");
}

TEST_F(PakonelRules, PicturesAndProgramsNotInTheKit) {
    Edit("Bitmap=logo.bmp", "Bitmap=logo2.bmp");
    Edit("Quitter=Terminer+", "Quitter=Terminer+\r\nExe1Quitter=lisezmoi.exe");
    m_files.erase("contenu/espace.exe");
    m_files.erase("kitextract.exe");
    Run();
    EXPECT_TRUE(Has(At("logo2.bmp") + ": error: picture 'logo2.bmp' is not in the kit")) << All();
    EXPECT_TRUE(
        Has(At("Exe1Quitter") + ": error: program 'lisezmoi.exe' of Exe1Quitter is not in the kit"))
        << All();
    EXPECT_TRUE(
        Has(At("Espace=espace.exe") + ": error: program 'espace.exe' is not in the payload"))
        << All();
    // The program search may find it elsewhere on the subscriber's machine.
    EXPECT_TRUE(Has(At("Extractible") +
                    ": warning: extraction program 'kitextract.exe' is not in the kit ("))
        << All();
    EXPECT_TRUE(Has("kitextract.exe): only the machine's program search can find it")) << All();
    EXPECT_FALSE(Has("error: extraction program")) << All();
}

TEST_F(PakonelRules, AnAbsoluteExtractionProgramAndAQuotedCommandLineAreReadWhole) {
    Edit("Extractible=kitextract.exe", "Extractible=C:\\Outils\\extrait.exe");
    Edit("Quitter=Terminer+", "Quitter=Terminer+\r\nExe1Quitter=?\"Lisez moi.exe\" /a");
    m_files["Lisez moi.exe"] = "MZ";
    Run();
    EXPECT_EQ(All(), "(no finding)\n");
}

TEST_F(PakonelRules, TheShortcutsNameAndTheEspaceProgram) {
    Edit("RaccEspace=Espace Telvora", "RaccEspace=Espace: Telvora");
    Run();
    EXPECT_EQ(Only("RaccEspace"), At("RaccEspace") +
                                      ": error: RaccEspace 'Espace: Telvora' holds a character "
                                      "a file name cannot: the desktop shortcut cannot be "
                                      "written");
}

TEST_F(PakonelRules, NoShortcutNameNoEspaceProgram) {
    Edit("RaccEspace=Espace Telvora", "RaccEspace=");
    Edit("Espace=espace.exe", "Espace=");
    Edit("ProcInfo1=ExeEspace", "ProcInfo1=SelectDir");
    Run();
    EXPECT_EQ(Only("RaccEspace"), At("RaccEspace") +
                                      ": error: [General] RaccEspace is empty: the desktop "
                                      "shortcut that CopyFiles writes would have no name");
    EXPECT_EQ(Only("lacks Espace"), At("[General]") +
                                        ": warning: [General] lacks Espace: CopyFiles cannot "
                                        "check that the kit was installed, and writes no "
                                        "desktop shortcut");
}

TEST_F(PakonelRules, WhatTheKitsRemovalNeeds) {
    Edit("Titre=Installation du Kit Telvora\r\n", "");
    m_files["contenu/kitsuppr.exe"] = "MZ";
    m_files["contenu/cfg.ini"] =
        "[General]\r\n[Inscription1]\r\nTelvoraIsp=..\\telvora.ins\r\n[Icone1]\r\n"
        "NomFichier=icones.ini\r\n";
    Run();
    EXPECT_TRUE(Has(At("[General]") +
                    ": warning: [General] lacks Titre: the kit's entry in Ajout/Suppression de "
                    "programmes is then named 'Kit Telvora'"))
        << All();
    EXPECT_TRUE(
        Has("kitsuppr.exe: error: the payload holds 'kitsuppr.exe', a name the "
            "installation and its removal use for their own file"))
        << All();
    EXPECT_TRUE(
        Has("cfg.ini:3: warning: TelvoraIsp '..\\telvora.ins' lies outside the "
            "installation folder: the kit's removal leaves that file behind"))
        << All();
    EXPECT_FALSE(Has("NomFichier 'icones.ini'")) << All();
}

TEST_F(PakonelRules, ActionsThatNeedTheFolderOrTheInstalledPrograms) {
    // The first page without its entry field, and a button of it starting the space at once.
    Edit("Saisie=#pfTelvora\r\n", "Info2=Espace\r\nProcInfo2=ExeEspace\r\n");
    Run();
    const std::string noField =
        " shows no entry field and may be reached by no page that does: the installation "
        "folder is empty and the wizard refuses it";
    // The last page too, reached from that one.
    EXPECT_TRUE(Has(At("ProcSuivant=CopyFiles") +
                    ": error: ProcSuivant=CopyFiles runs on page [NOIE], which" + noField))
        << All();
    EXPECT_TRUE(Has(At("ProcInfo2=ExeAbonnement") +
                    ": error: ProcInfo2=ExeAbonnement runs on page [Lancement], which" + noField))
        << All();
    EXPECT_EQ(Only("before any CopyFiles"), At("ProcInfo2=ExeEspace") +
                                                ": warning: ProcInfo2=ExeEspace may run before "
                                                "any CopyFiles: the program it starts is not "
                                                "installed yet");
}

TEST_F(PakonelRules, ActionsThatDoNothing) {
    Edit("ProcInfo2=ExeAbonnement", "ProcInfo2=exeabonnement");
    Run();
    EXPECT_EQ(Only("does nothing"), At("ProcInfo2") +
                                        ": error: 'exeabonnement' does nothing: the actions are "
                                        "SelectDir, CopyFiles, ExeAbonnement and ExeEspace "
                                        "(letter case counts)");
}

// Arial 14 points bold is 19 pixels a em at 96 dpi; a "W" there is 18 pixels wide (as Wine
// measures Liberation Sans Bold). The kit wizard's dialog is 337 units of 6/4 pixels, 506 pixels;
// the lines begin at xt 30 unless the page says otherwise.
TEST_F(PakonelRules, LineWiderThanItsPageLine) {
    Edit("1=#12#g#mLe Kit Telvora est install\xE9",
         "1=#a#14#g" + std::string(30, 'W') + "\r\n2=#a#14#g" + std::string(26, 'W'));
    Run();
    EXPECT_EQ(Only("does not fit"), At("1=#a#14#g") +
                                        ": warning: line 1 does not fit its page line: 540 "
                                        "pixels of text in 476 from xt to the window's edge; the "
                                        "wizard cuts the rest");
}

TEST_F(PakonelRules, LineThatFitsNoLongerFurtherRight) {
    Edit("1=#12#g#mLe Kit Telvora est install\xE9", "xt=100\r\n1=#a#14#g" + std::string(26, 'W'));
    Run();
    EXPECT_EQ(Only("does not fit"), At("1=#a#14#g") +
                                        ": warning: line 1 does not fit its page line: 468 "
                                        "pixels of text in 406 from xt to the window's edge; the "
                                        "wizard cuts the rest");
}

TEST_F(PakonelRules, MarkupCodesThatDoNothing) {
    Edit("1=#12#g#mLe Kit", "1=#a#t#12#14#g#mLe Kit");
    Edit("Info1=Espace Telvora",
         "3=#x Suite #1 #20 ici\r\n4=#r\r\n5=#10#N#l\xA7\r\n30=Fin\r\n"
         "Info1=Espace Telvora");
    Run();
    EXPECT_EQ(Only("'#a'"), At("1=#a#t") +
                                ": warning: '#a' does nothing here: another code of "
                                "its kind wins");
    EXPECT_EQ(Only("'#12'"), At("1=#a#t") +
                                 ": warning: '#12' does nothing here: another code of "
                                 "its kind wins");
    EXPECT_EQ(Only("'#x'"), At("3=#x") + ": warning: '#x' is no markup code: it is drawn as it is");
    EXPECT_EQ(Only("'#20'"),
              At("3=#x") + ": warning: '#20' is no markup code: it is drawn as it is");
    EXPECT_FALSE(Has("'#1'")) << All();  // "#1" is text
    EXPECT_EQ(Only("background"), At("4=#r") +
                                      ": warning: the line has a background code but no "
                                      "text: nothing is drawn (a line of '\xA7' alone "
                                      "shows the band)");
    EXPECT_EQ(Only("line '30'"), At("30=Fin") +
                                     ": warning: line '30' is never drawn: the text "
                                     "lines are 1 to 25");
    // Codes that repeat the default (#10, #N, #l) do no harm.
    EXPECT_FALSE(Has(At("5=#10") + ":")) << All();
    EXPECT_EQ(m_report.ErrorCount(), 0) << All();
}

TEST_F(PakonelRules, Utf8File) {
    Edit("install\xE9", "install\xC3\xA9");
    Edit("R\xE9pertoire", "R\xC3\xA9pertoire");
    Edit("R\xE9pertoire", "R\xC3\xA9pertoire");
    Edit("R\xE9pertoire", "R\xC3\xA9pertoire");
    Edit("o\xF9", "o\xC3\xB9");
    Edit("o\xF9", "o\xC3\xB9");
    Edit("o\xF9", "o\xC3\xB9");
    Run();
    EXPECT_TRUE(Has("Pakonel.ini: warning: the file is written in UTF-8")) << All();
}

}  // namespace
}  // namespace kitcheck_test
