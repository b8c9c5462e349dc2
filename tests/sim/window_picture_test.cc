// Pictures of the simulated screen: text in monochrome as Windows 98 draws it without font
// smoothing, the classic 3D look of a push button in the Windows 98 scheme, and the PNG file
// that holds them.
#include <gtest/gtest.h>

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

TEST_F(PictureTest, TextIsMonochromeAndStaysInItsBox) {
    plat::Hdc dc = plat::GetDC(window_);
    plat::LogFont font;
    font.height = -19;  // Arial 14 points at 96 dpi, as the pages' titles
    font.weight = plat::kFwNormal;
    plat::SetFaceName(&font, "Arial");
    plat::Hfont handle = plat::CreateFontIndirect(font);
    plat::Hgdiobj old = plat::SelectObject(dc, handle);
    plat::SetBkMode(dc, plat::kTransparent);
    plat::SetTextColor(dc, plat::Rgb(255, 0, 0));
    plat::Rect rect{10, 10, 310, 60};
    const char* text = "Êtes-vous déjà abonné ?";
    plat::DrawText(dc, text, -1, &rect, plat::kDtLeft | plat::kDtSingleLine | plat::kDtNoPrefix);
    plat::Size extent;
    ASSERT_TRUE(plat::GetTextExtentPoint32(dc, text, 23, &extent));
    plat::SelectObject(dc, old);
    plat::DeleteObject(handle);
    plat::ReleaseDC(window_, dc);

    sim::Image image = Picture();
    ASSERT_EQ(image.width, 320);
    ASSERT_EQ(image.height, 120);
    int red = 0;
    int left = image.width;
    int right = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t p = image.At(x, y);
            // Without font smoothing a pixel is the text's colour or the background's: never
            // a blend of the two.
            ASSERT_TRUE(p == 0xFFFFFF || p == 0xFF0000) << x << "," << y << " " << std::hex << p;
            if (p != 0xFF0000) continue;
            ++red;
            left = std::min(left, x);
            right = std::max(right, x);
            // Inside the cell the text takes: its extent from the pen, its line height.
            EXPECT_GE(y, 10);
            EXPECT_LT(y, 10 + extent.cy);
        }
    }
    EXPECT_GT(red, 200);
    EXPECT_GE(left, 10);
    EXPECT_LE(right, 10 + extent.cx);
    EXPECT_GE(right, 10 + extent.cx - 6);  // the question mark ends the text
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
