// The windows and drawing families: what the programs observe of windows, controls, dialogs
// from resources, messages and bitmaps, the same on the simulated machine and under Wine.
// Under Wine the suite needs an X display; without one it skips.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/files.h"
#include "platform/window.h"
#include "tests/contract/contract_env.h"

namespace {

using plat::Hwnd;
using plat::Rect;

std::vector<std::pair<int, int>> g_commands;  // id, notification code

plat::LResult FenetreProc(Hwnd window, plat::Uint message, plat::WParam wParam,
                          plat::LParam lParam) {
    if (message == plat::kWmCommand)
        g_commands.emplace_back(plat::LoWord(wParam), plat::HiWord(wParam));
    return plat::DefWindowProc(window, message, wParam, lParam);
}

std::intptr_t DialogProc(Hwnd, plat::Uint message, plat::WParam wParam, plat::LParam) {
    if (message == plat::kWmCommand) {
        g_commands.emplace_back(plat::LoWord(wParam), plat::HiWord(wParam));
        return 1;
    }
    return message == plat::kWmInitDialog ? 1 : 0;
}

bool RegisterFenetre() {
    static const bool registered = [] {
        plat::WndClass wc;
        wc.className = "CFenetre";
        wc.wndProc = FenetreProc;
        wc.icon = plat::LoadSystemIcon(plat::kIdiApplication);
        wc.cursor = plat::LoadSystemCursor(plat::kIdcArrow);
        wc.background = plat::GetStockObject(plat::kWhiteBrush);
        return plat::RegisterWindowClass(wc);
    }();
    return registered;
}

class WindowContract : public ::testing::Test {
  protected:
    void SetUp() override {
        g_commands.clear();
        ASSERT_TRUE(RegisterFenetre());
        window_ = plat::CreateWindow(0, "CFenetre", "Fen\xEAtre provisoire",
                                     plat::kWsOverlappedWindow, 0, 0, 1000, 400, 0, 0);
        // Every machine the suite runs on can make windows (Wine runs on its own Xvfb): a
        // window that cannot be made is a fault, not a reason to skip.
        ASSERT_NE(window_, 0u) << "no window could be made";
        plat::ShowWindow(window_, plat::kSwShow);
    }
    void TearDown() override {
        for (Hwnd w : extra_) plat::DestroyWindow(w);
        if (window_ != 0) plat::DestroyWindow(window_);
        // Leave nothing queued for the next test (quit messages included).
        plat::PostQuitMessage(0);
        plat::Msg msg;
        while (plat::GetMessage(&msg) > 0) plat::DispatchMessage(&msg);
    }
    Hwnd Keep(Hwnd window) {
        extra_.push_back(window);
        return window;
    }
    // Runs the loop the programs run until the quit message; returns its code.
    int RunLoop(Hwnd dialog) {
        plat::Msg msg;
        while (plat::GetMessage(&msg) > 0) {
            if (dialog != 0 && plat::IsDialogMessage(dialog, &msg)) continue;
            plat::TranslateMessage(&msg);
            plat::DispatchMessage(&msg);
        }
        return static_cast<int>(msg.wParam);
    }
    static Rect ClientOf(Hwnd w) {
        Rect r;
        EXPECT_TRUE(plat::GetClientRect(w, &r));
        return r;
    }
    int Count(int id, int code) const {
        int n = 0;
        for (const auto& c : g_commands) n += c.first == id && c.second == code;
        return n;
    }
    Hwnd window_ = 0;
    std::vector<Hwnd> extra_;
};

TEST_F(WindowContract, OverlappedWindowAndFindWindow) {
    EXPECT_EQ(ClientOf(window_), (Rect{0, 0, 992, 373}));
    Rect r;
    ASSERT_TRUE(plat::GetWindowRect(window_, &r));
    EXPECT_EQ(r, (Rect{0, 0, 1000, 400}));
    EXPECT_EQ(plat::FindWindow("CFenetre", "Fen\xEAtre provisoire"), window_);
    // Class and title match without regard to case.
    EXPECT_EQ(plat::FindWindow("cfenetre", "FEN\xCAtre PROVISOIRE"), window_);
    EXPECT_EQ(plat::FindWindow("CFenetre", "autre"), 0u);
    EXPECT_TRUE(plat::IsWindowVisible(window_));
    EXPECT_TRUE(plat::ShowWindow(window_, plat::kSwHide));
    EXPECT_FALSE(plat::IsWindowVisible(window_));
    EXPECT_EQ(plat::FindWindow("CFenetre", nullptr), window_);  // hidden ones too
}

TEST_F(WindowContract, ChildControlsAtPixelRectangles) {
    constexpr plat::Dword kRadio = plat::kWsChild | plat::kWsVisible | plat::kWsTabStop |
                                   plat::kBsMultiLine | plat::kBsAutoRadioButton;
    Hwnd a = plat::CreateWindow(0, "BUTTON", "Un", kRadio, 320, 90, 300, 60, window_, 23046);
    Hwnd b = plat::CreateWindow(0, "BUTTON", "Deux", kRadio, 320, 150, 300, 60, window_, 23047);
    Hwnd edit = plat::CreateWindow(
        plat::kWsExClientEdge, "EDIT", "abc",
        plat::kWsChild | plat::kWsVisible | plat::kWsTabStop | plat::kEsAutoHScroll, 10, 50, 100,
        30, window_, 23048);
    ASSERT_NE(a, 0u);
    ASSERT_NE(edit, 0u);
    EXPECT_EQ(plat::GetDlgItem(window_, 23047), b);
    EXPECT_EQ(plat::GetDlgCtrlID(edit), 23048);
    plat::WindowPlacement placement;
    ASSERT_TRUE(plat::GetWindowPlacement(a, &placement));
    EXPECT_EQ(placement.normalPosition, (Rect{320, 90, 620, 150}));
    Rect r;
    ASSERT_TRUE(plat::GetWindowRect(a, &r));
    EXPECT_EQ(r, (Rect{324, 113, 624, 173}));
    EXPECT_EQ(ClientOf(a), (Rect{0, 0, 300, 60}));
    EXPECT_EQ(ClientOf(edit), (Rect{0, 0, 96, 26}));

    plat::SendMessage(a, plat::kBmSetCheck, plat::kBstChecked, 0);
    plat::SendMessage(b, plat::kBmClick, 0, 0);
    EXPECT_EQ(plat::SendMessage(b, plat::kBmGetCheck, 0, 0), plat::kBstChecked);
    EXPECT_EQ(plat::SendMessage(a, plat::kBmGetCheck, 0, 0), plat::kBstUnchecked);
    EXPECT_EQ(Count(23047, plat::kBnClicked), 1);

    // Focus: a disabled window refuses it; hiding the focus window hands it to the parent.
    EXPECT_NE(plat::SetFocus(edit), edit);
    EXPECT_EQ(plat::GetFocus(), edit);
    EXPECT_FALSE(plat::EnableWindow(a, false));
    EXPECT_FALSE(plat::IsWindowEnabled(a));
    EXPECT_EQ(plat::SetFocus(a), 0u);
    EXPECT_EQ(plat::GetFocus(), edit);
    EXPECT_TRUE(plat::EnableWindow(a, true));
    plat::ShowWindow(edit, plat::kSwHide);
    EXPECT_EQ(plat::GetFocus(), window_);
}

TEST_F(WindowContract, EditNotifiesChangesAndTakesTheEndKey) {
    Hwnd edit = plat::CreateWindow(plat::kWsExClientEdge, "EDIT", "",
                                   plat::kWsChild | plat::kWsVisible | plat::kEsAutoHScroll, 10, 50,
                                   200, 24, window_, 23050);
    ASSERT_TRUE(plat::SetWindowText(edit, "hello"));
    EXPECT_EQ(Count(23050, plat::kEnChange), 1);
    plat::Dword start = 9;
    plat::Dword end = 9;
    plat::SendMessage(edit, plat::kEmGetSel, reinterpret_cast<plat::WParam>(&start),
                      reinterpret_cast<plat::LParam>(&end));
    EXPECT_EQ(start, 0u);
    plat::SendMessage(edit, plat::kWmKeyDown, plat::kVkEnd, 0);
    plat::SendMessage(edit, plat::kEmGetSel, reinterpret_cast<plat::WParam>(&start),
                      reinterpret_cast<plat::LParam>(&end));
    EXPECT_EQ(start, 5u);
    EXPECT_EQ(end, 5u);
    char text[4];
    EXPECT_EQ(plat::GetWindowText(edit, text, sizeof text), 3);
    EXPECT_STREQ(text, "hel");
    EXPECT_EQ(plat::GetWindowTextLength(edit), 5);
}

// A password field takes its password character and still gives its program the text typed.
TEST_F(WindowContract, APasswordCharacterMasksTheFieldButNotItsText) {
    Hwnd edit = plat::CreateWindow(plat::kWsExClientEdge, "EDIT", "",
                                   plat::kWsChild | plat::kWsVisible | plat::kEsAutoHScroll, 10, 50,
                                   200, 24, window_, 23051);
    EXPECT_EQ(plat::SendMessage(edit, plat::kEmGetPasswordChar, 0, 0), 0);
    plat::SendMessage(edit, plat::kEmSetPasswordChar, '*', 0);
    EXPECT_EQ(plat::SendMessage(edit, plat::kEmGetPasswordChar, 0, 0), '*');
    ASSERT_TRUE(plat::SetWindowText(edit, "Secret98"));
    char text[16];
    EXPECT_EQ(plat::GetWindowText(edit, text, sizeof text), 8);
    EXPECT_STREQ(text, "Secret98");
}

// A message box whose modal loop finds the quit message waiting ends at once, with IDOK
// whatever its buttons (nobody pressed any), and leaves the quit message for the program's loop.
TEST_F(WindowContract, AMessageBoxEndsAtOnceWhenTheQuitMessageWaits) {
    plat::PostQuitMessage(3);
    EXPECT_EQ(plat::MessageBox(window_, "texte", "titre", plat::kMbYesNo | plat::kMbIconQuestion),
              plat::kIdOk);
    EXPECT_EQ(plat::MessageBox(window_, "texte", "titre", plat::kMbOk | plat::kMbIconStop),
              plat::kIdOk);
    plat::Msg msg;
    EXPECT_EQ(plat::GetMessage(&msg), 0);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(WindowContract, DialogFromResourceInPixels) {
    Hwnd dialog = Keep(plat::CreateDialogFromResource(100, 0, DialogProc));
    ASSERT_NE(dialog, 0u);
    EXPECT_FALSE(plat::IsWindowVisible(dialog));
    EXPECT_EQ(ClientOf(dialog), (Rect{0, 0, 531, 289}));
    Rect r;
    ASSERT_TRUE(plat::GetWindowRect(dialog, &r));
    EXPECT_EQ(r.right - r.left, 537);
    EXPECT_EQ(r.bottom - r.top, 314);
    plat::WindowPlacement placement;
    ASSERT_TRUE(plat::GetWindowPlacement(plat::GetDlgItem(dialog, 1064), &placement));
    EXPECT_EQ(placement.normalPosition, (Rect{432, 255, 521, 278}));
    char text[64];
    plat::GetWindowText(plat::GetDlgItem(dialog, 1063), text, sizeof text);
    EXPECT_STREQ(text, "< Pr\xE9\x63\xE9\x64\x65nt");
    EXPECT_EQ(plat::GetDlgCtrlID(plat::GetFocus()), 1063);
    EXPECT_EQ(plat::LoadString(26, text, sizeof text), 47);
    EXPECT_STREQ(text, "Fermeture de l'assistant de connexion \xE0 Telvora");
    EXPECT_NE(plat::LoadIconFromResource(128), 0u);
}

TEST_F(WindowContract, QueueOrderAndQuitCode) {
    plat::PostMessage(window_, plat::kWmUser + 1, 0, 0);
    plat::PostQuitMessage(7);
    plat::PostMessage(window_, plat::kWmUser + 2, 0, 0);
    std::vector<plat::Uint> seen;
    plat::Msg msg;
    while (plat::GetMessage(&msg) > 0) {
        if (msg.message >= plat::kWmUser) seen.push_back(msg.message);
        plat::DispatchMessage(&msg);
    }
    EXPECT_EQ(msg.message, plat::kWmQuit);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(seen, (std::vector<plat::Uint>{plat::kWmUser + 1, plat::kWmUser + 2}));
}

TEST_F(WindowContract, EnterAndEscapeThroughIsDialogMessage) {
    Hwnd dialog = Keep(plat::CreateDialogFromResource(102, 0, DialogProc));
    ASSERT_NE(dialog, 0u);
    plat::ShowWindow(dialog, plat::kSwShow);
    EXPECT_EQ(plat::SendMessage(dialog, plat::kDmGetDefId, 0, 0),
              static_cast<plat::LResult>(plat::MakeWParam(1000, plat::kDcHasDefId)));
    Hwnd edit = plat::GetDlgItem(dialog, 1011);
    plat::SetFocus(edit);
    ASSERT_EQ(plat::GetFocus(), edit);
    g_commands.clear();
    plat::PostMessage(edit, plat::kWmKeyDown, plat::kVkReturn, 0);
    plat::PostMessage(edit, plat::kWmKeyDown, plat::kVkEscape, 0);
    plat::PostQuitMessage(0);
    RunLoop(dialog);
    std::vector<std::pair<int, int>> clicks;
    for (const auto& c : g_commands) {
        if (c.second == plat::kBnClicked) clicks.push_back(c);
    }
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{1000, 0}, {plat::kIdCancel, 0}}));
}

