// The page text markup: the style codes of a line, their removal, and how the painter lays the
// lines out and draws them (fonts, colours, bands, alignment) and draws the page picture.
#include <gtest/gtest.h>

#include <string>

#include "kitassist/line_markup.h"
#include "kitassist/page_painter.h"
#include "platform/sim/machine.h"
#include "tests/kitassist/kit_fixture.h"

namespace {

using kitassist::LineStyle;
using kitassist::ReadLineStyle;
using kitassist::StripLineCodes;

TEST(LineMarkup, TheLastCodeOfEachGroupInTheOrderOfExaminationWins) {
    EXPECT_EQ(ReadLineStyle("#14#12Titre").size, 14);
    EXPECT_EQ(ReadLineStyle("#04#06").size, 6);
    EXPECT_STREQ(ReadLineStyle("#t#aTexte").face.c_str(), "Times New Roman");
    EXPECT_STREQ(ReadLineStyle("#c#a").face.c_str(), "Courier New");
    EXPECT_EQ(ReadLineStyle("#d#mTexte").alignment, 'd');
    EXPECT_EQ(ReadLineStyle("#l#m").alignment, 'm');
    EXPECT_STREQ(ReadLineStyle("#J#N").textColor.c_str(), "jaune");
    EXPECT_STREQ(ReadLineStyle("#u#r").backColor.c_str(), "bleu");

    LineStyle plain = ReadLineStyle("Bienvenue #x #1 #pf");
    EXPECT_STREQ(plain.face.c_str(), "");
    EXPECT_EQ(plain.size, 10);
    EXPECT_FALSE(plain.bold || plain.italic || plain.underline);
    EXPECT_EQ(plain.alignment, 'l');
    EXPECT_STREQ(plain.textColor.c_str(), "noir");
    EXPECT_STREQ(plain.backColor.c_str(), "");

    LineStyle all = ReadLineStyle("x#gy#iz#s#B#n");
    EXPECT_TRUE(all.bold && all.italic && all.underline);
    EXPECT_STREQ(all.textColor.c_str(), "blanc");
    EXPECT_STREQ(all.backColor.c_str(), "noir");
    // Codes are case-sensitive: #G is no bold, #b a background and #B a text colour.
    EXPECT_FALSE(ReadLineStyle("#G").bold);
    EXPECT_STREQ(ReadLineStyle("#b").textColor.c_str(), "noir");
}

TEST(LineMarkup, StrippingRemovesEveryCodeAgainAndAgainAndKeepsOtherHashes) {
    EXPECT_EQ(StripLineCodes("#14#gBonjour #t#a le #10monde#d"), "Bonjour  le monde");
    EXPECT_EQ(StripLineCodes("##aa"), "");
    EXPECT_EQ(StripLineCodes("#0#044"), "");
    EXPECT_EQ(StripLineCodes("#1 #x #pf #G"), "#1 #x #pf #G");
    // "#a" goes before "#g": removing "#g" brings a "#a" together that stays.
    EXPECT_EQ(StripLineCodes("##ga"), "#a");
    EXPECT_EQ(StripLineCodes("#r\xA7"), " ");
    EXPECT_EQ(StripLineCodes("\xA7\xA7"), "\xA7\xA7");
    EXPECT_EQ(StripLineCodes("#r"), "");
}

// The painter on a dialog of the wizard's template (506 x 403 client, 512 wide outside). The
// bands end at the client area's right edge rather than at the outer width.
class PainterTest : public kittest::KitTest {
  protected:
    void SetUp() override {
        kittest::KitTest::SetUp();
        window_ = plat::CreateDialogFromResource(IDD_KITASSIST, 0, &NoProc);
        ASSERT_NE(window_, 0u);
    }
    static std::intptr_t NoProc(plat::Hwnd, plat::Uint, plat::WParam, plat::LParam) { return 0; }
    void Draw(const std::string& section) {
        WriteIni("[Page]\r\n" + section);
        painter_.DrawLines(window_, "Page", "C:\\KIT\\Pakonel.ini", "");
    }
    void SetDpi(int dpi) {
        sim::MachineSettings settings = sim::Machine::Current().Settings();
        settings.dpiX = settings.dpiY = dpi;
        sim::Machine::Current().SetSettings(settings);
    }
    std::vector<sim::ui::DrawOp> Texts() const { return sim::ui::TextsDrawn(window_); }

