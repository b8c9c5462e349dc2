// Page items on the wizard window: the child windows they make (class, id, style, place, check
// state, focus, text), what the drawn items draw, and how a page is erased.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "cnxassist/etape.h"
#include "cnxassist/page.h"
#include "platform/draw.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"

namespace {

using sim::ui::DrawKind;
using sim::ui::DrawOp;

constexpr plat::Dword kControl = plat::kWsChild | plat::kWsVisible | plat::kWsTabStop;
constexpr plat::Dword kRadioStyle = kControl | plat::kBsMultiLine | plat::kBsAutoRadioButton;
constexpr plat::Dword kEditStyle = kControl | plat::kEsAutoHScroll;
constexpr plat::Dword kButtonStyle = kControl | plat::kBsMultiLine | plat::kBsDefPushButton;

// The worked example: a title over two radio buttons side by side.
const char kExample[] =
    "fenetre(0,300,100)((ttexte,0,300,40,\"Bienvenue\",\"Arial\",14,700,0,1) sur "
    "((radio,1,150,30,\"Oui\") a_gauche_de (radio,2,150,30,\"Non\")))";

plat::LResult PlainProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                        plat::LParam lParam) {
    return plat::DefWindowProc(window, message, wParam, lParam);
}

class PageRender : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::ui::Reset();
        g_nextControlId = kFirstControlId;
        plat::WndClass windowClass;
        windowClass.wndProc = PlainProc;
        windowClass.className = "PageTest";
        ASSERT_TRUE(plat::RegisterWindowClass(windowClass));
        window_ =
            plat::CreateWindow(0, "PageTest", "Page", plat::kWsOverlappedWindow | plat::kWsVisible,
                               0, 0, 700, 400, plat::kNoWindow, 0);
        ASSERT_NE(window_, plat::kNoWindow);
        dc_ = plat::GetDC(window_);
        gdiBefore_ = sim::ui::LiveGdiObjects();
    }
    void TearDown() override {
        // Every font, brush and pen made for a drawing has been released.
        EXPECT_EQ(sim::ui::LiveGdiObjects(), gdiBefore_);
        plat::ReleaseDC(window_, dc_);
    }

    CPage& Make(const std::string& text, const plat::Rect& pageRect) {
        page_ = std::make_unique<CPage>();
        EXPECT_TRUE(page_->Parse(text.c_str())) << text;
        pageRect_ = pageRect;
        page_->Create(window_, &pageRect_);
        return *page_;
    }
    sim::ui::WindowInfo Child(std::size_t index) const {
        return sim::ui::Info(sim::ui::Children(window_).at(index));
    }
    // The draw log of the page's window, without what came before.
    std::vector<DrawOp> DrawPage() {
        sim::ui::ClearDrawLog(window_);
        page_->Draw(dc_, &pageRect_);
        return sim::ui::DrawLog(window_);
    }

    plat::Hwnd window_ = 0;
    plat::Hdc dc_ = 0;
    int gdiBefore_ = 0;
    std::unique_ptr<CPage> page_;
    plat::Rect pageRect_;
};

TEST(PageMapping, RatioFirstThenTruncatedTowardZero) {
    EXPECT_EQ(ScaleToPage(300, 200, 3), 4);  // 1.5 x 3 = 4.5
    EXPECT_EQ(ScaleToPage(600, 300, 150), 300);
    // Inexact ratios, multiplied in extended precision: 300 / 72 x 30 comes out just below 125
    // (plain double precision would round it up to 125), 300 / 55 x 11 exactly 60 (double
    // precision: just below).
    EXPECT_EQ(ScaleToPage(300, 72, 30), 124);
    EXPECT_EQ(ScaleToPage(300, 55, 11), 60);
    EXPECT_EQ(ScaleToPage(-300, 200, 3), -4);
    // A canvas of no width: held at the 32-bit ends, an undefined product gives 0.
    EXPECT_EQ(ScaleToPage(600, 0, 0), 0);
    EXPECT_EQ(ScaleToPage(600, 0, 5), std::numeric_limits<int>::max());
    EXPECT_EQ(ScaleToPage(0, 0, 5), 0);
    EXPECT_EQ(ScaleToPage(2000000000, 1, 2000000000), std::numeric_limits<int>::max());
}

TEST_F(PageRender, WorkedExampleMakesTwoRadioButtonsInTabOrder) {
    Make(kExample, plat::Rect{20, 10, 620, 210});
    ASSERT_EQ(sim::ui::Children(window_).size(), 2u);
    auto first = Child(0);
    auto second = Child(1);
    EXPECT_EQ(first.className, "Button");
    EXPECT_EQ(first.text, "Oui");
    EXPECT_EQ(first.id, 23046);
    // The two radios are one group of the dialog manager, begun by the first: the arrows go
    // round them, and a click unchecks the other one only.
    EXPECT_EQ(first.style, kRadioStyle | plat::kWsGroup);
    EXPECT_EQ(first.rect, (plat::Rect{20, 90, 320, 150}));
    EXPECT_EQ(second.text, "Non");
    EXPECT_EQ(second.id, 23047);
    EXPECT_EQ(second.style, kRadioStyle);
    EXPECT_EQ(second.rect, (plat::Rect{320, 90, 620, 150}));
    // Radio 1 is checked and focused; no other radio is checked by the page.
    EXPECT_EQ(first.check, plat::kBstChecked);
    EXPECT_TRUE(first.focused);
    EXPECT_EQ(second.check, plat::kBstUnchecked);
}