// The keyboard in a dialog, through the loop the programs run (IsDialogMessage): the arrows go
// round a radio group (WS_GROUP on its first button) and check the button they reach, an
// unchecked radio button loses its tab stop, Tab follows the tab stops in creation order,
// Space presses a button, Alt+letter reaches the button whose text underlines that letter.
TEST_F(WindowContract, KeyboardInADialog) {
    Hwnd dialog = Keep(plat::CreateDialogFromResource(100, 0, DialogProc));
    ASSERT_NE(dialog, 0u);
    constexpr plat::Dword kControl = plat::kWsChild | plat::kWsVisible | plat::kWsTabStop;
    constexpr plat::Dword kRadio = kControl | plat::kBsMultiLine | plat::kBsAutoRadioButton;
    Hwnd oui = plat::CreateWindow(0, "BUTTON", "&Oui", kRadio | plat::kWsGroup, 20, 20, 150, 20,
                                  dialog, 2001);
    Hwnd non = plat::CreateWindow(0, "BUTTON", "&Non", kRadio, 20, 40, 150, 20, dialog, 2002);
    Hwnd autre = plat::CreateWindow(0, "BUTTON", "&Autre", kControl | plat::kWsGroup, 20, 70, 80,
                                    24, dialog, 2003);
    Hwnd edit = plat::CreateWindow(plat::kWsExClientEdge, "EDIT", "texte",
                                   kControl | plat::kWsGroup | plat::kEsAutoHScroll, 20, 100, 150,
                                   24, dialog, 2004);
    ASSERT_NE(edit, 0u);
    plat::SendMessage(oui, plat::kBmSetCheck, plat::kBstChecked, 0);
    plat::ShowWindow(dialog, plat::kSwShow);
    const auto press = [&](int key) {
        Hwnd focus = plat::GetFocus();
        plat::PostMessage(focus, plat::kWmKeyDown, static_cast<plat::WParam>(key), 0);
        plat::PostMessage(focus, plat::kWmKeyUp, static_cast<plat::WParam>(key), 0);
        plat::PostQuitMessage(0);
        RunLoop(dialog);
    };
    const auto alt = [&](char letter) {
        plat::PostMessage(plat::GetFocus(), plat::kWmSysChar, static_cast<plat::WParam>(letter),
                          1 | (1 << 29));
        plat::PostQuitMessage(0);
        RunLoop(dialog);
    };
    const auto checked = [](Hwnd button) {
        return plat::SendMessage(button, plat::kBmGetCheck, 0, 0) == plat::kBstChecked;
    };
    plat::SetFocus(oui);
    g_commands.clear();

    press(plat::kVkDown);
    EXPECT_EQ(plat::GetFocus(), non);
    EXPECT_TRUE(checked(non));
    EXPECT_FALSE(checked(oui));
    EXPECT_EQ(Count(2002, plat::kBnClicked), 1);
    press(plat::kVkDown);  // round the end of the group, not into the buttons before it
    EXPECT_EQ(plat::GetFocus(), oui);
    EXPECT_TRUE(checked(oui));
    press(plat::kVkUp);
    EXPECT_EQ(plat::GetFocus(), non);
    EXPECT_TRUE(checked(non));
    EXPECT_FALSE(checked(oui));

    press(plat::kVkTab);
    EXPECT_EQ(plat::GetFocus(), autre);
    g_commands.clear();
    press(plat::kVkSpace);
    EXPECT_EQ(Count(2003, plat::kBnClicked), 1);
    press(plat::kVkTab);
    EXPECT_EQ(plat::GetFocus(), edit);
    press(plat::kVkTab);  // round the last tab stop to the first
    EXPECT_EQ(plat::GetDlgCtrlID(plat::GetFocus()), 1063);
    press(plat::kVkDown);  // the arrows move among push buttons of one group
    EXPECT_EQ(plat::GetDlgCtrlID(plat::GetFocus()), 1064);
    press(plat::kVkDown);
    press(plat::kVkTab);  // from Quitter: the radio unchecked by the arrows lost its tab stop
    EXPECT_EQ(plat::GetFocus(), non);

    g_commands.clear();
    alt('o');
    EXPECT_TRUE(checked(oui));
    EXPECT_FALSE(checked(non));
    EXPECT_EQ(plat::GetFocus(), oui);
    EXPECT_EQ(Count(2001, plat::kBnClicked), 1);
    alt('A');
    EXPECT_EQ(Count(2003, plat::kBnClicked), 1);
    alt('z');  // no control underlines z
    EXPECT_EQ(g_commands.size(), 2u);
}

