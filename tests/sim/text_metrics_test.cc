// Text measured with the fonts on the simulated machine. The expected figures are those Wine
// gives for the same LOGFONT in our prefix (its MS Sans Serif, Liberation for Arial, Times New
// Roman and Courier New; GetTextMetricsA, GetTextExtentPoint32A and DrawTextA measured there),
// so that a layout computed here is the one Wine draws.
#include <gtest/gtest.h>

#include <string>

#include "platform/draw.h"
#include "platform/window.h"
#include "tests/sim/window_fixture.h"

namespace {

struct Expected {
    const char* face;
    plat::Long height;
    plat::Long weight;
    // GetTextMetrics
    plat::Long cell, ascent, descent, internalLeading, externalLeading, average, widest;
    // GetTextExtentPoint32 of "Suivant >", "< Précédent", "Êtes-vous déjà abonné ?", "W", "i"
    int next, previous, question, w, i;
};

const Expected kFonts[] = {
    {"MS Sans Serif", -11, 400, 13, 11, 2, 2, 0, 5, 11, 45, 58, 118, 11, 2},
    {"MS Sans Serif", -11, 700, 13, 11, 2, 2, 0, 6, 12, 54, 69, 141, 12, 3},
    {"MS Sans Serif", 13, 400, 13, 11, 2, 2, 0, 5, 11, 45, 58, 118, 11, 2},
    {"Arial", -19, 400, 21, 17, 4, 2, 1, 11, 24, 81, 105, 216, 18, 4},
    {"Arial", -19, 700, 21, 17, 4, 2, 1, 12, 24, 86, 110, 229, 18, 5},
    {"Arial", -13, 400, 15, 12, 3, 2, 0, 8, 16, 56, 71, 144, 12, 3},
    {"Arial", 16, 400, 16, 13, 3, 2, 0, 8, 18, 59, 77, 158, 13, 3},
    {"Arial", -11, 400, 12, 10, 2, 1, 0, 6, 14, 45, 59, 121, 10, 2},
    {"Times New Roman", -16, 400, 17, 14, 3, 2, 1, 9, 19, 61, 75, 153, 15, 4},
    {"Courier New", -13, 400, 15, 11, 4, 2, 0, 8, 8, 72, 88, 184, 8, 8},
    // Wine's average width of its System face (7) follows no rule of the font file we know of.
    {"System", 16, 700, 16, 13, 3, 3, 0, -1, 15, 61, 77, 161, 14, 4},
    {"Tahoma", -11, 400, 13, 11, 2, 2, 0, 7, 16, 50, 66, 127, 10, 3},
};

class TextMetricsTest : public WindowSystemTest {
  protected:
    plat::Hfont Font(const char* face, plat::Long height, plat::Long weight) {
        plat::LogFont font;
        font.height = height;
        font.weight = weight;
        plat::SetFaceName(&font, face);
        return plat::CreateFontIndirect(font);
    }
};

TEST_F(TextMetricsTest, MetricsAndWidthsAreThoseOfTheFontFiles) {
    plat::Hdc dc = plat::GetDC(0);
    for (const Expected& e : kFonts) {
        SCOPED_TRACE(std::string(e.face) + " " + std::to_string(e.height) + " " +
                     std::to_string(e.weight));
        plat::Hfont font = Font(e.face, e.height, e.weight);
        plat::Hgdiobj old = plat::SelectObject(dc, font);
        plat::TextMetrics m;
        ASSERT_TRUE(plat::GetTextMetrics(dc, &m));
        EXPECT_EQ(m.height, e.cell);
        EXPECT_EQ(m.ascent, e.ascent);
        EXPECT_EQ(m.descent, e.descent);
        EXPECT_EQ(m.internalLeading, e.internalLeading);
        EXPECT_EQ(m.externalLeading, e.externalLeading);
        if (e.average >= 0) {
            EXPECT_EQ(m.averageCharWidth, e.average);
        }
        EXPECT_EQ(m.maxCharWidth, e.widest);
        auto width = [&](const char* text) {
            plat::Size size;
            EXPECT_TRUE(plat::GetTextExtentPoint32(
                dc, text, static_cast<int>(std::string(text).size()), &size));
            EXPECT_EQ(size.cy, e.cell);
            return size.cx;
        };
        EXPECT_EQ(width("Suivant >"), e.next);
        EXPECT_EQ(width("< Précédent"), e.previous);
        EXPECT_EQ(width("Êtes-vous déjà abonné ?"), e.question);
        EXPECT_EQ(width("W"), e.w);
        EXPECT_EQ(width("i"), e.i);
        plat::SelectObject(dc, old);
        plat::DeleteObject(font);
    }
    plat::ReleaseDC(0, dc);
}

TEST_F(TextMetricsTest, WordBreakAndCalcRectFollowTheWidths) {
    plat::Hdc dc = plat::GetDC(0);
    plat::Hfont font = Font("MS Sans Serif", -11, 400);
    plat::Hgdiobj old = plat::SelectObject(dc, font);
    // In 100 pixels the text takes three lines of 13, the widest 88 pixels wide.
    plat::Rect rect{0, 0, 100, 0};
    EXPECT_EQ(plat::DrawText(dc, "Bienvenue dans l'assistant de connexion Telvora", -1, &rect,
                             plat::kDtCalcRect | plat::kDtWordBreak),
              39);
    EXPECT_EQ(rect, (plat::Rect{0, 0, 88, 39}));
    // A word wider than the rectangle is not cut: the rectangle grows to "Bienvenue".
    plat::Rect narrow{0, 0, 10, 0};
    EXPECT_EQ(
        plat::DrawText(dc, "Bienvenue dans", -1, &narrow, plat::kDtCalcRect | plat::kDtWordBreak),
        26);
    EXPECT_EQ(narrow, (plat::Rect{0, 0, 51, 26}));
    plat::SelectObject(dc, old);
    plat::DeleteObject(font);
    plat::ReleaseDC(0, dc);
}

}  // namespace
