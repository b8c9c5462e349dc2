// Drawing through the real GDI calls.
#include <cstring>
#include <vector>

#include "platform/draw.h"
#include "platform/win32/win32_headers.h"

namespace plat {
namespace {

HWND H(Hwnd window) { return reinterpret_cast<HWND>(window); }
HDC D(Hdc dc) { return reinterpret_cast<HDC>(dc); }
Hdc P(HDC dc) { return reinterpret_cast<Hdc>(dc); }
HGDIOBJ G(Hgdiobj object) { return reinterpret_cast<HGDIOBJ>(object); }
Hgdiobj P(HGDIOBJ object) { return reinterpret_cast<Hgdiobj>(object); }

}  // namespace

Hdc GetDC(Hwnd window) { return P(::GetDC(H(window))); }
int ReleaseDC(Hwnd window, Hdc dc) { return ::ReleaseDC(H(window), D(dc)); }

Hdc BeginPaint(Hwnd window, PaintStruct* paint) {
    PAINTSTRUCT ps = {};
    HDC dc = ::BeginPaint(H(window), &ps);
    if (paint != nullptr) {
        paint->hdc = P(dc);
        paint->erase = ps.fErase != 0;
        paint->paint = Rect{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom};
    }
    return P(dc);
}

bool EndPaint(Hwnd window, const PaintStruct* paint) {
    if (paint == nullptr) return false;
    PAINTSTRUCT ps = {};
    ps.hdc = D(paint->hdc);
    ps.fErase = paint->erase;
    ps.rcPaint = RECT{paint->paint.left, paint->paint.top, paint->paint.right, paint->paint.bottom};
    return ::EndPaint(H(window), &ps) != 0;
}

Hdc CreateCompatibleDC(Hdc dc) { return P(::CreateCompatibleDC(D(dc))); }
bool DeleteDC(Hdc dc) { return ::DeleteDC(D(dc)) != 0; }
int GetDeviceCaps(Hdc dc, int index) { return ::GetDeviceCaps(D(dc), index); }
int MulDiv(int a, int b, int c) { return ::MulDiv(a, b, c); }

Hfont CreateFontIndirect(const LogFont& font) {
    LOGFONTA lf = {};
    lf.lfHeight = font.height;
    lf.lfWidth = font.width;
    lf.lfEscapement = font.escapement;
    lf.lfOrientation = font.orientation;
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfStrikeOut = font.strikeOut;
    lf.lfCharSet = font.charSet;
    lf.lfOutPrecision = font.outPrecision;
    lf.lfClipPrecision = font.clipPrecision;
    lf.lfQuality = font.quality;
    lf.lfPitchAndFamily = font.pitchAndFamily;
    static_assert(sizeof lf.lfFaceName == sizeof font.faceName, "LOGFONTA face size");
    std::memcpy(lf.lfFaceName, font.faceName, sizeof lf.lfFaceName);
    lf.lfFaceName[sizeof lf.lfFaceName - 1] = '\0';
    return P(::CreateFontIndirectA(&lf));
}

Hbrush CreateSolidBrush(ColorRef color) { return P(::CreateSolidBrush(color)); }
Hpen CreatePen(int style, int width, ColorRef color) { return P(::CreatePen(style, width, color)); }
Hgdiobj GetStockObject(int index) { return P(::GetStockObject(index)); }
Hgdiobj SelectObject(Hdc dc, Hgdiobj object) { return P(::SelectObject(D(dc), G(object))); }
bool DeleteObject(Hgdiobj object) { return ::DeleteObject(G(object)) != 0; }

ColorRef SetTextColor(Hdc dc, ColorRef color) { return ::SetTextColor(D(dc), color); }
ColorRef SetBkColor(Hdc dc, ColorRef color) { return ::SetBkColor(D(dc), color); }
int SetBkMode(Hdc dc, int mode) { return ::SetBkMode(D(dc), mode); }
ColorRef GetTextColor(Hdc dc) { return ::GetTextColor(D(dc)); }
ColorRef GetBkColor(Hdc dc) { return ::GetBkColor(D(dc)); }
int GetBkMode(Hdc dc) { return ::GetBkMode(D(dc)); }

int DrawText(Hdc dc, const char* text, int count, Rect* rect, Uint format) {
    if (text == nullptr || rect == nullptr) return 0;
    RECT r{rect->left, rect->top, rect->right, rect->bottom};
    int height = ::DrawTextA(D(dc), text, count, &r, format);
    *rect = Rect{r.left, r.top, r.right, r.bottom};
    return height;
}

bool TextOut(Hdc dc, int x, int y, const char* text, int count) {
    if (text == nullptr) return false;
    if (count < 0) count = static_cast<int>(std::strlen(text));
    return ::TextOutA(D(dc), x, y, text, count) != 0;
}

bool GetTextExtentPoint32(Hdc dc, const char* text, int count, Size* size) {
    if (text == nullptr || size == nullptr) return false;
    if (count < 0) count = static_cast<int>(std::strlen(text));
    SIZE s{};
    if (!::GetTextExtentPoint32A(D(dc), text, count, &s)) return false;
    *size = Size{s.cx, s.cy};
    return true;
}

bool GetTextMetrics(Hdc dc, TextMetrics* metrics) {
    TEXTMETRICA tm{};
    if (metrics == nullptr || !::GetTextMetricsA(D(dc), &tm)) return false;
    metrics->height = tm.tmHeight;
    metrics->ascent = tm.tmAscent;
    metrics->descent = tm.tmDescent;
    metrics->internalLeading = tm.tmInternalLeading;
    metrics->externalLeading = tm.tmExternalLeading;
    metrics->averageCharWidth = tm.tmAveCharWidth;
    metrics->maxCharWidth = tm.tmMaxCharWidth;
    metrics->weight = tm.tmWeight;
    return true;
}

int FillRect(Hdc dc, const Rect& rect, Hbrush brush) {
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    return ::FillRect(D(dc), &r, reinterpret_cast<HBRUSH>(brush));
}

bool Rectangle(Hdc dc, int left, int top, int right, int bottom) {
    return ::Rectangle(D(dc), left, top, right, bottom) != 0;
}

ColorRef GetSysColor(int index) { return ::GetSysColor(index); }

Hbitmap LoadBitmapFromFile(const char* path) {
    return P(::LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0,
                          LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
}

bool GetBitmapInfo(Hbitmap bitmap, BitmapInfo* info) {
    BITMAP bm = {};
    if (info == nullptr || ::GetObjectA(G(bitmap), sizeof bm, &bm) == 0) return false;
    info->width = bm.bmWidth;
    info->height = bm.bmHeight;
    info->widthBytes = bm.bmWidthBytes;
    info->planes = bm.bmPlanes;
    info->bitsPerPixel = bm.bmBitsPixel;
    return true;
}

Uint GetDIBColorTable(Hdc dc, Uint start, Uint count, RgbQuad* colors) {
    static_assert(sizeof(RgbQuad) == sizeof(RGBQUAD), "RGBQUAD layout");
    return ::GetDIBColorTable(D(dc), start, count, reinterpret_cast<RGBQUAD*>(colors));
}

Hpalette CreatePalette(const PaletteEntry* entries, Uint count) {
    static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY), "PALETTEENTRY layout");
    if (count == 0 || entries == nullptr || count > 0xFFFF) return 0;
    std::vector<char> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    std::memcpy(palette->palPalEntry, entries, count * sizeof(PALETTEENTRY));
    return P(::CreatePalette(palette));
}

