// Start-up (program directory, configuration file, first page, installation directory,
// [General] values) and the dialog as its resource makes it.
#include <gtest/gtest.h>

#include <string>

#include "tests/kitassist/kit_fixture.h"

namespace {

using kittest::KitTest;

TEST_F(KitTest, StartUpReadsTheDirectoryTheFileAndTheGeneralValues) {
    const std::string longName(300, 'x');
    WriteIni(
        "[General]\r\nExtractible=extract.exe\r\nAbonnement=abonne\\abonne.exe\r\n"
        "Espace=espace.exe\r\nRaccEspace=" +
        longName + "\r\n");
    app_.Start();
    EXPECT_STREQ(app_.m_programDir.c_str(), "C:\\KIT\\");
    EXPECT_STREQ(app_.m_iniPath.c_str(), "C:\\KIT\\Pakonel.ini");
    EXPECT_STREQ(app_.m_startSection.c_str(), "IE45");
    EXPECT_STREQ(app_.m_installDir.c_str(), "C:\\Program Files\\");
    EXPECT_STREQ(app_.m_extractible.c_str(), "extract.exe");
    EXPECT_STREQ(app_.m_abonnement.c_str(), "abonne\\abonne.exe");
    EXPECT_STREQ(app_.m_espace.c_str(), "espace.exe");
    EXPECT_EQ(app_.m_raccEspace.str(), std::string(63, 'x'));
    EXPECT_STREQ(app_.m_command.c_str(), "");
}

TEST_F(KitTest, WithoutTheFileNoPathNoFirstPageAndNoGeneralValues) {
    kittest::SetRegistryText(plat::kHkeyLocalMachine,
                             "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                             "D:\\Programmes\\");
    app_.Start();
    EXPECT_STREQ(app_.m_iniPath.c_str(), "");
    EXPECT_STREQ(app_.m_startSection.c_str(), "");
    EXPECT_STREQ(app_.m_installDir.c_str(), "D:\\Programmes\\");  // no second backslash
    EXPECT_STREQ(app_.m_extractible.c_str(), "");
}

TEST_F(KitTest, WithoutProgramFilesDirTheInstallationDirectoryIsABackslash) {
    plat::RegKey key = 0;
    ASSERT_EQ(
        plat::RegOpenKey(plat::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                         plat::kKeyAllAccess, &key),
        plat::kErrorSuccess);
    plat::RegDeleteValue(key, "ProgramFilesDir");
    plat::RegCloseKey(key);
    app_.Start();
    EXPECT_STREQ(app_.m_installDir.c_str(), "\\");
}

TEST_F(KitTest, TheDialogFromItsResource) {
    WriteIni("[IE45]\r\n1=Bienvenue\r\n");
    int result = Run({[&] {
        sim::ui::WindowInfo window = sim::ui::Info(Dialog());
        // 337 x 248 dialog units in "MS Sans Serif" 8, with caption and modal frame.
        EXPECT_EQ(window.clientRect, (plat::Rect{0, 0, 506, 403}));
        EXPECT_EQ(window.templateId, IDD_KITASSIST);
        EXPECT_EQ(window.defaultId, ID_SUIVANT);
        EXPECT_NE(window.bigIcon, 0u);
        EXPECT_EQ(window.smallIcon, window.bigIcon);
        EXPECT_EQ(Control(ID_SUIVANT).font.height, -11);
        EXPECT_STREQ(Control(ID_SUIVANT).font.faceName, "MS Sans Serif");
        const struct {
            int id;
            int x;
        } row[] = {{ID_INFO2, 7},     {ID_INFO1, 63},         {ID_PRECEDENT, 119},
                   {ID_SUIVANT, 175}, {plat::kIdCancel, 231}, {plat::kIdOk, 287}};
        for (const auto& button : row) {
            sim::ui::WindowInfo info = Control(button.id);
            EXPECT_EQ(info.rect.left, button.x * 6 / 4 + (button.x * 6 % 4 >= 2)) << button.id;
            EXPECT_EQ(info.rect.top, 367) << button.id;
            EXPECT_EQ(info.rect.bottom - info.rect.top, 23) << button.id;
        }
        EXPECT_EQ(Control(ID_PRECEDENT).text, "Précédent");
        EXPECT_FALSE(Control(ID_BLANK).visible);
        sim::ui::WindowInfo field = Control(ID_SAISIE);
        EXPECT_FALSE(field.visible);
        EXPECT_EQ(field.rect.left, 38);
        EXPECT_EQ(field.rect.top, 328);
        EXPECT_TRUE(field.exStyle & plat::kWsExClientEdge);
        EXPECT_TRUE(field.style & plat::kEsAutoHScroll);
    }});
    EXPECT_EQ(result, -1);  // still open: nothing closed it
}

TEST_F(KitTest, MinimisedTheWindowShowsItsIconInTheMiddle) {
    WriteIni("[IE45]\r\n1=Bienvenue\r\n");
    Run({[&] {
        plat::ShowWindow(Dialog(), plat::kSwMinimize);
        sim::ui::ClearDrawLog(Dialog());
        plat::InvalidateRect(Dialog(), nullptr, true);
        sim::ui::PumpMessages();
        sim::ui::DrawOp icon;
        for (const auto& op : sim::ui::DrawLog(Dialog())) {
            if (op.kind == sim::ui::DrawKind::Icon) icon = op;
        }
        EXPECT_EQ(icon.iconId, IDI_KITASSIST);
        EXPECT_EQ(icon.rect.left, (506 - 32 + 1) / 2);
        EXPECT_EQ(icon.rect.top, (403 - 32 + 1) / 2);
        EXPECT_TRUE(sim::ui::TextsDrawn(Dialog()).empty());
    }});
}

}  // namespace
