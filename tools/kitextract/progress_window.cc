#include "tools/kitextract/progress_window.h"

#include "platform/draw.h"
#include "platform/system.h"

namespace kitextract {
namespace {

constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 130;
constexpr int kBarLeft = 16;
constexpr int kBarTop = 52;
constexpr int kBarWidth = 360;
constexpr int kBarHeight = 20;

// One window per process, so the bar's filling needs no per-window storage.
int g_thousandths = 0;

plat::LResult ProgressWindowProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                                 plat::LParam lParam) {
    if (message == plat::kWmDestroy) {
        plat::PostQuitMessage(0);
        return 0;
    }
    return plat::DefWindowProc(window, message, wParam, lParam);
}

// The bar: a dark frame, the window colour inside, and what is done in the highlight colour.
plat::LResult BarProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                      plat::LParam lParam) {
    if (message != plat::kWmPaint) return plat::DefWindowProc(window, message, wParam, lParam);
    plat::PaintStruct paint;
    plat::Hdc dc = plat::BeginPaint(window, &paint);
    plat::Rect client;
    plat::GetClientRect(window, &client);
    plat::FillRect(dc, client, plat::kColorBtnShadow + 1);
    plat::Rect inside = client;
    inside.left += 1;
    inside.top += 1;
    inside.right -= 1;
    inside.bottom -= 1;
    plat::FillRect(dc, inside, plat::kColorWindow + 1);
    plat::Rect done = inside;
    done.right = inside.left + (inside.right - inside.left) * g_thousandths / 1000;
    if (done.right > done.left) plat::FillRect(dc, done, plat::kColorHighlight + 1);
    plat::EndPaint(window, &paint);
    return 0;
}

}  // namespace

plat::Hwnd OpenProgressWindow() {
    g_thousandths = 0;
    plat::WndClass windowClass;
    windowClass.wndProc = ProgressWindowProc;
    windowClass.icon = plat::LoadSystemIcon(plat::kIdiApplication);
    windowClass.cursor = plat::LoadSystemCursor(plat::kIdcArrow);
    windowClass.background = plat::kColorBtnFace + 1;
    windowClass.className = kWindowClass;
    // Registering twice fails; the class of the first time serves.
    plat::RegisterWindowClass(windowClass);
    plat::WndClass barClass;
    barClass.wndProc = BarProc;
    barClass.cursor = plat::LoadSystemCursor(plat::kIdcArrow);
    barClass.background = plat::kColorWindow + 1;
    barClass.className = kBarClass;
    plat::RegisterWindowClass(barClass);

    int x = (plat::ScreenWidth() - kWindowWidth) / 2;
    int y = (plat::ScreenHeight() - kWindowHeight) / 2;
    plat::Hwnd window = plat::CreateWindow(
        0, kWindowClass, kWindowTitle, plat::kWsOverlapped | plat::kWsCaption, x > 0 ? x : 0,
        y > 0 ? y : 0, kWindowWidth, kWindowHeight, plat::kNoWindow, 0);
    if (window == plat::kNoWindow) return window;
    plat::Hwnd status = plat::CreateWindow(0, "Static", "Préparation de la copie ...",
                                           plat::kWsChild | plat::kWsVisible | plat::kSsLeft,
                                           kBarLeft, 16, kBarWidth, 20, window, kStatusTextId);
    // A bare static draws with the large bold system font; the dialog font reads better.
    if (status != plat::kNoWindow) {
        plat::WParam font = static_cast<plat::WParam>(plat::GetStockObject(plat::kDefaultGuiFont));
        plat::SendMessage(status, plat::kWmSetFont, font, 0);
    }
    plat::CreateWindow(0, kBarClass, "", plat::kWsChild | plat::kWsVisible, kBarLeft, kBarTop,
                       kBarWidth, kBarHeight, window, kBarId);
    plat::ShowWindow(window, plat::kSwShowNormal);
    plat::UpdateWindow(window);
    return window;
}

void ShowStatus(plat::Hwnd window, const std::string& text) {
    if (window == plat::kNoWindow || !plat::IsWindow(window)) return;
    plat::SetDlgItemText(window, kStatusTextId, text.c_str());
    plat::UpdateWindow(plat::GetDlgItem(window, kStatusTextId));
}

void ShowProgress(plat::Hwnd window, std::uint64_t done, std::uint64_t total) {
    const std::uint64_t part = done < total ? done : total;
    // Divided first when large, so that the product cannot overflow.
    int thousandths = total == 0             ? 1000
                      : total > (1ull << 40) ? static_cast<int>(part / (total / 1000 + 1))
                                             : static_cast<int>(part * 1000 / total);
    if (thousandths > 1000) thousandths = 1000;
    g_thousandths = thousandths;
    if (window == plat::kNoWindow || !plat::IsWindow(window)) return;
    plat::Hwnd bar = plat::GetDlgItem(window, kBarId);
    if (bar == plat::kNoWindow) return;
    plat::InvalidateRect(bar, nullptr, false);
    plat::UpdateWindow(bar);
}

int ProgressThousandths() { return g_thousandths; }

}  // namespace kitextract
