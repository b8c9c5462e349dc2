// The page refresh: title, buttons (shown, placed, captioned, disabled, focused), the entry
// field, the picture and the configuration-error pages.
#include <gtest/gtest.h>

#include <string>

#include "tests/kitassist/kit_fixture.h"

namespace {

using kittest::KitTest;

TEST_F(KitTest, WithoutConfigurationOnlyQuitterAndTheProblemText) {
    int result =
        Run({[&] {
                 EXPECT_EQ(sim::ui::Info(Dialog()).text, "Assistant d'installation du Kit Telvora");
                 for (int id :
                      {ID_SUIVANT, ID_PRECEDENT, ID_INFO1, ID_INFO2, plat::kIdCancel, ID_SAISIE}) {
                     EXPECT_FALSE(Control(id).visible) << id;
                 }
                 EXPECT_TRUE(Control(plat::kIdOk).visible);
                 EXPECT_EQ(Control(plat::kIdOk).text, "Quitter");
                 auto texts = sim::ui::TextsDrawn(Dialog());
                 ASSERT_FALSE(texts.empty());
                 const sim::ui::DrawOp& text = texts.back();
                 EXPECT_EQ(text.text, "Problème avec le fichier de configuration Pakonel.ini");
                 EXPECT_EQ(text.textColor, plat::Rgb(255, 0, 0));
                 EXPECT_EQ(text.font.weight, plat::kFwBold);
                 EXPECT_EQ(text.font.height, -13);
                 EXPECT_STREQ(text.font.faceName, "Courier New");
                 EXPECT_EQ(text.rect.left, 30);
                 EXPECT_EQ(text.rect.top, 120);
             },
             [&] { Click(plat::kIdOk); }});
    EXPECT_EQ(result, plat::kIdOk);
}

TEST_F(KitTest, TheGeneralErrorTextWhenTheFileWentAway) {
    WriteIni("[IE45]\r\n1=Bienvenue\r\n");
    Run({[&] {
        app_.m_iniPath = "";
        sim::ui::ClearDrawLog(Dialog());
        dialog_.RefreshPage();
        auto texts = sim::ui::TextsDrawn(Dialog());
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "Une erreur générale s'est produite,   impossible de continuer");
        EXPECT_EQ(texts[0].textColor, plat::Rgb(255, 0, 0));
        EXPECT_EQ(texts[0].font.height, -16);
        EXPECT_STREQ(texts[0].font.faceName, "Times New Roman");
    }});
}

TEST_F(KitTest, ButtonsShowWhereAndHowTheirKeysSay) {
    WriteIni(
        "[General]\r\nTitre=Installation du Kit\r\n"
        "[IE45]\r\nSuivant=Suivant+\r\nPosSuivant=0\r\nQuitter=Quitter#\r\nPosQuitter=300\r\n"
        "SizeQuitter=60\r\nInfo1=#\r\nInfo2=+\r\nPrecedent=Retour+#\r\nAnnuler=Non#+\r\n"
        "1=Texte\r\n");
    Run({[&] {
        EXPECT_EQ(sim::ui::Info(Dialog()).text, "Installation du Kit");
        sim::ui::WindowInfo next = Control(ID_SUIVANT);
        EXPECT_TRUE(next.visible && next.enabled && next.focused);
        EXPECT_EQ(next.text, "Suivant");
        // Its default x and width, keeping the resource's y and height.
        EXPECT_EQ(next.rect, (plat::Rect{256, 367, 256 + 85, 390}));
        sim::ui::WindowInfo quit = Control(plat::kIdOk);
        EXPECT_EQ(quit.text, "Quitter");
        EXPECT_FALSE(quit.enabled);
        EXPECT_EQ(quit.rect, (plat::Rect{300, 367, 360, 390}));
        // A lone marker is the caption itself.
        EXPECT_EQ(Control(ID_INFO1).text, "#");
        EXPECT_TRUE(Control(ID_INFO1).enabled);
        EXPECT_EQ(Control(ID_INFO1).rect.left, 86);
        EXPECT_EQ(Control(ID_INFO2).text, "+");
        EXPECT_EQ(Control(ID_INFO2).rect.left, 1);
        // "#" is cut first: Retour+# is disabled and then loses its "+" (a disabled button
        // cannot take the focus); Non#+ loses both at its last "#".
        EXPECT_EQ(Control(ID_PRECEDENT).text, "Retour");
        EXPECT_FALSE(Control(ID_PRECEDENT).enabled);
        EXPECT_EQ(Control(plat::kIdCancel).text, "Non");
        EXPECT_FALSE(Control(plat::kIdCancel).enabled);
        EXPECT_EQ(Control(plat::kIdCancel).rect.left, 341);
        EXPECT_FALSE(Control(ID_SAISIE).visible);
    }});
}

