#include "kitassist/page_painter.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/profile_access.h"
#include "kitassist/line_markup.h"

namespace {

// Where a fixed text and a page without "xt" and "yt" begin, before scaling.
constexpr int kDefaultTextX = 30;
constexpr int kDefaultTextY = 120;
constexpr int kLineCount = 25;
constexpr std::size_t kLineCapacity = 256;
// The background band is painted by a run of blanks as long as any line.
constexpr int kBandBlanks = 255;

int LogicalDpiY() {
    plat::Hdc screen = plat::GetDC(0);
    int dpi = plat::GetDeviceCaps(screen, plat::kLogPixelsY);
    plat::ReleaseDC(0, screen);
    return dpi;
}

plat::Uint AlignmentFormat(char alignment) {
    switch (alignment) {
        case 'm':
            return plat::kDtCenter;
        case 'd':
            return plat::kDtRight;
        default:
            return plat::kDtLeft;
    }
}

}  // namespace

CPagePainter::CPagePainter() {
    static const struct {
        const char* name;
        plat::ColorRef color;
    } kColors[] = {{"noir", plat::Rgb(0, 0, 0)},    {"blanc", plat::Rgb(255, 255, 255)},
                   {"rouge", plat::Rgb(255, 0, 0)}, {"vert", plat::Rgb(0, 255, 0)},
                   {"bleu", plat::Rgb(0, 0, 255)},  {"jaune", plat::Rgb(255, 255, 0)}};
    for (std::size_t i = 0; i < sizeof kColors / sizeof kColors[0]; ++i) {
        m_colors[i].name = kColors[i].name;
        m_colors[i].color = kColors[i].color;
    }
}

plat::ColorRef CPagePainter::ColorOf(const char* name) const {
    plat::ColorRef color = plat::Rgb(0, 0, 0);
    for (const ColorEntry& entry : m_colors) {
        if (std::strcmp(entry.name.c_str(), name) == 0) color = entry.color;
    }
    return color;
}

bool CPagePainter::UpdateScale() {
    plat::Hdc screen = plat::GetDC(0);
    int dpiX = plat::GetDeviceCaps(screen, plat::kLogPixelsX);
    int dpiY = plat::GetDeviceCaps(screen, plat::kLogPixelsY);
    plat::ReleaseDC(0, screen);
    sx = dpiX / 96;
    sy = dpiY / 96;
    bool kept = true;
    if (sx < 1) {
        sx = 1;
        kept = false;
    }
    if (sy < 1) {
        sy = 1;
        kept = false;
    }
    return kept;
}

void CPagePainter::DrawLines(plat::Hwnd window, const char* section, const char* iniPath,
                             const char* fixedText, const kit::ProfileSection* kept) {
    plat::WindowPlacement placement;
    plat::GetWindowPlacement(window, &placement);
    const int windowWidth = placement.normalPosition.right - placement.normalPosition.left;
    const bool fixed = fixedText != nullptr && *fixedText != '\0';
    const std::string file = iniPath != nullptr ? iniPath : "";
    int xt = kDefaultTextX;
    int yt = kDefaultTextY;
    if (!fixed) {
        xt = kept != nullptr ? kept->ReadInt("xt", kDefaultTextX)
                             : kit::ReadProfileInt(file, section, "xt", kDefaultTextX);
        yt = kept != nullptr ? kept->ReadInt("yt", kDefaultTextY)
                             : kit::ReadProfileInt(file, section, "yt", kDefaultTextY);
    }
    const bool clamped = !UpdateScale();
    const int dpiY = LogicalDpiY();
    const int left = static_cast<int>(xt * sx);
    int top = static_cast<int>(yt * sy);
    // The band would end at the window's outer width scaled once more; it stops at the client
    // area's right edge, or right-aligned text loses its end under the frame, and at twice the
    // resolution centred and right-aligned text leave the window altogether.
    plat::Rect client;
    plat::GetClientRect(window, &client);
    const int right = std::min(static_cast<int>((windowWidth - left) * sx + left),
                               static_cast<int>(client.right));
    int bottom = 0;
    bool bottomSet = false;
    const int extra = static_cast<int>(3 * sy) - (clamped ? 1 : 0);

    for (int n = fixed ? kLineCount : 1; n <= kLineCount; ++n) {
        std::string line;
        if (fixed) {
            line = kit::CutToCapacity(fixedText, kLineCapacity);
        } else {
            const std::string key = std::to_string(n);
            line = kept != nullptr
                       ? kept->ReadString(key.c_str(), "", kLineCapacity)
                       : kit::ReadProfileString(file, section, key.c_str(), "", kLineCapacity);
        }
        // A missing line takes no room: "1" and "3" without "2" are drawn one below the other.
        if (line.empty()) continue;
        kitassist::LineStyle style = kitassist::ReadLineStyle(line);
        const std::string text = kitassist::StripLineCodes(line);
        const int height = plat::MulDiv(style.size, dpiY, 72) + extra;
        // Every band keeps the height of the page's first line; each line moves the next one
        // down by its own height.
        if (!bottomSet) {
            bottom = top + height;
            bottomSet = true;
        }
        DrawStyledLine(window, plat::Rect{left, top, right, bottom}, text, style.face.c_str(),
                       style.size, style.bold, style.italic, style.underline, style.alignment,
                       style.textColor.c_str(), style.backColor.c_str());
        top += height;
        bottom += height;
    }
}

