// Drawing on the headless window system: what the draw log records (fonts, colours, modes,
// rectangles, bitmaps with their palette, icons), drawing objects left behind, device caps,
// and the standard boxes' scripts and logs.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/draw.h"
#include "platform/sim/bmp_file.h"
#include "platform/system.h"
#include "platform/window.h"
#include "tests/sim/window_fixture.h"
#include "tests/support/bmp_writer.h"

namespace {

using plat::Hwnd;
using plat::Rect;

using testsupport::MakeBmp;

plat::LResult PlainProc(Hwnd window, plat::Uint message, plat::WParam wParam, plat::LParam lParam) {
    return plat::DefWindowProc(window, message, wParam, lParam);
}

class DrawTest : public WindowSystemTest {
  protected:
    void SetUp() override {
        WindowSystemTest::SetUp();
        plat::WndClass wc;
        wc.className = "Canvas";
        wc.wndProc = PlainProc;
        wc.background = plat::kColorWindow + 1;
        ASSERT_TRUE(plat::RegisterWindowClass(wc));
        window_ = plat::CreateWindow(0, "Canvas", "c", plat::kWsOverlappedWindow | plat::kWsVisible,
                                     0, 0, 640, 480, 0, 0);
        sim::ui::PumpMessages();  // the first paint
        sim::ui::ClearAllDrawLogs();
    }
    void WriteFile(const std::string& windowsName, const std::string& bytes) {
        std::ofstream(folder_ + "/drive_c/" + windowsName, std::ios::binary) << bytes;
    }
    Hwnd window_ = 0;
};

TEST_F(DrawTest, FirstPaintErasesWithTheClassBrush) {
    plat::InvalidateRect(window_, nullptr, true);
    sim::ui::PumpMessages();
    const auto& log = sim::ui::DrawLog(window_);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].kind, sim::ui::DrawKind::EraseBackground);
    EXPECT_EQ(log[0].brushColor, plat::Rgb(255, 255, 255));
    EXPECT_EQ(log[0].rect, (Rect{0, 0, 632, 453}));
    EXPECT_GT(log[0].paintCycle, 0);
}

TEST_F(DrawTest, TextKeepsTheFontColoursAndMode) {
    plat::Hdc dc = plat::GetDC(window_);
    ASSERT_NE(dc, 0u);
    // A window's context starts with the system font, black on white, opaque.
    EXPECT_EQ(plat::GetBkMode(dc), plat::kOpaque);
    EXPECT_EQ(plat::GetBkColor(dc), plat::Rgb(255, 255, 255));
    plat::LogFont lf;
    lf.height = -plat::MulDiv(14, plat::GetDeviceCaps(dc, plat::kLogPixelsY), 72);
    lf.weight = plat::kFwBold;
    lf.italic = 1;
    lf.pitchAndFamily = plat::kVariablePitch | plat::kFfRoman;
    lf.quality = plat::kProofQuality;
    plat::SetFaceName(&lf, "Times New Roman");
    plat::Hfont font = plat::CreateFontIndirect(lf);
    plat::Hgdiobj old = plat::SelectObject(dc, font);
    EXPECT_EQ(old, plat::GetStockObject(plat::kSystemFont));
    plat::SetTextColor(dc, plat::Rgb(255, 0, 0));
    EXPECT_EQ(plat::SetBkMode(dc, plat::kTransparent), plat::kOpaque);
    Rect band{30, 120, 580, 142};
    plat::DrawText(dc, "Titre", -1, &band,
                   plat::kDtSingleLine | plat::kDtVCenter | plat::kDtCenter);
    plat::SelectObject(dc, old);
    EXPECT_TRUE(plat::DeleteObject(font));
    plat::TextOut(dc, 0, 20, "Copie de    C:\\KIT\\a    OK", 16);
    EXPECT_EQ(plat::ReleaseDC(window_, dc), 1);

    std::vector<sim::ui::DrawOp> texts = sim::ui::TextsDrawn(window_);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].kind, sim::ui::DrawKind::Text);
    EXPECT_EQ(texts[0].text, "Titre");
    EXPECT_EQ(texts[0].rect, band);
    EXPECT_EQ(texts[0].format, plat::kDtSingleLine | plat::kDtVCenter | plat::kDtCenter);
    EXPECT_EQ(texts[0].font, lf);
    EXPECT_EQ(texts[0].font.height, -19);
    EXPECT_EQ(texts[0].textColor, plat::Rgb(255, 0, 0));
    EXPECT_EQ(texts[0].bkMode, plat::kTransparent);
    EXPECT_EQ(texts[0].paintCycle, 0);
    EXPECT_TRUE(texts[0].windowVisible);
    EXPECT_EQ(texts[1].kind, sim::ui::DrawKind::TextOut);
    EXPECT_EQ(texts[1].text, "Copie de    C:\\K");
    EXPECT_EQ(texts[1].rect.left, 0);
    EXPECT_EQ(texts[1].rect.top, 20);
    EXPECT_STREQ(texts[1].font.faceName, "System");
    EXPECT_LT(texts[0].sequence, texts[1].sequence);
    EXPECT_EQ(sim::ui::LiveGdiObjects(), 0);
    EXPECT_EQ(sim::ui::LiveDeviceContexts(), 0);
}