TEST_F(KitTest, TheNextPageHidesAndEnablesWhatThePreviousOneShowed) {
    WriteIni(
        "[IE45]\r\nSuivant=Suivant\r\nInfo1=Aide#\r\nSectionSuivant=Page2\r\nBitmap=logo.bmp\r\n"
        "[Page2]\r\nInfo1=Aide\r\nxb=0\r\n");
    Run({[&] {
        EXPECT_FALSE(Control(ID_INFO1).enabled);
        Click(ID_SUIVANT);
        EXPECT_STREQ(dialog_.m_section.c_str(), "Page2");
        EXPECT_FALSE(Control(ID_SUIVANT).visible);
        EXPECT_TRUE(Control(ID_INFO1).visible && Control(ID_INFO1).enabled);
        // Without a title key the title is empty.
        EXPECT_EQ(sim::ui::Info(Dialog()).text, "");
    }});
}

TEST_F(KitTest, ThePictureAtItsPlaceFromTheProgramDirectory) {
    // A 1 x 1 24-bit picture.
    std::string bmp("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0\1\0\0\0\1\0\x18\0", 30);
    bmp += std::string(28, '\0');
    ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\logo.bmp", bmp));
    WriteIni("[IE45]\r\nBitmap=logo.bmp\r\nxb=0\r\n1=Texte\r\n[Sans]\r\nBitmap=logo.bmp\r\n");
    Run({[&] {
        sim::ui::ClearDrawLog(Dialog());
        dialog_.RefreshPage();
        const auto& log = sim::ui::DrawLog(Dialog());
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[0].kind, sim::ui::DrawKind::Bitmap);
        EXPECT_EQ(log[0].file, "C:\\KIT\\logo.bmp");
        EXPECT_EQ(log[0].rect.left, 0);
        EXPECT_EQ(log[0].rect.top, 10);
        EXPECT_EQ(log[1].text, "Texte");  // the text is drawn over the picture
    }});
}

TEST_F(KitTest, TheEntryFieldTakesTheInstallationDirectoryAndEveryChange) {
    WriteIni(
        "[IE45]\r\nSaisie=#pfKit\r\nPosSaisie=40\r\nSizeSaisie=300\r\nSuivant=Suivant\r\n"
        "SectionSuivant=Page2\r\n[Page2]\r\nQuitter=Quitter\r\n");
    int result =
        Run({[&] {
                 sim::ui::WindowInfo field = Control(ID_SAISIE);
                 EXPECT_TRUE(field.visible);
                 EXPECT_EQ(field.text, "C:\\Program Files\\Kit");
                 EXPECT_EQ(field.rect, (plat::Rect{40, 328, 340, 351}));
                 EXPECT_EQ(dialog_.Saisie(), "C:\\Program Files\\Kit");
                 sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), "D:\\Ici");
                 EXPECT_EQ(dialog_.Saisie(), "D:\\Ici");
                 sim::ui::TypeText(plat::GetDlgItem(Dialog(), ID_SAISIE), std::string(300, 'x'));
                 EXPECT_EQ(dialog_.Saisie().size(), 256u);
                 sim::ui::ReplaceText(plat::GetDlgItem(Dialog(), ID_SAISIE), "E:\\L");
                 Click(ID_SUIVANT);
                 // The value outlives the page that set it.
                 EXPECT_FALSE(Control(ID_SAISIE).visible);
                 EXPECT_EQ(dialog_.Saisie(), "E:\\L");
             },
             [&] { Click(plat::kIdOk); }});
    EXPECT_EQ(result, plat::kIdOk);
    EXPECT_EQ(dialog_.Saisie(), "E:\\L");
}

}  // namespace
