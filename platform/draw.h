// The drawing family: device contexts, fonts, brushes, pens, text, bitmaps loaded from files,
// palettes, the predefined icons and the system colours. Handles are plain integers; flags,
// indexes and colours keep their Win32 values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/types.h"
#include "platform/window.h"

namespace plat {

using Hdc = std::uintptr_t;
using Hgdiobj = std::uintptr_t;
using Hfont = std::uintptr_t;
using Hpen = std::uintptr_t;
using Hbitmap = std::uintptr_t;
using Hpalette = std::uintptr_t;

// COLORREF: 0x00BBGGRR.
using ColorRef = Dword;
constexpr ColorRef Rgb(int red, int green, int blue) {
    return static_cast<ColorRef>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(ColorRef color) { return static_cast<int>(color & 0xFF); }
constexpr int GreenOf(ColorRef color) { return static_cast<int>((color >> 8) & 0xFF); }
constexpr int BlueOf(ColorRef color) { return static_cast<int>((color >> 16) & 0xFF); }

// LOGFONTA.
struct LogFont {
    Long height = 0;
    Long width = 0;
    Long escapement = 0;
    Long orientation = 0;
    Long weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
    bool operator==(const LogFont& o) const {
        return height == o.height && width == o.width && escapement == o.escapement &&
               orientation == o.orientation && weight == o.weight && italic == o.italic &&
               underline == o.underline && strikeOut == o.strikeOut && charSet == o.charSet &&
               outPrecision == o.outPrecision && clipPrecision == o.clipPrecision &&
               quality == o.quality && pitchAndFamily == o.pitchAndFamily &&
               std::strncmp(faceName, o.faceName, sizeof faceName) == 0;
    }
    bool operator!=(const LogFont& o) const { return !(*this == o); }
};
// Copies `face` into faceName, cut to 31 characters.
inline void SetFaceName(LogFont* font, const char* face) {
    std::size_t n = face == nullptr ? 0 : std::strlen(face);
    if (n > sizeof font->faceName - 1) n = sizeof font->faceName - 1;
    if (n > 0) std::memcpy(font->faceName, face, n);
    font->faceName[n] = '\0';
}

struct PaintStruct {
    Hdc hdc = 0;
    bool erase = false;
    Rect paint;
};

// GetDeviceCaps indexes.
constexpr int kHorzRes = 8;
constexpr int kVertRes = 10;
constexpr int kBitsPixel = 12;
constexpr int kPlanes = 14;
constexpr int kNumColors = 24;
constexpr int kRasterCaps = 38;
constexpr int kLogPixelsX = 88;
constexpr int kLogPixelsY = 90;
constexpr int kSizePalette = 104;
constexpr int kRcPalette = 0x0100;

// Background modes.
constexpr int kTransparent = 1;
constexpr int kOpaque = 2;

// Font weights and LOGFONT values the programs use.
constexpr Long kFwNormal = 400;
constexpr Long kFwBold = 700;
constexpr std::uint8_t kAnsiCharset = 0;
constexpr std::uint8_t kDefaultCharset = 1;
constexpr std::uint8_t kOutDefaultPrecis = 0;
constexpr std::uint8_t kClipDefaultPrecis = 0;
constexpr std::uint8_t kProofQuality = 2;
constexpr std::uint8_t kVariablePitch = 2;
constexpr std::uint8_t kFfRoman = 0x10;
constexpr std::uint8_t kFfSwiss = 0x20;

// Pen styles.
constexpr int kPsSolid = 0;
constexpr int kPsNull = 5;

// Stock objects.
constexpr int kWhiteBrush = 0;
constexpr int kLtGrayBrush = 1;
constexpr int kGrayBrush = 2;
constexpr int kDkGrayBrush = 3;
constexpr int kBlackBrush = 4;
constexpr int kNullBrush = 5;
constexpr int kWhitePen = 6;
constexpr int kBlackPen = 7;
constexpr int kNullPen = 8;
constexpr int kOemFixedFont = 10;
constexpr int kAnsiFixedFont = 11;
constexpr int kAnsiVarFont = 12;
constexpr int kSystemFont = 13;
constexpr int kDeviceDefaultFont = 14;
constexpr int kDefaultPalette = 15;
constexpr int kSystemFixedFont = 16;
constexpr int kDefaultGuiFont = 17;

// DrawText formats.
constexpr Uint kDtTop = 0x0000;
constexpr Uint kDtLeft = 0x0000;
constexpr Uint kDtCenter = 0x0001;
constexpr Uint kDtRight = 0x0002;
constexpr Uint kDtVCenter = 0x0004;
constexpr Uint kDtBottom = 0x0008;
constexpr Uint kDtWordBreak = 0x0010;
constexpr Uint kDtSingleLine = 0x0020;
constexpr Uint kDtExpandTabs = 0x0040;
constexpr Uint kDtNoClip = 0x0100;
constexpr Uint kDtCalcRect = 0x0400;
constexpr Uint kDtNoPrefix = 0x0800;

// BitBlt raster operations.
constexpr Dword kSrcCopy = 0x00CC0020;

// System colours (GetSysColor indexes).
constexpr int kColorScrollBar = 0;
constexpr int kColorBackground = 1;
constexpr int kColorActiveCaption = 2;
constexpr int kColorInactiveCaption = 3;
constexpr int kColorMenu = 4;
constexpr int kColorWindow = 5;
constexpr int kColorWindowFrame = 6;
constexpr int kColorMenuText = 7;
constexpr int kColorWindowText = 8;
constexpr int kColorCaptionText = 9;
constexpr int kColorActiveBorder = 10;
constexpr int kColorInactiveBorder = 11;
constexpr int kColorAppWorkspace = 12;
constexpr int kColorHighlight = 13;
constexpr int kColorHighlightText = 14;
constexpr int kColorBtnFace = 15;
constexpr int kColorBtnShadow = 16;
constexpr int kColorGrayText = 17;
constexpr int kColorBtnText = 18;

// Predefined icons (LoadIconA with a null instance) and the arrow cursor.
constexpr int kIdiApplication = 32512;
constexpr int kIdiHand = 32513;
constexpr int kIdiQuestion = 32514;
constexpr int kIdiExclamation = 32515;
constexpr int kIdiAsterisk = 32516;
constexpr int kIdcArrow = 32512;

// --- Device contexts ------------------------------------------------------------------------

Hdc GetDC(Hwnd window);
int ReleaseDC(Hwnd window, Hdc dc);
Hdc BeginPaint(Hwnd window, PaintStruct* paint);
bool EndPaint(Hwnd window, const PaintStruct* paint);
Hdc CreateCompatibleDC(Hdc dc);
bool DeleteDC(Hdc dc);
int GetDeviceCaps(Hdc dc, int index);
// MulDiv: a * b / c rounded to the nearest integer (halves away from zero); -1 when c is 0 or
// the result does not fit.
int MulDiv(int a, int b, int c);

// --- Drawing objects ------------------------------------------------------------------------

Hfont CreateFontIndirect(const LogFont& font);
Hbrush CreateSolidBrush(ColorRef color);
Hpen CreatePen(int style, int width, ColorRef color);
Hgdiobj GetStockObject(int index);
// The object of the same kind that was selected before, 0 on failure.
Hgdiobj SelectObject(Hdc dc, Hgdiobj object);
bool DeleteObject(Hgdiobj object);

// --- Text and shapes ------------------------------------------------------------------------

ColorRef SetTextColor(Hdc dc, ColorRef color);
ColorRef SetBkColor(Hdc dc, ColorRef color);
int SetBkMode(Hdc dc, int mode);
ColorRef GetTextColor(Hdc dc);
ColorRef GetBkColor(Hdc dc);
int GetBkMode(Hdc dc);
// DrawTextA; `count` -1 for a zero-terminated text. Returns the height of the text.
int DrawText(Hdc dc, const char* text, int count, Rect* rect, Uint format);
bool TextOut(Hdc dc, int x, int y, const char* text, int count);
// GetTextExtentPoint32A: the width and height of a text in the selected font.
bool GetTextExtentPoint32(Hdc dc, const char* text, int count, Size* size);
// TEXTMETRICA's figures that layout needs.
struct TextMetrics {
    Long height = 0;
    Long ascent = 0;
    Long descent = 0;
    Long internalLeading = 0;
    Long externalLeading = 0;
    Long averageCharWidth = 0;
    Long maxCharWidth = 0;
    Long weight = 0;
};
bool GetTextMetrics(Hdc dc, TextMetrics* metrics);
// `brush` may be a brush handle or a system colour index + 1.
int FillRect(Hdc dc, const Rect& rect, Hbrush brush);
// Outline with the current pen, inside filled with the current brush.
bool Rectangle(Hdc dc, int left, int top, int right, int bottom);
ColorRef GetSysColor(int index);

// --- Bitmaps and palettes -------------------------------------------------------------------

// LoadImageA(LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE): a .bmp file at its own
// size. 0 when the file is missing or not a bitmap.
Hbitmap LoadBitmapFromFile(const char* path);

// GetObjectA on a bitmap (BITMAP).
struct BitmapInfo {
    Long width = 0;
    Long height = 0;
    Long widthBytes = 0;
    Uint planes = 0;
    Uint bitsPerPixel = 0;
};
bool GetBitmapInfo(Hbitmap bitmap, BitmapInfo* info);

struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
};
// GetDIBColorTable of the bitmap selected in `dc`: the number of entries copied.
Uint GetDIBColorTable(Hdc dc, Uint start, Uint count, RgbQuad* colors);

struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
};
// CreatePalette of a LOGPALETTE version 0x300 holding `count` entries.
Hpalette CreatePalette(const PaletteEntry* entries, Uint count);
Hpalette CreateHalftonePalette(Hdc dc);
Hpalette SelectPalette(Hdc dc, Hpalette palette, bool forceBackground);
Uint RealizePalette(Hdc dc);
bool BitBlt(Hdc destination, int x, int y, int width, int height, Hdc source, int sourceX,
            int sourceY, Dword rasterOperation);

// --- Icons and cursors ----------------------------------------------------------------------

// LoadIconA(NULL, id) for the predefined icons kIdiApplication..kIdiAsterisk.
Hicon LoadSystemIcon(int id);
// LoadIconA on the running program's icon resource `id`; 0 when there is none.
Hicon LoadIconFromResource(int id);
// LoadCursorA(NULL, id).
Hcursor LoadSystemCursor(int id);
// DrawIcon: the icon at its natural size with its top-left corner at (x, y).
bool DrawIcon(Hdc dc, int x, int y, Hicon icon);

}  // namespace plat