TEST_F(PageRender, IdsFollowTheCounterWhenThePageIsMade) {
    g_nextControlId = 23100;
    Make(
        "fenetre(0,100,100)(((saisie,0,10,10,\"s\") sur (bouton,3,10,10,\"b\",0)) sur "
        "(radio,2147483647,10,10,\"r\"))",
        plat::Rect{0, 0, 100, 100});
    EXPECT_EQ(Child(0).id, 23099);  // number 0: one below the counter
    EXPECT_EQ(Child(1).id, 23102);
    EXPECT_EQ(Child(2).id, static_cast<int>(23100u + 2147483646u));
    EXPECT_EQ(g_nextControlId, 23100);  // the page does not move the counter
}

TEST_F(PageRender, ButtonLabelAlignment) {
    Make(
        "fenetre(0,500,10)((((bouton,1,100,10,\"a\",2) a_gauche_de (bouton,2,100,10,\"b\",3)) "
        "a_gauche_de ((bouton,3,100,10,\"c\",1) a_gauche_de (bouton,4,100,10,\"d\",0))) "
        "a_gauche_de (bouton,5,100,10,\"e\",4))",
        plat::Rect{0, 0, 500, 10});
    // A run of push buttons is one group too.
    EXPECT_EQ(Child(0).style, kButtonStyle | plat::kBsRight | plat::kWsGroup);
    EXPECT_EQ(Child(1).style, kButtonStyle | plat::kBsCenter);
    EXPECT_EQ(Child(2).style, kButtonStyle | plat::kBsLeft);
    EXPECT_EQ(Child(3).style, kButtonStyle | plat::kBsLeft);
    EXPECT_EQ(Child(4).style, kButtonStyle | plat::kBsLeft);
    EXPECT_EQ(Child(0).className, "Button");
    EXPECT_EQ(Child(0).text, "a");
    EXPECT_EQ(Child(0).check, plat::kBstUnchecked);
    // A push button numbered 1 takes the focus only when the page is drawn.
    EXPECT_FALSE(Child(0).focused);
    DrawPage();
    EXPECT_TRUE(Child(0).focused);
}

TEST_F(PageRender, EntryFieldsAndTheFirstOnesCaret) {
    // 300 pixels for 200 units: x 3 lands 4 pixels in, a width of 3 is 4 pixels.
    Make("fenetre(0,200,100)((saisie,2,3,10,\"deux\") a_gauche_de (saisie,1,100,20,\"un\"))",
         plat::Rect{10, 5, 310, 105});
    auto second = Child(0);
    auto first = Child(1);
    EXPECT_EQ(second.className, "Edit");
    EXPECT_EQ(second.exStyle, plat::kWsExClientEdge);
    // Each field begins a group of its own.
    EXPECT_EQ(second.style, kEditStyle | plat::kWsGroup);
    EXPECT_EQ(first.style, kEditStyle | plat::kWsGroup);
    EXPECT_EQ(second.rect, (plat::Rect{10, 5, 14, 15}));
    EXPECT_EQ(second.text, "deux");
    EXPECT_EQ(first.rect, (plat::Rect{14, 5, 164, 25}));
    EXPECT_EQ(first.id, 23046);
    EXPECT_EQ(second.id, 23047);
    // Created without the focus; drawing gives field 1 the focus with the caret after its text.
    EXPECT_FALSE(first.focused);
    DrawPage();
    first = Child(1);
    EXPECT_TRUE(first.focused);
    EXPECT_EQ(first.caret, 2u);
    EXPECT_EQ(Child(0).caret, 0u);
}

TEST_F(PageRender, EraseHidesTheControlsAndDrawShowsThemAgain) {
    Make(kExample, plat::Rect{20, 10, 620, 210});
    plat::Hwnd radio1 = sim::ui::Children(window_)[0];
    plat::Hwnd radio2 = sim::ui::Children(window_)[1];
    ASSERT_TRUE(sim::ui::Click(radio2));
    page_->Erase(dc_, &pageRect_, plat::Rgb(1, 2, 3));
    EXPECT_FALSE(sim::ui::Info(radio1).visible);
    EXPECT_FALSE(sim::ui::Info(radio2).visible);
    plat::SetFocus(window_);
    DrawPage();
    EXPECT_TRUE(sim::ui::Info(radio1).visible);
    EXPECT_TRUE(sim::ui::Info(radio2).visible);
    // The user's choice stays; radio 1 takes the focus again.
    EXPECT_EQ(sim::ui::Info(radio2).check, plat::kBstChecked);
    EXPECT_EQ(sim::ui::Info(radio1).check, plat::kBstUnchecked);
    EXPECT_TRUE(sim::ui::Info(radio1).focused);
}

