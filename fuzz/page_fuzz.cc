// Arbitrary bytes as a page description of the connection wizard. A refused description leaves
// nothing behind; an accepted one fits its canvas, parses the same way again, and can be made,
// drawn and erased on a window without leaving a drawing object behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "cnxassist/etape.h"
#include "cnxassist/page.h"
#include "platform/draw.h"
#include "platform/sim/ui_driver.h"
#include "platform/window.h"

// The page is compiled here without the steps, which own the control id counter.
int g_nextControlId = kFirstControlId;

namespace {

plat::LResult PlainProc(plat::Hwnd window, plat::Uint message, plat::WParam wParam,
                        plat::LParam lParam) {
    return plat::DefWindowProc(window, message, wParam, lParam);
}

void Check(bool condition) {
    if (!condition) std::abort();
}

void Render(CPage& page) {
    sim::ui::Reset();
    plat::WndClass windowClass;
    windowClass.wndProc = PlainProc;
    windowClass.className = "PageFuzz";
    Check(plat::RegisterWindowClass(windowClass));
    plat::Hwnd window = plat::CreateWindow(0, "PageFuzz", "", plat::kWsOverlappedWindow, 0, 0, 700,
                                           400, plat::kNoWindow, 0);
    plat::Hdc dc = plat::GetDC(window);
    int objects = sim::ui::LiveGdiObjects();
    // An ordinary page area, and one turned inside out.
    const plat::Rect areas[] = {{20, 10, 620, 210}, {300, 200, -40, -7}};
    for (const plat::Rect& area : areas) {
        page.Create(window, &area);
        page.Draw(dc, &area);
        page.Erase(dc, &area, plat::Rgb(192, 192, 192));
    }
    Check(sim::ui::LiveGdiObjects() == objects);
    plat::ReleaseDC(window, dc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxPageDescription) return 0;
    // The description is a C string: it ends at its first zero, in a buffer of exactly that
    // size, so that a read past the terminator is caught.
    std::size_t length = strnlen(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<char[]> text(new char[length + 1]);
    std::memcpy(text.get(), data, length);
    text[length] = '\0';

    CPage page;
    if (!page.Parse(text.get())) {
        Check(!page.IsValid() && page.Layout() == nullptr);
        return 0;
    }
    CPageLayout* layout = page.Layout();
    Check(layout != nullptr && layout->Count() > 0);
    Check(layout->Width() <= page.LogicalWidth() && layout->Height() <= page.LogicalHeight());

    CPage again;
    Check(again.Parse(text.get()) && again.Layout()->Count() == layout->Count());
    for (std::size_t i = 0; i < layout->Count(); ++i) {
        const CPageItem& a = *layout->Item(i);
        const CPageItem& b = *again.Layout()->Item(i);
        Check(std::strcmp(a.Keyword(), b.Keyword()) == 0 && a.X() == b.X() && a.Y() == b.Y() &&
              a.Width() == b.Width() && a.Height() == b.Height() && a.Text() == b.Text());
        Check(a.X() >= 0 && a.Y() >= 0 && a.Text().size() <= kMaxPageText);
    }
    Render(page);
    return 0;
}