    plat::Hwnd window_ = 0;
    CPagePainter painter_;
};

TEST_F(PainterTest, BandsKeepTheFirstLinesHeightAndMissingLinesTakeNoRoom) {
    Draw("1=#14#12Titre\r\n3=#d#mSuite\r\n4=#r\r\n5=Fin\r\n");
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    // 14 points at 96 dpi are 19 pixels, plus 3: the band of every line is 22 high.
    EXPECT_EQ(texts[0].text, "Titre");
    EXPECT_EQ(texts[0].rect, (plat::Rect{30, 120, 506, 142}));
    EXPECT_EQ(texts[0].font.height, -19);
    // Line 3 follows at once; 10 points move the next line down by 13 + 3.
    EXPECT_EQ(texts[1].text, "Suite");
    EXPECT_EQ(texts[1].rect, (plat::Rect{30, 142, 506, 164}));
    EXPECT_EQ(texts[1].format, plat::kDtSingleLine | plat::kDtVCenter | plat::kDtRight);
    // "#r" alone draws nothing but still takes its line.
    EXPECT_EQ(texts[2].text, "Fin");
    EXPECT_EQ(texts[2].rect, (plat::Rect{30, 174, 506, 196}));
    EXPECT_EQ(sim::ui::LiveGdiObjects(), 0);
    EXPECT_EQ(sim::ui::LiveDeviceContexts(), 0);
}

TEST_F(PainterTest, EachAlignmentCodeGivesItsAlignment) {
    Draw("1=#mMilieu\r\n2=#m#lAussi\r\n3=#m#dDroite\r\n4=Gauche\r\n");
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 4u);
    const plat::Uint band = plat::kDtSingleLine | plat::kDtVCenter;
    EXPECT_EQ(texts[0].text, "Milieu");
    EXPECT_EQ(texts[0].format, band | plat::kDtCenter);
    EXPECT_EQ(texts[1].format, band | plat::kDtCenter);  // "#m" over "#l"
    EXPECT_EQ(texts[2].format, band | plat::kDtRight);   // "#d" over "#m"
    EXPECT_EQ(texts[3].format, band | plat::kDtLeft);
}

TEST_F(PainterTest, FontColoursAndTheOpaqueBackgroundBand) {
    Draw("xt=40\r\nyt=50\r\n1=#a#g#i#s#V#jSouligné\r\n2=#r\xA7\r\n");
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 4u);
    // The band of blanks: opaque yellow, the same font without its underline, left-aligned.
    const sim::ui::DrawOp& blanks = texts[0];
    EXPECT_EQ(blanks.text, std::string(255, ' '));
    EXPECT_EQ(blanks.bkMode, plat::kOpaque);
    EXPECT_EQ(blanks.bkColor, plat::Rgb(255, 255, 0));
    EXPECT_EQ(blanks.font.underline, 0);
    EXPECT_EQ(blanks.format, plat::kDtSingleLine | plat::kDtVCenter | plat::kDtLeft);
    EXPECT_EQ(blanks.rect, (plat::Rect{40, 50, 506, 66}));

    const sim::ui::DrawOp& text = texts[1];
    EXPECT_EQ(text.text, "Souligné");
    EXPECT_EQ(text.textColor, plat::Rgb(0, 255, 0));
    EXPECT_EQ(text.bkMode, plat::kOpaque);
    EXPECT_EQ(text.font.height, -13);
    EXPECT_EQ(text.font.weight, plat::kFwBold);
    EXPECT_EQ(text.font.italic, 1);
    EXPECT_EQ(text.font.underline, 1);
    EXPECT_EQ(text.font.charSet, plat::kDefaultCharset);
    EXPECT_EQ(text.font.quality, plat::kProofQuality);
    EXPECT_EQ(text.font.pitchAndFamily, plat::kVariablePitch | plat::kFfRoman);
    EXPECT_STREQ(text.font.faceName, "Arial");

    // "#r" and "§": a red band with one blank on it.
    EXPECT_EQ(texts[2].bkColor, plat::Rgb(255, 0, 0));
    EXPECT_EQ(texts[2].rect, (plat::Rect{40, 66, 506, 82}));
    EXPECT_EQ(texts[3].text, " ");
}

TEST_F(PainterTest, TransparentTextWithoutBackgroundAndTheDeviceContextRestored) {
    Draw("1=#UBleu\r\n");
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].bkMode, plat::kTransparent);
    EXPECT_EQ(texts[0].textColor, plat::Rgb(0, 0, 255));
    EXPECT_STREQ(texts[0].font.faceName, "");
    EXPECT_EQ(texts[0].font.weight, plat::kFwNormal);
    EXPECT_EQ(painter_.ColorOf("inconnu"), plat::Rgb(0, 0, 0));
    EXPECT_EQ(painter_.ColorOf("rouge"), plat::Rgb(255, 0, 0));
}