TEST_F(PageRender, PlainTextIsDrawnBlackAndTransparentInTheCurrentFont) {
    Make("fenetre(0,200,100)(ctexte,0,100,50,\"Un texte assez long\")",
         plat::Rect{10, 20, 410, 220});
    plat::SetTextColor(dc_, plat::Rgb(255, 0, 0));
    plat::SetBkMode(dc_, plat::kOpaque);
    plat::Hgdiobj previous = plat::SelectObject(dc_, plat::GetStockObject(plat::kAnsiVarFont));
    auto ops = DrawPage();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].kind, DrawKind::Text);
    EXPECT_EQ(ops[0].text, "Un texte assez long");
    EXPECT_EQ(ops[0].rect, (plat::Rect{10, 20, 210, 120}));
    EXPECT_EQ(ops[0].format, plat::kDtWordBreak);
    EXPECT_EQ(ops[0].textColor, plat::Rgb(0, 0, 0));
    EXPECT_EQ(ops[0].bkMode, plat::kTransparent);
    EXPECT_STREQ(ops[0].font.faceName, "MS Sans Serif");
    plat::SelectObject(dc_, previous);
    EXPECT_TRUE(sim::ui::Children(window_).empty());
}

TEST_F(PageRender, TitleTextHasAFontOfItsOwnForEachDrawing) {
    Make(kExample, plat::Rect{20, 10, 620, 210});
    for (int drawing = 0; drawing < 2; ++drawing) {
        DrawPage();
        auto texts = sim::ui::TextsDrawn(window_);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "Bienvenue");
        EXPECT_EQ(texts[0].rect, (plat::Rect{20, 10, 620, 90}));
        EXPECT_EQ(texts[0].format, plat::kDtWordBreak);
        EXPECT_EQ(texts[0].textColor, plat::Rgb(0, 0, 0));
        EXPECT_EQ(texts[0].bkMode, plat::kTransparent);
        plat::LogFont expected;
        expected.height = -19;  // 14 points at 96 pixels per inch: 18.67, rounded
        expected.weight = 700;
        expected.underline = 1;
        expected.outPrecision = 3;
        expected.clipPrecision = 2;
        expected.quality = 1;
        expected.pitchAndFamily = 0x31;
        plat::SetFaceName(&expected, "Arial");
        EXPECT_EQ(texts[0].font, expected);
    }
    // The context has its own font back: a text drawn next uses it.
    plat::Rect rect{0, 0, 10, 10};
    plat::DrawText(dc_, "après", -1, &rect, 0);
    EXPECT_STREQ(sim::ui::TextsDrawn(window_).back().font.faceName, "System");
}

TEST_F(PageRender, IconIsDrawnAtItsCornerAndErasedOverItsLogicalBox) {
    Make("fenetre(0,100,100)((ctexte,0,100,10,\"x\") sur (icone,0,50,50,\"exclamation\"))",
         plat::Rect{0, 0, 200, 300});
    auto ops = DrawPage();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[1].kind, DrawKind::Icon);
    EXPECT_EQ(ops[1].iconId, plat::kIdiExclamation);
    EXPECT_TRUE(ops[1].systemIcon);
    EXPECT_EQ(ops[1].rect.left, 0);
    EXPECT_EQ(ops[1].rect.top, 30);

    sim::ui::ClearDrawLog(window_);
    page_->Erase(dc_, &pageRect_, plat::Rgb(192, 192, 192));
    const auto& erased = sim::ui::DrawLog(window_);
    ASSERT_EQ(erased.size(), 2u);
    const plat::Rect boxes[] = {{0, 0, 200, 30}, {0, 30, 100, 180}};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(erased[i].kind, DrawKind::Rectangle);
        EXPECT_EQ(erased[i].rect, boxes[i]);
        EXPECT_EQ(erased[i].brushColor, plat::Rgb(192, 192, 192));
        EXPECT_FALSE(erased[i].hollowBrush);
        EXPECT_EQ(erased[i].penColor, plat::Rgb(192, 192, 192));
        EXPECT_EQ(erased[i].penStyle, plat::kPsSolid);
        EXPECT_EQ(erased[i].penWidth, 1);
    }
    // The context's own pen and brush are back.
    plat::Rectangle(dc_, 0, 0, 1, 1);
    EXPECT_EQ(sim::ui::DrawLog(window_).back().penColor, plat::Rgb(0, 0, 0));
    EXPECT_EQ(sim::ui::DrawLog(window_).back().brushColor, plat::Rgb(255, 255, 255));
}

TEST_F(PageRender, ACanvasOfNoSizeDrawsWithoutHarm) {
    Make("fenetre(0,0,0)((saisie,1,0,0,\"a\") sur (ctexte,0,0,0,\"b\"))",
         plat::Rect{5, 6, 105, 106});
    EXPECT_EQ(Child(0).rect, (plat::Rect{5, 6, 5, 6}));
    auto ops = DrawPage();
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].rect, (plat::Rect{5, 6, 5, 6}));
    page_->Erase(dc_, &pageRect_, 0);
}

}  // namespace