void CPagePainter::DrawStyledLine(plat::Hwnd window, const plat::Rect& band,
                                  const std::string& text, const char* face, int size, bool bold,
                                  bool italic, bool underline, char alignment,
                                  const char* textColor, const char* backColor) {
    if (text.empty()) return;
    plat::Hdc dc = plat::GetDC(window);
    if (dc == 0) return;
    plat::LogFont font;
    font.height = -plat::MulDiv(size, plat::GetDeviceCaps(dc, plat::kLogPixelsY), 72);
    font.weight = bold ? plat::kFwBold : plat::kFwNormal;
    font.italic = italic ? 1 : 0;
    font.underline = underline ? 1 : 0;
    font.charSet = plat::kDefaultCharset;
    font.outPrecision = plat::kOutDefaultPrecis;
    font.clipPrecision = plat::kClipDefaultPrecis;
    font.quality = plat::kProofQuality;
    font.pitchAndFamily = plat::kVariablePitch | plat::kFfRoman;
    plat::SetFaceName(&font, face);

    const plat::ColorRef oldText = plat::GetTextColor(dc);
    const plat::ColorRef oldBack = plat::GetBkColor(dc);
    const int oldMode = plat::GetBkMode(dc);
    plat::Hfont textFont = plat::CreateFontIndirect(font);
    plat::Hgdiobj oldFont = plat::SelectObject(dc, textFont);

    const bool paintsBand = backColor != nullptr && *backColor != '\0';
    if (paintsBand) {
        plat::SetBkColor(dc, ColorOf(backColor));
        plat::SetBkMode(dc, plat::kOpaque);
        // The blanks paint the band's background; underlined, they would draw a line across.
        plat::LogFont plain = font;
        plain.underline = 0;
        plat::Hfont blankFont = plat::CreateFontIndirect(plain);
        plat::SelectObject(dc, blankFont);
        const std::string blanks(kBandBlanks, ' ');
        plat::Rect rect = band;
        plat::DrawText(dc, blanks.c_str(), -1, &rect,
                       plat::kDtSingleLine | plat::kDtVCenter | plat::kDtLeft);
        plat::SelectObject(dc, textFont);
        plat::DeleteObject(blankFont);
    }
    plat::SetTextColor(dc, ColorOf(textColor));
    plat::SetBkMode(dc, paintsBand ? plat::kOpaque : plat::kTransparent);
    plat::Rect rect = band;
    plat::DrawText(dc, text.c_str(), -1, &rect,
                   plat::kDtSingleLine | plat::kDtVCenter | AlignmentFormat(alignment));

    plat::SetTextColor(dc, oldText);
    plat::SetBkColor(dc, oldBack);
    plat::SetBkMode(dc, oldMode);
    plat::SelectObject(dc, oldFont);
    plat::DeleteObject(textFont);
    plat::ReleaseDC(window, dc);
}

void CPagePainter::DrawBitmap(const char* path, plat::Hwnd window, int x, int y) {
    plat::Hbitmap bitmap = plat::LoadBitmapFromFile(path);
    if (bitmap == 0) return;
    plat::BitmapInfo info;
    if (!plat::GetBitmapInfo(bitmap, &info)) {
        plat::DeleteObject(bitmap);
        return;
    }
    plat::Hdc dc = plat::GetDC(window);
    plat::Hdc memory = plat::CreateCompatibleDC(dc);
    plat::Hgdiobj oldBitmap = plat::SelectObject(memory, bitmap);
    plat::Hpalette palette;
    if (info.planes * info.bitsPerPixel > 8) {
        palette = plat::CreateHalftonePalette(dc);
    } else {
        // The picture's own colours; entries past its colour table stay black.
        plat::RgbQuad table[256] = {};
        plat::GetDIBColorTable(memory, 0, 256, table);
        plat::PaletteEntry entries[256] = {};
        for (int i = 0; i < 256; ++i) {
            entries[i].red = table[i].red;
            entries[i].green = table[i].green;
            entries[i].blue = table[i].blue;
            entries[i].flags = 0;
        }
        palette = plat::CreatePalette(entries, 256);
    }
    UpdateScale();
    plat::Hpalette oldPalette = plat::SelectPalette(dc, palette, false);
    plat::RealizePalette(dc);
    plat::BitBlt(dc, static_cast<int>(x * sx), static_cast<int>(y * sy), info.width, info.height,
                 memory, 0, 0, plat::kSrcCopy);
    if (oldPalette != 0) plat::SelectPalette(dc, oldPalette, false);
    plat::SelectObject(memory, oldBitmap);
    plat::DeleteDC(memory);
    plat::ReleaseDC(window, dc);
    plat::DeleteObject(palette);
    plat::DeleteObject(bitmap);
}
