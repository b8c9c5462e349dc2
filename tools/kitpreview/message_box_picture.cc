#include "tools/kitpreview/message_box_picture.h"

#include <algorithm>
#include <cstring>

#include "platform/draw.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"

namespace kitpreview {
namespace {

constexpr const char* kBoxClass = "KitpreviewErrorBox";
// Windows 98's box: 11-pixel margins, a 32-pixel icon, 75 x 23 buttons, and the text no wider
// than a box that keeps to the screen.
constexpr int kMargin = 11;
constexpr int kIcon = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kMaxTextWidth = 400;
// A dialog frame of 3 pixels and a 19-pixel caption around the client area.
constexpr int kFrame = 3;
constexpr int kCaption = 19;
// SS_NOPREFIX: an "&" of the text is shown as it is.
constexpr plat::Dword kSsNoPrefix = 0x0080;

plat::LResult BoxProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                      plat::LParam lParam) {
    return plat::DefWindowProc(window, message, wParam, lParam);
}

plat::LogFont MessageFont() {
    plat::LogFont font;
    font.height = -11;  // 8 points at 96 dpi
    font.weight = 400;
    std::strcpy(font.faceName, "MS Sans Serif");
    return font;
}

}  // namespace

bool SaveErrorBoxPicture(const std::string& caption, const std::string& text,
                         const std::string& file, std::string* error) {
    plat::WndClass boxClass;
    boxClass.wndProc = BoxProc;
    boxClass.background = static_cast<plat::Hbrush>(plat::kColorBtnFace + 1);
    boxClass.className = kBoxClass;
    plat::RegisterWindowClass(boxClass);  // false when an earlier box registered it

    plat::Hfont font = plat::CreateFontIndirect(MessageFont());
    plat::Hdc screen = plat::GetDC(0);
    plat::Hgdiobj old = plat::SelectObject(screen, font);
    plat::Rect textRect{0, 0, kMaxTextWidth, 0};
    plat::DrawText(screen, text.c_str(), -1, &textRect,
                   plat::kDtWordBreak | plat::kDtCalcRect | plat::kDtNoPrefix);
    plat::SelectObject(screen, old);
    plat::ReleaseDC(0, screen);

    const int textLeft = kMargin + kIcon + kMargin;
    const int textWidth = textRect.right - textRect.left;
    const int textHeight = textRect.bottom - textRect.top;
    // A text lower than the icon stands in the icon's middle.
    const int textTop = kMargin + std::max(0, (kIcon - textHeight) / 2);
    const int clientWidth = std::max(textLeft + textWidth + kMargin, kButtonWidth + 2 * kMargin);
    const int buttonTop = std::max(textTop + textHeight, kMargin + kIcon) + kMargin;
    const int clientHeight = buttonTop + kButtonHeight + kMargin;

    plat::Hwnd box = plat::CreateWindow(
        plat::kWsExDlgModalFrame, kBoxClass, caption.c_str(),
        plat::kWsPopup | plat::kWsCaption | plat::kWsSysMenu | plat::kWsVisible, 0, 0,
        clientWidth + 2 * kFrame, clientHeight + 2 * kFrame + kCaption, 0, 0);
    if (box == 0) {
        *error = "cannot make the window of a message box";
        plat::DeleteObject(font);
        return false;
    }
    plat::Hwnd label = plat::CreateWindow(0, "STATIC", text.c_str(),
                                          plat::kWsChild | plat::kWsVisible | kSsNoPrefix, textLeft,
                                          textTop, textWidth, textHeight, box, -1);
    plat::Hwnd ok = plat::CreateWindow(
        0, "BUTTON", "OK", plat::kWsChild | plat::kWsVisible | plat::kBsDefPushButton,
        (clientWidth - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight, box, 1);
    for (plat::Hwnd control : {label, ok})
        plat::SendMessage(control, plat::kWmSetFont, static_cast<plat::WParam>(font), 0);
    bool saved = sim::ui::SaveWindowPicture(box, file, true, error);
    plat::DestroyWindow(box);
    plat::DeleteObject(font);
    return saved;
}

}  // namespace kitpreview