TEST_F(PainterTest, ScaleFollowsTheScreenInWholeFactors) {
    SetDpi(192);
    Draw("1=Grand\r\n");
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    // Origin doubled; 10 points at 192 dpi are 27 pixels, plus 3 x 2. The band stops at the
    // client area (twice the outer width minus the origin would be far outside).
    plat::Rect client;
    plat::GetClientRect(window_, &client);
    EXPECT_EQ(texts[0].rect, (plat::Rect{60, 240, client.right, 240 + 27 + 6}));
    EXPECT_TRUE(painter_.UpdateScale());

    SetDpi(120);
    EXPECT_TRUE(painter_.UpdateScale());
    EXPECT_EQ(painter_.sx, 1);
    SetDpi(72);
    EXPECT_FALSE(painter_.UpdateScale());
    EXPECT_EQ(painter_.sy, 1);
    sim::ui::ClearDrawLog(window_);
    Draw("1=Petit\r\n");
    // Raised to 1: the extra height is 3 - 1; 10 points at 72 dpi are 10 pixels.
    EXPECT_EQ(Texts()[0].rect.bottom, 120 + 10 + 2);
}

TEST_F(PainterTest, PicturesGetTheirOwnPaletteOrTheHalftoneOne) {
    // An 8-bit picture of 2 x 1 with a three-colour table, and a 24-bit one.
    auto bmp = [](int bits, const std::string& table, const std::string& pixels) {
        std::string header(54, '\0');
        auto put = [&](std::size_t at, std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i) header[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        put(0, 0x4D42, 2);
        put(2, static_cast<std::uint32_t>(54 + table.size() + pixels.size()), 4);
        put(10, static_cast<std::uint32_t>(54 + table.size()), 4);
        put(14, 40, 4);
        put(18, 2, 4);
        put(22, 1, 4);
        put(26, 1, 2);
        put(28, static_cast<std::uint32_t>(bits), 2);
        put(46, static_cast<std::uint32_t>(table.size() / 4), 4);
        return header + table + pixels;
    };
    ASSERT_TRUE(plat::WriteWholeFile(
        "C:\\KIT\\huit.bmp",
        bmp(8, std::string("\0\0\xFF\0\0\xFF\0\0\xFF\0\0\0", 12), std::string("\1\2\0\0", 4))));
    ASSERT_TRUE(plat::WriteWholeFile("C:\\KIT\\vrai.bmp", bmp(24, "", std::string(8, '\x7F'))));
    SetDpi(192);
    painter_.DrawBitmap("C:\\KIT\\huit.bmp", window_, 21, 10);
    painter_.DrawBitmap("C:\\KIT\\vrai.bmp", window_, 0, 5);
    painter_.DrawBitmap("C:\\KIT\\absent.bmp", window_, 0, 0);
    const auto& log = sim::ui::DrawLog(window_);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].file, "C:\\KIT\\huit.bmp");
    EXPECT_EQ(log[0].rect, (plat::Rect{42, 20, 44, 21}));
    EXPECT_EQ(log[0].paletteEntries, 256);
    // The picture's colours in their places: red, green, blue, then black.
    ASSERT_EQ(log[0].palette.size(), 256u);
    const plat::PaletteEntry expected[] = {
        {255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}};
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[0].palette[i].red, expected[i].red);
        EXPECT_EQ(log[0].palette[i].green, expected[i].green);
        EXPECT_EQ(log[0].palette[i].blue, expected[i].blue);
        EXPECT_EQ(log[0].palette[i].flags, 0);
    }
    EXPECT_EQ(log[0].palette[255].red, 0);
    EXPECT_FALSE(log[0].halftonePalette);
    EXPECT_TRUE(log[0].paletteRealized);
    EXPECT_EQ(log[0].rasterOperation, plat::kSrcCopy);
    EXPECT_TRUE(log[1].halftonePalette);
    EXPECT_EQ(log[1].rect.left, 0);
    EXPECT_EQ(log[1].rect.top, 10);
    EXPECT_EQ(sim::ui::LiveGdiObjects(), 0);
    EXPECT_EQ(sim::ui::LiveDeviceContexts(), 0);
}

}  // namespace
