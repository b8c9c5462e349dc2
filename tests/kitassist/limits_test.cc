// Limits and odd configurations of the kit wizard: values cut to their buffers, a page that
// does not exist, an action with a next page on a closing button, a configuration path too
// long, a folder browser answering nothing, and "#pf" once CopyFiles has chosen the folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/kitassist/kit_fixture.h"

namespace {

using kittest::KitTest;

class LimitsTest : public KitTest {
  protected:
    void InstallTestChild() {
        std::filesystem::copy_file(TEST_CHILD_PATH, HostPath(programDir_ + "test_child.exe"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
};

// Exe and Section values are read into 128 bytes, captions and the title into 1024.
TEST_F(LimitsTest, ValuesAreCutTo127And1023Characters) {
    InstallTestChild();
    const std::string start = "?test_child.exe record C:\\KIT\\r.txt ";
    const std::string page = "P" + std::string(126, 'x');
    WriteIni("[General]\r\nTitre=" + std::string(1500, 'T') +
             "\r\n[IE45]\r\nSuivant=" + std::string(1500, 's') + "\r\nExe1Suivant=" + start +
             std::string(200, 'a') + "\r\nSectionSuivant=" + page + std::string(50, 'y') + "\r\n[" +
             page + "]\r\nQuitter=Fin\r\n");
    Run({[&] {
        EXPECT_EQ(sim::ui::Info(Dialog()).text, std::string(1023, 'T'));
        EXPECT_EQ(Control(ID_SUIVANT).text, std::string(1023, 's'));
        Click(ID_SUIVANT);
        EXPECT_STREQ(dialog_.m_section.c_str(), page.c_str());
        EXPECT_EQ(Control(plat::kIdOk).text, "Fin");
    }});
    EXPECT_EQ(WaitForFile("C:\\KIT\\r.txt"),
              "C:\\\n" + std::string(127 - start.size(), 'a') + "\n");
}

// The page has no button, and the close box and Escape run Annuler's keys, of which there are
// none: the wizard cannot be left.
TEST_F(LimitsTest, APageThatDoesNotExistShowsNoButtonAndCannotBeLeft) {
    WriteIni("[IE45]\r\nSuivant=Suivant\r\nSectionSuivant=Absente\r\n");
    const int result = Run({[&] { Click(ID_SUIVANT); },
                            [&] {
                                EXPECT_STREQ(dialog_.m_section.c_str(), "Absente");
                                for (int id : {plat::kIdOk, plat::kIdCancel, ID_SUIVANT,
                                               ID_PRECEDENT, ID_INFO1, ID_INFO2}) {
                                    EXPECT_FALSE(Control(id).visible) << id;
                                }
                                sim::ui::CloseBox(Dialog());
                                sim::ui::PressEscape(Dialog());
                            },
                            [&] { EXPECT_TRUE(sim::ui::Info(Dialog()).visible); }});
    EXPECT_EQ(result, -1);
}

TEST_F(LimitsTest, ProcxWithASectionRunsTheActionShowsThePageAndCloses) {
    WriteIni(
        "[IE45]\r\nSaisie=C:\\Kit\r\nSuivant=Suivant\r\nProcxSuivant=SelectDir\r\n"
        "SectionSuivant=Fin\r\n[Fin]\r\nQuitter=Quitter\r\n");
    const int result = Run({[&] {
        sim::ui::ScriptFolderChoice("D:\\Choisi");
        Click(ID_SUIVANT);
    }});
    EXPECT_EQ(result, plat::kIdOk);
    EXPECT_EQ(sim::ui::FolderBrowses().size(), 1u);  // the action really ran
    EXPECT_EQ(dialog_.Saisie(), "D:\\Choisi");
    EXPECT_STREQ(dialog_.m_section.c_str(), "Fin");
}

// A path cut to its buffer would name another file: no configuration rather than a wrong one.
TEST_F(LimitsTest, APakonelPathTooLongForItsBufferIsNoConfiguration) {
    // The folder, its backslash and "Pakonel.ini" make 260 characters: one too many.
    SetProgramDirectory("C:\\" + std::string(245, 'k'));
    WriteIni("[IE45]\r\nSuivant=Suivant\r\n");
    Run({[&] {
        EXPECT_STREQ(app_.m_iniPath.c_str(), "");
        EXPECT_STREQ(dialog_.m_section.c_str(), "");
        EXPECT_EQ(Control(plat::kIdOk).text, "Quitter");
        EXPECT_FALSE(Control(ID_SUIVANT).visible);
    }});
}

TEST_F(LimitsTest, ABrowserAnsweringAnEmptyPathChangesNothing) {
    WriteIni("[IE45]\r\nSaisie=C:\\Kit\r\nInfo1=Parcourir\r\nProcInfo1=SelectDir\r\n");
    Run({[&] {
        sim::ui::ScriptFolderChoice("");
        Click(ID_INFO1);
        EXPECT_EQ(sim::ui::FolderBrowses().size(), 1u);
        EXPECT_EQ(Control(ID_SAISIE).text, "C:\\Kit");
    }});
    EXPECT_EQ(dialog_.Saisie(), "C:\\Kit");
}

// CopyFiles makes the installation folder what the field held, without a last backslash, and
// "#pf" is replaced by it with no separator added.
TEST_F(LimitsTest, HashPfAfterCopyFilesIsTheChosenFolder) {
    InstallTestChild();
    WriteIni(
        "[General]\r\nExtractible=test_child.exe exit 0\r\n"
        "[IE45]\r\nSaisie=#pfKit\r\nSuivant=Installer\r\nProcSuivant=CopyFiles\r\n"
        "SectionSuivant=Suite\r\n[Suite]\r\nSaisie=#pf\\Autre\r\n");
    Run({[&] {
        sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), "D:\\Un\\");
        Click(ID_SUIVANT);
        EXPECT_EQ(Control(ID_SAISIE).text, "D:\\Un\\Autre");
    }});
}

}  // namespace