TEST_F(DrawTest, ObjectsLeftBehindAreCounted) {
    plat::Hdc dc = plat::GetDC(window_);
    plat::Hbrush brush = plat::CreateSolidBrush(plat::Rgb(1, 2, 3));
    plat::SelectObject(dc, brush);
    // Still selected: refused, as Windows 98 does.
    EXPECT_FALSE(plat::DeleteObject(brush));
    EXPECT_EQ(sim::ui::LiveGdiObjects(), 1);
    EXPECT_EQ(sim::ui::LiveDeviceContexts(), 1);
    plat::SelectObject(dc, plat::GetStockObject(plat::kWhiteBrush));
    EXPECT_TRUE(plat::DeleteObject(brush));
    EXPECT_FALSE(plat::DeleteObject(brush));
    EXPECT_TRUE(plat::DeleteObject(plat::GetStockObject(plat::kBlackPen)));
    plat::ReleaseDC(window_, dc);
    EXPECT_EQ(sim::ui::LiveGdiObjects(), 0);
}

TEST_F(DrawTest, FillsAndRectangles) {
    plat::Hdc dc = plat::GetDC(window_);
    plat::Hbrush brush = plat::CreateSolidBrush(plat::GetSysColor(plat::kColorInactiveBorder));
    plat::Hpen pen =
        plat::CreatePen(plat::kPsSolid, 1, plat::GetSysColor(plat::kColorInactiveBorder));
    plat::Hgdiobj oldBrush = plat::SelectObject(dc, brush);
    plat::Hgdiobj oldPen = plat::SelectObject(dc, pen);
    EXPECT_TRUE(plat::Rectangle(dc, 20, 10, 320, 70));
    plat::FillRect(dc, Rect{0, 0, 5, 5}, plat::kColorBtnFace + 1);
    plat::SelectObject(dc, oldBrush);
    plat::SelectObject(dc, oldPen);
    plat::DeleteObject(brush);
    plat::DeleteObject(pen);
    plat::ReleaseDC(window_, dc);
    const auto& log = sim::ui::DrawLog(window_);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].kind, sim::ui::DrawKind::Rectangle);
    EXPECT_EQ(log[0].rect, (Rect{20, 10, 320, 70}));
    EXPECT_EQ(log[0].brushColor, plat::Rgb(192, 192, 192));
    EXPECT_EQ(log[0].penColor, plat::Rgb(192, 192, 192));
    EXPECT_EQ(log[0].penWidth, 1);
    EXPECT_EQ(log[1].kind, sim::ui::DrawKind::FillRect);
    EXPECT_EQ(log[1].brushColor, plat::Rgb(192, 192, 192));
}

