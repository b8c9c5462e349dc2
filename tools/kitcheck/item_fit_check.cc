#include "tools/kitcheck/item_fit_check.h"

#include <cstring>

#include "cnxassist/page_items.h"
#include "platform/draw.h"
#include "tools/kitcheck/page_check.h"

namespace kitcheck {
namespace {

// What a control keeps of its box for the label: a radio button's circle and the gap after it
// (13 + 5 pixels in Wine's classic look), a push button's edges (3 pixels a side).
constexpr int kRadioMark = 18;
constexpr int kButtonEdge = 3;

struct Measured {
    int width = 0;
    int height = 0;
    int lines = 0;
};

// The text wrapped at word ends in `width` pixels, in the font selected in `dc`.
Measured Wrapped(plat::Hdc dc, const std::string& text, int width) {
    plat::Rect rect{0, 0, width, 0};
    plat::DrawText(dc, text.c_str(), -1, &rect, plat::kDtWordBreak | plat::kDtCalcRect);
    plat::TextMetrics metric;
    plat::GetTextMetrics(dc, &metric);
    Measured m;
    m.width = rect.right - rect.left;
    m.height = rect.bottom - rect.top;
    m.lines = metric.height > 0 ? m.height / metric.height : 0;
    return m;
}

}  // namespace

void CheckItemFits(const KitPath& file, const std::string& text, const CPage& page,
                   const plat::Rect& pageArea, Report* report) {
    CPageLayout* layout = page.Layout();
    if (layout == nullptr) return;
    plat::Hdc dc = plat::GetDC(0);
    if (dc == 0) return;
    const plat::Rect logical{0, 0, page.LogicalWidth(), page.LogicalHeight()};
    for (std::size_t i = 0; i < layout->Count(); ++i) {
        const CPageItem* item = layout->Item(i);
        const std::string kind = item->Keyword();
        if (item->Text().empty() || kind == "saisie" || kind == "icone") continue;
        PageBox box = item->Map(pageArea, logical);
        int width = box.width;
        if (kind == "radio") width -= kRadioMark;
        if (kind == "bouton") width -= 2 * kButtonEdge;
        if (width <= 0 || box.height <= 0) continue;
        // The page's own texts are drawn in the window's default font, the System font, and
        // so are the labels of the controls, which get no other; "ttexte" chooses its own.
        plat::Hfont own = 0;
        if (kind == "ttexte") {
            own = plat::CreateFontIndirect(static_cast<const CPageTTexte*>(item)->FontFor(dc));
        }
        plat::Hgdiobj old =
            plat::SelectObject(dc, own != 0 ? own : plat::GetStockObject(plat::kSystemFont));
        Measured m = Wrapped(dc, item->Text(), width);
        plat::SelectObject(dc, old);
        if (own != 0) plat::DeleteObject(own);
        if (m.width <= width && m.height <= box.height) continue;
        int line = 0;
        int column = 0;
        std::size_t at = text.find("\"" + item->Text() + "\"");
        if (at != std::string::npos) LineAndColumn(text, at, &line, &column);
        std::string what = m.width > width ? std::to_string(m.width) + " pixels wide"
                                           : std::to_string(m.height) + " pixels high (" +
                                                 std::to_string(m.lines) +
                                                 (m.lines == 1 ? " line)" : " lines)");
        report->Add(Severity::kWarning, file.shown, line, column,
                    "the text of " + kind + " item " + std::to_string(item->Number()) +
                        " does not fit its item: " + what + " in " + std::to_string(width) + " x " +
                        std::to_string(box.height) +
                        " pixels on the page area; the wizard cuts the rest");
    }
    plat::ReleaseDC(0, dc);
}

}  // namespace kitcheck
