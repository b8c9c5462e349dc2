// Pictures of the simulated screen: text smoothed or in monochrome as our Wine prefix draws it,
// the classic 3D look of a push button in the Windows 98 scheme, and the PNG file
// that holds them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/draw.h"
#include "platform/sim/image.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"
#include "tests/sim/window_fixture.h"

namespace {

using plat::Hwnd;

plat::LResult PlainProc(Hwnd window, plat::Uint message, plat::WParam wParam, plat::LParam lParam) {
    return plat::DefWindowProc(window, message, wParam, lParam);
}

class PictureTest : public WindowSystemTest {
  protected:
    void SetUp() override {
        WindowSystemTest::SetUp();
        plat::WndClass wc;
        wc.className = "Canvas";
        wc.wndProc = PlainProc;
        wc.background = plat::kColorWindow + 1;  // white
        ASSERT_TRUE(plat::RegisterWindowClass(wc));
        window_ = plat::CreateWindow(0, "Canvas", "c", plat::kWsPopup | plat::kWsVisible, 0, 0, 320,
                                     120, 0, 0);
        sim::ui::PumpMessages();
    }
    // The client area as written to, and read back from, a PNG file.
    sim::Image Picture() {
        std::string path = folder_ + "/picture.png";
        std::string error;
        EXPECT_TRUE(sim::ui::SaveWindowPicture(window_, path, false, &error)) << error;
        sim::Image image;
        EXPECT_TRUE(sim::ReadPng(path, &image, &error)) << error;
        std::remove(path.c_str());
        return image;
    }
    Hwnd window_ = 0;
};

// Red text on white, one line from (10, 10): where its ink lies, and how many pixels are
// the text's colour and how many a blend of it with the background.
struct RedText {
    int red = 0;
    int blended = 0;
    int left = 1 << 20;
    int right = -1;
    int top = 1 << 20;
    int bottom = -1;
    bool onlyRedAndWhiteBlends = true;  // every other pixel is white toward red: R 255, G = B
    plat::Size extent;
};

class TextPictureTest : public PictureTest {
  protected:
    RedText Draw(const char* face, int height, std::uint8_t quality) {
        plat::Hdc dc = plat::GetDC(window_);
        plat::LogFont font;
        font.height = height;
        font.weight = plat::kFwNormal;
        font.quality = quality;
        plat::SetFaceName(&font, face);
        plat::Hfont handle = plat::CreateFontIndirect(font);
        plat::Hgdiobj old = plat::SelectObject(dc, handle);
        plat::SetBkMode(dc, plat::kTransparent);
        plat::SetTextColor(dc, plat::Rgb(255, 0, 0));
        plat::Rect rect{10, 10, 310, 60};
        const char* text = "Êtes-vous déjà abonné ?";
        plat::DrawText(dc, text, -1, &rect,
                       plat::kDtLeft | plat::kDtSingleLine | plat::kDtNoPrefix);
        RedText r;
        EXPECT_TRUE(plat::GetTextExtentPoint32(dc, text, 23, &r.extent));
        plat::SelectObject(dc, old);
        plat::DeleteObject(handle);
        plat::ReleaseDC(window_, dc);

        sim::Image image = Picture();
        EXPECT_EQ(image.width, 320);
        EXPECT_EQ(image.height, 120);
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                std::uint32_t p = image.At(x, y);
                if (p == 0xFFFFFF) continue;
                if (p == 0xFF0000) {
                    ++r.red;
                } else {
                    ++r.blended;
                    if ((p >> 16) != 0xFF || ((p >> 8) & 0xFF) != (p & 0xFF))
                        r.onlyRedAndWhiteBlends = false;
                }
                r.left = std::min(r.left, x);
                r.right = std::max(r.right, x);
                r.top = std::min(r.top, y);
                r.bottom = std::max(r.bottom, y);
            }
        }
        return r;
    }
};