TEST_F(DrawTest, BitmapFromFileCopiedWithItsPalette) {
    WriteFile("logo.bmp", MakeBmp(20, 10, 8, 16));
    plat::Hbitmap bitmap = plat::LoadBitmapFromFile("C:\\LOGO.BMP");
    ASSERT_NE(bitmap, 0u);
    plat::BitmapInfo info;
    ASSERT_TRUE(plat::GetBitmapInfo(bitmap, &info));
    EXPECT_EQ(info.width, 20);
    EXPECT_EQ(info.height, 10);
    EXPECT_EQ(info.bitsPerPixel, 8u);
    EXPECT_EQ(info.planes, 1u);
    plat::Hdc dc = plat::GetDC(window_);
    plat::Hdc memory = plat::CreateCompatibleDC(dc);
    plat::Hgdiobj old = plat::SelectObject(memory, bitmap);
    plat::RgbQuad table[256];
    ASSERT_EQ(plat::GetDIBColorTable(memory, 0, 256, table), 256u);
    EXPECT_EQ(table[16].red, 0);
    EXPECT_EQ(table[5].red, 15);
    EXPECT_EQ(table[5].green, 10);
    plat::PaletteEntry entries[16];
    for (int i = 0; i < 16; ++i)
        entries[i] = plat::PaletteEntry{table[i].red, table[i].green, table[i].blue, 0};
    plat::Hpalette palette = plat::CreatePalette(entries, 16);
    plat::Hpalette oldPalette = plat::SelectPalette(dc, palette, false);
    plat::RealizePalette(dc);
    EXPECT_TRUE(plat::BitBlt(dc, 21, 10, 20, 10, memory, 0, 0, plat::kSrcCopy));
    plat::SelectPalette(dc, oldPalette, false);
    plat::SelectObject(memory, old);
    plat::DeleteDC(memory);
    plat::ReleaseDC(window_, dc);
    plat::DeleteObject(palette);
    plat::DeleteObject(bitmap);
    const auto& log = sim::ui::DrawLog(window_);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].kind, sim::ui::DrawKind::Bitmap);
    EXPECT_EQ(log[0].file, "C:\\LOGO.BMP");
    EXPECT_EQ(log[0].rect, (Rect{21, 10, 41, 20}));
    EXPECT_EQ(log[0].bitsPerPixel, 8);
    EXPECT_EQ(log[0].rasterOperation, plat::kSrcCopy);
    EXPECT_EQ(log[0].paletteEntries, 16);
    EXPECT_TRUE(log[0].paletteRealized);
    EXPECT_FALSE(log[0].halftonePalette);
    EXPECT_EQ(sim::ui::LiveGdiObjects(), 0);
    EXPECT_EQ(sim::ui::LiveDeviceContexts(), 0);
}

TEST_F(DrawTest, BitmapCopiesFarOutRecordTheirRectangleHeldToAnInt) {
    // A kit page can place its picture anywhere: the copy is recorded, its far edge held.
    plat::Hdc dc = plat::GetDC(window_);
    EXPECT_TRUE(plat::BitBlt(dc, 2147483647, -2147483647 - 1, 5, -3, 0, 0, 0, plat::kSrcCopy));
    plat::ReleaseDC(window_, dc);
    const auto& log = sim::ui::DrawLog(window_);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rect, (Rect{2147483647, -2147483647 - 1, 2147483647, -2147483647 - 1}));
}

TEST_F(DrawTest, MissingOrBrokenBitmapsDoNotLoad) {
    EXPECT_EQ(plat::LoadBitmapFromFile("C:\\absent.bmp"), 0u);
    std::string cut = MakeBmp(20, 10, 24, 0);
    cut.resize(cut.size() - 1);
    WriteFile("cut.bmp", cut);
    EXPECT_EQ(plat::LoadBitmapFromFile("C:\\cut.bmp"), 0u);
    WriteFile("text.bmp", "not a bitmap");
    EXPECT_EQ(plat::LoadBitmapFromFile("C:\\text.bmp"), 0u);
}

