#include "tools/kitcheck/line_fit_check.h"

#include "kitassist/line_markup.h"
#include "platform/draw.h"

namespace kitcheck {
namespace {

// The kit wizard's dialog is 337 dialog units wide (kitassist.rc), in MS Sans Serif 8.
constexpr int kDialogWidthUnits = 337;

int TextWidth(plat::Hdc dc, const plat::LogFont& font, const std::string& text) {
    plat::Hfont handle = plat::CreateFontIndirect(font);
    plat::Hgdiobj old = plat::SelectObject(dc, handle);
    plat::Size size;
    bool measured =
        plat::GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &size);
    plat::SelectObject(dc, old);
    plat::DeleteObject(handle);
    return measured ? size.cx : 0;
}

// The dialog's client width in pixels: dialog units through the font's average letter width,
// as Windows computes a dialog's base units.
int DialogClientWidth(plat::Hdc dc, int dpi) {
    plat::LogFont font;
    font.height = -plat::MulDiv(8, dpi, 72);
    font.weight = plat::kFwNormal;
    plat::SetFaceName(&font, "MS Sans Serif");
    int letters = TextWidth(dc, font, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return plat::MulDiv(kDialogWidthUnits, (letters / 26 + 1) / 2, 4);
}

}  // namespace

void CheckLineFits(const std::string& shownFile, int line, const std::string& key,
                   const std::string& text, int xt, Report* report) {
    kitassist::LineStyle style = kitassist::ReadLineStyle(text);
    std::string shown = kitassist::StripLineCodes(text);
    if (shown.empty()) return;
    plat::Hdc dc = plat::GetDC(0);
    if (dc == 0) return;
    int dpi = plat::GetDeviceCaps(dc, plat::kLogPixelsY);
    // The font the wizard draws the line with.
    plat::LogFont font;
    font.height = -plat::MulDiv(style.size, dpi, 72);
    font.weight = style.bold ? plat::kFwBold : plat::kFwNormal;
    font.italic = style.italic ? 1 : 0;
    font.charSet = plat::kDefaultCharset;
    font.pitchAndFamily = plat::kVariablePitch | plat::kFfRoman;
    plat::SetFaceName(&font, style.face.c_str());
    int width = TextWidth(dc, font, shown);
    int band = DialogClientWidth(dc, dpi) - xt;
    plat::ReleaseDC(0, dc);
    if (band > 0 && width > band) {
        report->Warning(shownFile, line,
                        "line " + key + " does not fit its page line: " + std::to_string(width) +
                            " pixels of text in " + std::to_string(band) +
                            " from xt to the window's edge; the wizard cuts the rest");
    }
}

}  // namespace kitcheck