Hpalette CreateHalftonePalette(Hdc dc) { return P(::CreateHalftonePalette(D(dc))); }
Hpalette SelectPalette(Hdc dc, Hpalette palette, bool forceBackground) {
    return P(::SelectPalette(D(dc), reinterpret_cast<HPALETTE>(palette), forceBackground));
}
Uint RealizePalette(Hdc dc) { return ::RealizePalette(D(dc)); }

bool BitBlt(Hdc destination, int x, int y, int width, int height, Hdc source, int sourceX,
            int sourceY, Dword rasterOperation) {
    return ::BitBlt(D(destination), x, y, width, height, D(source), sourceX, sourceY,
                    rasterOperation) != 0;
}

Hicon LoadSystemIcon(int id) {
    return reinterpret_cast<Hicon>(::LoadIconA(nullptr, MAKEINTRESOURCEA(id)));
}
Hicon LoadIconFromResource(int id) {
    return reinterpret_cast<Hicon>(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
}
Hcursor LoadSystemCursor(int id) {
    return reinterpret_cast<Hcursor>(::LoadCursorA(nullptr, MAKEINTRESOURCEA(id)));
}
bool DrawIcon(Hdc dc, int x, int y, Hicon icon) {
    return ::DrawIcon(D(dc), x, y, reinterpret_cast<HICON>(icon)) != 0;
}

}  // namespace plat