TEST_F(DrawTest, PredefinedIconsAndHiddenWindows) {
    plat::ShowWindow(window_, plat::kSwHide);
    plat::Hicon question = plat::LoadSystemIcon(plat::kIdiQuestion);
    ASSERT_NE(question, 0u);
    EXPECT_EQ(plat::LoadSystemIcon(plat::kIdiQuestion), question);
    EXPECT_EQ(plat::LoadSystemIcon(12), 0u);
    plat::Hdc dc = plat::GetDC(window_);
    EXPECT_TRUE(plat::DrawIcon(dc, 40, 50, question));
    plat::ReleaseDC(window_, dc);
    const auto& log = sim::ui::DrawLog(window_);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].kind, sim::ui::DrawKind::Icon);
    EXPECT_EQ(log[0].iconId, plat::kIdiQuestion);
    EXPECT_TRUE(log[0].systemIcon);
    EXPECT_EQ(log[0].rect, (Rect{40, 50, 72, 82}));
    EXPECT_FALSE(log[0].windowVisible);
}

TEST_F(DrawTest, DeviceCapsAndSystemFollowTheMachineSettings) {
    sim::MachineSettings settings;
    settings.dpiY = 192;
    settings.screenWidth = 800;
    sim::Machine::Current().SetSettings(settings);
    plat::Hdc dc = plat::GetDC(0);
    EXPECT_EQ(plat::GetDeviceCaps(dc, plat::kLogPixelsY), 192);
    EXPECT_EQ(plat::GetDeviceCaps(dc, plat::kLogPixelsX), 96);
    EXPECT_EQ(plat::GetDeviceCaps(dc, plat::kHorzRes), 800);
    plat::ReleaseDC(0, dc);
    EXPECT_EQ(plat::ScreenWidth(), 800);
    EXPECT_EQ(plat::ScreenDpiY(), 192);
    plat::OsVersion version;
    ASSERT_TRUE(plat::GetVersionEx(&version));
    EXPECT_EQ(version.minor, 10u);
    EXPECT_EQ(version.platformId, 1u);
    EXPECT_EQ(plat::GetVersion() & 0xFFFF, 0x0A04u);
    EXPECT_EQ(plat::GetSysColor(plat::kColorInactiveBorder), plat::Rgb(192, 192, 192));
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFailsWithMinusOne) {
    EXPECT_EQ(plat::MulDiv(8, 96, 72), 11);
    EXPECT_EQ(plat::MulDiv(10, 120, 72), 17);
    EXPECT_EQ(plat::MulDiv(5, 3, 2), 8);
    EXPECT_EQ(plat::MulDiv(-5, 3, 2), -8);
    EXPECT_EQ(plat::MulDiv(1, 2, 0), -1);
    EXPECT_EQ(plat::MulDiv(0x7FFFFFFF, 4, 1), -1);
    EXPECT_EQ(plat::MulDiv(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF);
}

class BoxesTest : public WindowSystemTest {};

TEST_F(BoxesTest, MessageBoxesAnswerFromTheScriptElseTheDefaultButton) {
    EXPECT_EQ(plat::MessageBox(0, "t", "c", plat::kMbYesNo | plat::kMbIconQuestion), plat::kIdYes);
    EXPECT_EQ(plat::MessageBox(0, "t", "c", plat::kMbYesNo | plat::kMbDefButton2), plat::kIdNo);
    sim::ui::ScriptMessageBoxAnswer(plat::kIdNo);
    EXPECT_EQ(plat::MessageBox(0x10020, "Etes-vous s\xFBr ?", "Fermeture", plat::kMbYesNo),
              plat::kIdNo);
    EXPECT_EQ(plat::MessageBox(0, "x", "y", plat::kMbOk | plat::kMbIconStop), plat::kIdOk);
    const auto& boxes = sim::ui::MessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[2].owner, 0x10020u);
    EXPECT_EQ(boxes[2].text, "Etes-vous s\xFBr ?");
    EXPECT_EQ(boxes[2].caption, "Fermeture");
    EXPECT_EQ(boxes[2].answer, plat::kIdNo);
    EXPECT_EQ(boxes[3].flags & plat::kMbIconMask, plat::kMbIconStop);
}