// Wine smooths the Liberation faces, which it finds through fontconfig, whatever the prefix's
// font smoothing, where the face's gasp table allows grey: Liberation Sans from 18 pixels, so
// Arial 14 points (19 pixels, the pages' titles) is smoothed (measured under Wine: "Bienvenue
// chez Telvora" in Arial 16 points left 712 blended pixels beside 901 black ones).
TEST_F(TextPictureTest, LargeArialIsSmoothedAndStaysInItsBox) {
    RedText r = Draw("Arial", -19, 0);
    EXPECT_GT(r.red, 200);
    EXPECT_GT(r.blended, 100);
    EXPECT_TRUE(r.onlyRedAndWhiteBlends);
    // Inside the cell the text takes: its extent from the pen, its line height.
    EXPECT_GE(r.top, 10);
    EXPECT_LT(r.bottom, 10 + r.extent.cy);
    EXPECT_GE(r.left, 10);
    EXPECT_LE(r.right, 10 + r.extent.cx);
    EXPECT_GE(r.right, 10 + r.extent.cx - 6);  // the question mark ends the text
}

// Without grey: Times New Roman 10 points (13 pixels; Liberation Serif's gasp table asks for no
// grey up to 17), and any face asked with NONANTIALIASED_QUALITY (3), as Windows 98 draws all
// text with font smoothing off.
TEST_F(TextPictureTest, SmallSerifAndNonAntialiasedTextAreMonochrome) {
    RedText serif = Draw("Times New Roman", -13, 0);
    EXPECT_GT(serif.red, 100);
    EXPECT_EQ(serif.blended, 0);
    EXPECT_GE(serif.left, 10);
    EXPECT_LE(serif.right, 10 + serif.extent.cx);
    RedText arial = Draw("Arial", -19, 3);
    EXPECT_GT(arial.red, 200);
    EXPECT_EQ(arial.blended, 0);
}

// A checked radio button as our Wine prefix draws it (read off its screenshots of the
// connection wizard's choice page): the 12-pixel circle one pixel right of and below the
// 13-pixel box centred in the button's height, a round dot of 2, 4, 4 and 2 pixels.
TEST_F(PictureTest, CheckedRadioButtonAsWineDrawsIt) {
    Hwnd radio = plat::CreateWindow(0, "BUTTON", "",
                                    plat::kWsChild | plat::kWsVisible | plat::kBsAutoRadioButton,
                                    20, 30, 150, 20, window_, 1);
    ASSERT_NE(radio, 0u);
    plat::SendMessage(radio, plat::kBmSetCheck, plat::kBstChecked, 0);
    sim::ui::PumpMessages();
    sim::Image image = Picture();
    const std::uint32_t black = 0, grey = 0x808080, face = 0xC0C0C0, white = 0xFFFFFF;
    const int left = 20 + 1, top = 30 + (20 - 13) / 2 + 1;  // the circle's 12 x 12 square
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(image.At(left + x, top), x >= 4 && x < 8 ? grey : face) << x;
    const char* const dot[4] = {"wXXw", "XXXX", "XXXX", "wXXw"};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(image.At(left + 4 + x, top + 4 + y), dot[y][x] == 'X' ? black : white)
                << x << "," << y;
        }
    }
}

TEST_F(PictureTest, PushButtonHasTheClassicRaisedEdge) {
    Hwnd button = plat::CreateWindow(0, "BUTTON", "OK",
                                     plat::kWsChild | plat::kWsVisible | plat::kBsPushButton, 20,
                                     30, 75, 23, window_, 1);
    ASSERT_NE(button, 0u);
    sim::ui::PumpMessages();
    sim::Image image = Picture();
    const std::uint32_t white = 0xFFFFFF, black = 0, grey = 0x808080, face = 0xC0C0C0;
    // Outer ring: white above and left, black below and right (corners included).
    EXPECT_EQ(image.At(20, 30), white);
    EXPECT_EQ(image.At(50, 30), white);
    EXPECT_EQ(image.At(20, 40), white);
    EXPECT_EQ(image.At(94, 30), black);
    EXPECT_EQ(image.At(94, 52), black);
    EXPECT_EQ(image.At(50, 52), black);
    // Inner ring: the 3D light colour (the face's grey in this scheme), then grey below.
    EXPECT_EQ(image.At(21, 31), face);
    EXPECT_EQ(image.At(93, 40), grey);
    EXPECT_EQ(image.At(50, 51), grey);
    // The face, and the window's white around the button.
    EXPECT_EQ(image.At(24, 34), face);
    EXPECT_EQ(image.At(19, 30), white);
    EXPECT_EQ(image.At(95, 53), white);
}

}  // namespace