TEST_F(WindowContract, BitmapFileHeaderAndColourTable) {
    // 2 x 2 pixels, 8 bits, 3 colours.
    std::string bmp = "BM";
    auto u16 = [&](unsigned v) {
        bmp.push_back(static_cast<char>(v & 0xFF));
        bmp.push_back(static_cast<char>(v >> 8));
    };
    auto u32 = [&](unsigned v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u32(14 + 40 + 12 + 8);
    u32(0);
    u32(14 + 40 + 12);
    u32(40);
    u32(2);
    u32(2);
    u16(1);
    u16(8);
    u32(0);
    u32(8);
    u32(0);
    u32(0);
    u32(3);
    u32(0);
    for (int i = 0; i < 3; ++i) {
        bmp.push_back(static_cast<char>(10 * i));
        bmp.push_back(static_cast<char>(20 * i));
        bmp.push_back(static_cast<char>(30 * i));
        bmp.push_back(0);
    }
    bmp.append(8, '\1');
    std::string path = contract::FreshFolder() + "\\page.bmp";
    ASSERT_TRUE(plat::WriteWholeFile(path.c_str(), bmp));
    plat::Hbitmap bitmap = plat::LoadBitmapFromFile(path.c_str());
    ASSERT_NE(bitmap, 0u);
    plat::BitmapInfo info;
    ASSERT_TRUE(plat::GetBitmapInfo(bitmap, &info));
    EXPECT_EQ(info.width, 2);
    EXPECT_EQ(info.height, 2);
    EXPECT_EQ(info.planes * info.bitsPerPixel, 8u);
    plat::Hdc screen = plat::GetDC(0);
    plat::Hdc memory = plat::CreateCompatibleDC(screen);
    plat::Hgdiobj old = plat::SelectObject(memory, bitmap);
    plat::RgbQuad table[256];
    // The bitmap made of the file has the full table of its depth; the entries the file
    // does not give are black.
    ASSERT_EQ(plat::GetDIBColorTable(memory, 0, 256, table), 256u);
    EXPECT_EQ(table[2].red, 60);
    EXPECT_EQ(table[2].green, 40);
    EXPECT_EQ(table[2].blue, 20);
    EXPECT_EQ(table[3].red + table[3].green + table[3].blue + table[255].red, 0);
    EXPECT_EQ(plat::GetDIBColorTable(memory, 250, 10, table), 6u);
    EXPECT_EQ(plat::GetDeviceCaps(screen, plat::kLogPixelsY), 96);
    plat::SelectObject(memory, old);
    EXPECT_TRUE(plat::DeleteDC(memory));
    EXPECT_EQ(plat::ReleaseDC(0, screen), 1);
    EXPECT_TRUE(plat::DeleteObject(bitmap));
    EXPECT_EQ(plat::LoadBitmapFromFile((contract::FreshFolder() + "\\absent.bmp").c_str()), 0u);
    for (int id = plat::kIdiApplication; id <= plat::kIdiAsterisk; ++id) {
        EXPECT_NE(plat::LoadSystemIcon(id), 0u) << id;
    }
}

}  // namespace