TEST_F(BoxesTest, FolderBrowserAndRestartPrompt) {
    char path[260] = "unchanged";
    EXPECT_FALSE(plat::BrowseForFolder(0, "", plat::kBifReturnOnlyFsDirs, path, sizeof path));
    EXPECT_STREQ(path, "unchanged");
    sim::ui::ScriptFolderChoice("C:\\Program Files\\Kit");
    ASSERT_TRUE(plat::BrowseForFolder(0, "", plat::kBifReturnOnlyFsDirs, path, sizeof path));
    EXPECT_STREQ(path, "C:\\Program Files\\Kit");
    sim::ui::ScriptFolderCancel();
    EXPECT_FALSE(plat::BrowseForFolder(0, "", 0, path, sizeof path));
    ASSERT_EQ(sim::ui::FolderBrowses().size(), 3u);
    EXPECT_EQ(sim::ui::FolderBrowses()[0].flags, plat::kBifReturnOnlyFsDirs);
    EXPECT_TRUE(plat::PromptReboot(0x10024));
    EXPECT_EQ(sim::ui::RebootPrompts(), (std::vector<plat::Hwnd>{0x10024}));
    // A quit message waiting ends the prompt's and the box's loops at once: nobody answers.
    sim::ui::ScriptMessageBoxAnswer(plat::kIdNo);
    plat::PostQuitMessage(1);
    EXPECT_FALSE(plat::PromptReboot(0x10024));
    EXPECT_EQ(plat::MessageBox(0, "texte", "titre", plat::kMbYesNo), plat::kIdOk);
    EXPECT_EQ(sim::ui::RebootPrompts().size(), 1u);
    EXPECT_TRUE(sim::ui::QuitPending());
}

TEST(BmpFile, HeadersAndColourTables) {
    sim::BmpImage image;
    std::string reason;
    std::string fullTable = MakeBmp(3, 2, 4, 16);
    fullTable[46] = 0;  // 0 colours used: the full table
    ASSERT_TRUE(sim::ParseBmp(fullTable, &image, &reason)) << reason;
    EXPECT_EQ(image.colorTable.size(), 16u);
    EXPECT_EQ(image.colorTable[3].red, 9);
    EXPECT_EQ(image.width, 3);
    ASSERT_TRUE(sim::ParseBmp(MakeBmp(3, 2, 24, 0), &image, &reason)) << reason;
    EXPECT_TRUE(image.colorTable.empty());
    std::string topDown = MakeBmp(3, 2, 24, 0);
    topDown[22] = static_cast<char>(0xFE);  // height -2
    topDown[23] = topDown[24] = topDown[25] = static_cast<char>(0xFF);
    ASSERT_TRUE(sim::ParseBmp(topDown, &image, &reason)) << reason;
    EXPECT_TRUE(image.topDown);
    EXPECT_EQ(image.height, 2);
    std::string badPlanes = MakeBmp(3, 2, 8, 2);
    badPlanes[26] = 2;
    EXPECT_FALSE(sim::ParseBmp(badPlanes, &image, &reason));
    std::string badDepth = MakeBmp(3, 2, 8, 2);
    badDepth[28] = 7;
    EXPECT_FALSE(sim::ParseBmp(badDepth, &image, &reason));
    std::string hugeTable = MakeBmp(3, 2, 8, 2);
    hugeTable[46] = static_cast<char>(0xFF);  // 255 colours used, two present
    EXPECT_FALSE(sim::ParseBmp(hugeTable, &image, &reason));
    EXPECT_FALSE(sim::ParseBmp("BM", &image, &reason));
}

}  // namespace
