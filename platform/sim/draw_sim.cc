// The drawing family on the simulated machine. Every call that would put something on a
// window is recorded, with the state of its device context, in that window's draw log (see
// ui_driver.h); window_image.cc turns the log into pixels. Text is measured with the fonts
// (font_engine.h). Drawing objects and device contexts are tracked so that
// tests can see what a drawing leaves behind.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/draw.h"
#include "platform/files.h"
#include "platform/sim/font_engine.h"
#include "platform/sim/machine.h"
#include "platform/sim/rc_script.h"
#include "platform/sim/text_layout.h"
#include "platform/sim/window_system.h"

namespace sim {
namespace {

using namespace plat;

constexpr Hgdiobj kStockBase = 0x00100000;
constexpr int kStockCount = 18;
constexpr Hgdiobj kStockMemoryBitmap = kStockBase + 4 * 20;  // a memory context's 1 x 1 bitmap
constexpr Hicon kSystemIconBase = 0x00600000;
constexpr Hicon kResourceIconBase = 0x00700000;
constexpr Hcursor kCursorBase = 0x00500000;

// Sizes derived from whatever a program passes (a font millions of pixels high, a text drawn at
// the far end of the coordinates) are held to the int range instead of overflowing.
int Saturate(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

LogFont MakeFont(Long height, Long weight, const char* face, std::uint8_t pitchAndFamily) {
    LogFont font;
    font.height = height;
    font.weight = weight;
    font.pitchAndFamily = pitchAndFamily;
    SetFaceName(&font, face);
    return font;
}

GdiObject StockObject(int index) {
    GdiObject o;
    o.stock = true;
    switch (index) {
        case kWhiteBrush:
            o.type = GdiType::Brush;
            o.color = Rgb(255, 255, 255);
            break;
        case kLtGrayBrush:
            o.type = GdiType::Brush;
            o.color = Rgb(192, 192, 192);
            break;
        case kGrayBrush:
            o.type = GdiType::Brush;
            o.color = Rgb(128, 128, 128);
            break;
        case kDkGrayBrush:
            o.type = GdiType::Brush;
            o.color = Rgb(64, 64, 64);
            break;
        case kBlackBrush:
            o.type = GdiType::Brush;
            o.color = 0;
            break;
        case kNullBrush:
            o.type = GdiType::Brush;
            o.nullBrush = true;
            break;
        case kWhitePen:
            o.type = GdiType::Pen;
            o.color = Rgb(255, 255, 255);
            break;
        case kBlackPen:
            o.type = GdiType::Pen;
            o.color = 0;
            break;
        case kNullPen:
            o.type = GdiType::Pen;
            o.penStyle = kPsNull;
            break;
        case kOemFixedFont:
            o.type = GdiType::Font;
            o.font = MakeFont(12, 400, "Terminal", 0x31);
            break;
        case kAnsiFixedFont:
            o.type = GdiType::Font;
            o.font = MakeFont(12, 400, "Courier", 0x31);
            break;
        case kAnsiVarFont:
            o.type = GdiType::Font;
            o.font = MakeFont(12, 400, "MS Sans Serif", 0x22);
            break;
        case kSystemFont:
        case kDeviceDefaultFont:
            o.type = GdiType::Font;
            o.font = MakeFont(16, 700, "System", 0x22);
            break;
        case kSystemFixedFont:
            o.type = GdiType::Font;
            o.font = MakeFont(15, 400, "Fixedsys", 0x31);
            break;
        case kDefaultGuiFont:
            o.type = GdiType::Font;
            o.font = MakeFont(-11, 400, "MS Sans Serif", 0x22);
            break;
        case kDefaultPalette: {
            o.type = GdiType::Palette;
            o.entries.resize(20);
            break;
        }
        default:
            o.type = GdiType::Bitmap;
            break;
    }
    if (o.type == GdiType::Font) o.font.charSet = index == kOemFixedFont ? 255 : 0;
    return o;
}

Hgdiobj Stock(int index) {
    Hgdiobj handle = kStockBase + static_cast<Hgdiobj>(index) * 4;
    auto& objects = Ui().objects;
    if (!objects.count(handle)) objects[handle] = StockObject(index);
    return handle;
}

Hgdiobj StockMemoryBitmap() {
    auto& objects = Ui().objects;
    if (!objects.count(kStockMemoryBitmap)) {
        GdiObject bitmap;
        bitmap.type = GdiType::Bitmap;
        bitmap.stock = true;
        bitmap.image.width = bitmap.image.height = 1;
        bitmap.image.bitsPerPixel = 1;
        objects[kStockMemoryBitmap] = bitmap;
    }
    return kStockMemoryBitmap;
}

GdiObject* Object(Hgdiobj handle) {
    auto found = Ui().objects.find(handle);
    if (found == Ui().objects.end() || found->second.deleted) return nullptr;
    return &found->second;
}

SimDc* Dc(Hdc handle) {
    auto found = Ui().dcs.find(handle);
    return found == Ui().dcs.end() ? nullptr : &found->second;
}

Hdc NewDc(Hwnd window, bool memory, int paintCycle) {
    SimDc dc;
    dc.window = window;
    dc.memory = memory;
    dc.paintCycle = paintCycle;
    dc.font = Stock(kSystemFont);
    dc.brush = Stock(kWhiteBrush);
    dc.pen = Stock(kBlackPen);
    dc.palette = Stock(kDefaultPalette);
    dc.bitmap = memory ? StockMemoryBitmap() : 0;
    dc.textColor = 0;
    dc.bkColor = Rgb(255, 255, 255);
    dc.bkMode = kOpaque;
    Hdc handle = Ui().nextDc;
    Ui().nextDc += 4;
    Ui().dcs[handle] = dc;
    return handle;
}

Hgdiobj NewObject(const GdiObject& object) {
    Hgdiobj handle = Ui().nextObject;
    Ui().nextObject += 4;
    Ui().objects[handle] = object;
    return handle;
}

// Windows 98 standard scheme, as our Wine prefix sets it (tests/wine/setup-prefix.sh): the 3D
// light and the inactive caption gradient are the face grey there.
ColorRef SystemColor(int index) {
    auto changed = Ui().systemColors.find(index);
    if (changed != Ui().systemColors.end()) return changed->second;
    static const ColorRef colors[] = {
        Rgb(192, 192, 192), Rgb(0, 128, 128),   Rgb(0, 0, 128),     Rgb(128, 128, 128),
        Rgb(192, 192, 192), Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(0, 0, 0),
        Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(192, 192, 192), Rgb(192, 192, 192),
        Rgb(128, 128, 128), Rgb(0, 0, 128),     Rgb(255, 255, 255), Rgb(192, 192, 192),
        Rgb(128, 128, 128), Rgb(128, 128, 128), Rgb(0, 0, 0),       Rgb(192, 192, 192),
        Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(192, 192, 192), Rgb(0, 0, 0),
        Rgb(255, 255, 225), Rgb(192, 192, 192), Rgb(0, 0, 255),     Rgb(16, 132, 208),
        Rgb(192, 192, 192)};
    if (index < 0 || index >= static_cast<int>(sizeof colors / sizeof colors[0])) return 0;
    return colors[index];
}

// A brush handle, or a system colour index + 1 as Win32 accepts in FillRect and classes.
bool BrushColor(Hbrush brush, ColorRef* color, bool* hollow) {
    *hollow = false;
    if (brush > 0 && brush <= 31) {
        *color = SystemColor(static_cast<int>(brush) - 1);
        return true;
    }
    GdiObject* o = Object(brush);
    if (o == nullptr || o->type != GdiType::Brush) return false;
    *color = o->color;
    *hollow = o->nullBrush;
    return true;
}

ui::DrawOp OpFor(const SimDc& dc, ui::DrawKind kind) {
    ui::DrawOp op;
    op.kind = kind;
    if (const GdiObject* font = Object(dc.font)) op.font = font->font;
    op.textColor = dc.textColor;
    op.bkColor = dc.bkColor;
    op.bkMode = dc.bkMode;
    return op;
}

void Record(const SimDc& dc, ui::DrawOp op) {
    if (dc.memory || dc.window == 0) return;
    SimWindow* window = FindWindowRecord(dc.window);
    if (window == nullptr) return;
    op.windowVisible = ShownOnScreen(*window);
    op.paintCycle = dc.paintCycle;
    op.sequence = ++Ui().drawSequence;
    window->drawLog.push_back(op);
}

}  // namespace

void EraseBackground(SimWindow& window, Hdc dcHandle) {
    ColorRef color;
    bool hollow = false;
    if (window.kind == WindowKind::Dialog) {
        color = SystemColor(kColorBtnFace);
    } else if (window.kind != WindowKind::Custom ||
               !BrushColor(window.background, &color, &hollow)) {
        return;
    }
    SimDc* dc = Dc(dcHandle);
    if (dc == nullptr) return;
    ui::DrawOp op = OpFor(*dc, ui::DrawKind::EraseBackground);
    op.rect = ClientRect(window);
    op.brushColor = color;
    op.hollowBrush = hollow;
    Record(*dc, op);
}

Hfont CreateInternalFont(const LogFont& font) {
    GdiObject o;
    o.type = GdiType::Font;
    o.stock = true;  // the dialog owns it: not the program's to count
    o.font = font;
    return NewObject(o);
}

void DeleteInternalFont(Hfont font) { Ui().objects.erase(font); }

const GdiObject* FindGdiObject(Hgdiobj object) { return Object(object); }

Hicon IconForResource(int id) {
    if (!HasIconResource(id)) return 0;
    Hicon handle = kResourceIconBase + static_cast<Hicon>(id & 0xFFFF);
    Ui().icons[handle] = IconObject{id, false};
    return handle;
}

}  // namespace sim

namespace plat {

using sim::Dc;
using sim::Object;
using sim::Ui;

Hdc GetDC(Hwnd window) {
    if (window != 0 && sim::FindWindowRecord(window) == nullptr) return 0;
    return sim::NewDc(window, false, 0);
}

int ReleaseDC(Hwnd window, Hdc dc) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr || d->memory || d->window != window) return 0;
    Ui().dcs.erase(dc);
    return 1;
}

Hdc BeginPaint(Hwnd window, PaintStruct* paint) {
    sim::SimWindow* w = sim::FindWindowRecord(window);
    if (w == nullptr) return 0;
    Hdc dc = sim::NewDc(window, false, ++Ui().paintCycles);
    bool erase = w->needsErase;
    w->needsErase = false;
    w->needsPaint = false;
    bool erased = erase && sim::Send(window, kWmEraseBkgnd, dc, 0) != 0;
    if (paint != nullptr) {
        paint->hdc = dc;
        paint->erase = erase && !erased;
        sim::SimWindow* after = sim::FindWindowRecord(window);
        paint->paint = after != nullptr ? sim::ClientRect(*after) : Rect{};
    }
    return dc;
}

bool EndPaint(Hwnd window, const PaintStruct* paint) {
    if (paint == nullptr) return false;
    sim::SimDc* d = Dc(paint->hdc);
    if (d == nullptr || d->window != window) return false;
    Ui().dcs.erase(paint->hdc);
    return true;
}

Hdc CreateCompatibleDC(Hdc dc) {
    if (dc != 0 && Dc(dc) == nullptr) return 0;
    return sim::NewDc(0, true, 0);
}

bool DeleteDC(Hdc dc) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr || !d->memory) return false;
    Ui().dcs.erase(dc);
    return true;
}

int GetDeviceCaps(Hdc dc, int index) {
    if (Dc(dc) == nullptr) return 0;
    const sim::MachineSettings& s = sim::Machine::Current().Settings();
    switch (index) {
        case kLogPixelsX:
            return s.dpiX;
        case kLogPixelsY:
            return s.dpiY;
        case kHorzRes:
            return s.screenWidth;
        case kVertRes:
            return s.screenHeight;
        case kBitsPixel:
            return 32;
        case kPlanes:
            return 1;
        case kNumColors:
            return -1;
        case kRasterCaps:
            return 0x7E99;  // no RC_PALETTE: a true-colour screen, as under Wine
        case kSizePalette:
            return 0;
        default:
            return 0;
    }
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    long long product = static_cast<long long>(a) * b;
    long long divisor = c;
    bool negative = (product < 0) != (divisor < 0);
    unsigned long long p = static_cast<unsigned long long>(product < 0 ? -product : product);
    unsigned long long d = static_cast<unsigned long long>(divisor < 0 ? -divisor : divisor);
    unsigned long long q = (p + d / 2) / d;
    long long result = negative ? -static_cast<long long>(q) : static_cast<long long>(q);
    if (result > 2147483647LL || result < -2147483647LL - 1) return -1;
    return static_cast<int>(result);
}

Hfont CreateFontIndirect(const LogFont& font) {
    sim::GdiObject o;
    o.type = sim::GdiType::Font;
    o.font = font;
    o.font.faceName[sizeof o.font.faceName - 1] = '\0';
    return sim::NewObject(o);
}

Hbrush CreateSolidBrush(ColorRef color) {
    sim::GdiObject o;
    o.type = sim::GdiType::Brush;
    o.color = color & 0x00FFFFFF;
    return sim::NewObject(o);
}

Hpen CreatePen(int style, int width, ColorRef color) {
    sim::GdiObject o;
    o.type = sim::GdiType::Pen;
    o.penStyle = style;
    o.penWidth = width;
    o.color = color & 0x00FFFFFF;
    return sim::NewObject(o);
}

Hgdiobj GetStockObject(int index) {
    if (index < 0 || index >= sim::kStockCount || index == 9) return 0;
    return sim::Stock(index);
}

Hgdiobj SelectObject(Hdc dc, Hgdiobj object) {
    sim::SimDc* d = Dc(dc);
    sim::GdiObject* o = Object(object);
    if (d == nullptr || o == nullptr) return 0;
    Hgdiobj previous = 0;
    switch (o->type) {
        case sim::GdiType::Font:
            previous = d->font;
            d->font = object;
            break;
        case sim::GdiType::Brush:
            previous = d->brush;
            d->brush = object;
            break;
        case sim::GdiType::Pen:
            previous = d->pen;
            d->pen = object;
            break;
        case sim::GdiType::Bitmap:
            if (!d->memory) return 0;  // only a memory context holds a bitmap
            previous = d->bitmap;
            d->bitmap = object;
            break;
        case sim::GdiType::Palette:
            return 0;  // palettes go through SelectPalette
    }
    return previous;
}

bool DeleteObject(Hgdiobj object) {
    sim::GdiObject* o = Object(object);
    if (o == nullptr) return false;
    if (o->stock) return true;
    for (const auto& entry : Ui().dcs) {
        const sim::SimDc& d = entry.second;
        if (d.font == object || d.brush == object || d.pen == object || d.bitmap == object ||
            d.palette == object) {
            return false;  // still selected: Windows 98 refuses
        }
    }
    o->deleted = true;
    return true;
}

ColorRef SetTextColor(Hdc dc, ColorRef color) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr) return 0xFFFFFFFF;
    ColorRef previous = d->textColor;
    d->textColor = color;
    return previous;
}

ColorRef SetBkColor(Hdc dc, ColorRef color) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr) return 0xFFFFFFFF;
    ColorRef previous = d->bkColor;
    d->bkColor = color;
    return previous;
}

int SetBkMode(Hdc dc, int mode) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr || (mode != kTransparent && mode != kOpaque)) return 0;
    int previous = d->bkMode;
    d->bkMode = mode;
    return previous;
}

ColorRef GetTextColor(Hdc dc) {
    sim::SimDc* d = Dc(dc);
    return d == nullptr ? 0xFFFFFFFF : d->textColor;
}

ColorRef GetBkColor(Hdc dc) {
    sim::SimDc* d = Dc(dc);
    return d == nullptr ? 0xFFFFFFFF : d->bkColor;
}

int GetBkMode(Hdc dc) {
    sim::SimDc* d = Dc(dc);
    return d == nullptr ? 0 : d->bkMode;
}

int DrawText(Hdc dc, const char* text, int count, Rect* rect, Uint format) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr || text == nullptr || rect == nullptr) return 0;
    std::size_t length = std::strlen(text);
    if (count >= 0 && static_cast<std::size_t>(count) < length)
        length = static_cast<std::size_t>(count);
    std::string s(text, length);
    sim::ui::DrawOp op = sim::OpFor(*d, sim::ui::DrawKind::Text);
    int width = sim::Saturate(std::int64_t{rect->right} - rect->left);
    sim::TextLayout layout = sim::LayOutText(sim::FontFor(op.font), s, width, format);
    int height = sim::Saturate(static_cast<std::int64_t>(layout.lines.size()) * layout.lineHeight);
    if (format & kDtCalcRect) {
        // As Windows: the rectangle takes the widest line, and the height of every line.
        rect->right = sim::Saturate(std::int64_t{rect->left} + layout.widest);
        rect->bottom = sim::Saturate(std::int64_t{rect->top} + height);
        return height;
    }
    op.rect = *rect;
    op.text = s;
    op.format = format;
    sim::Record(*d, op);
    return height;
}

bool TextOut(Hdc dc, int x, int y, const char* text, int count) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr || text == nullptr) return false;
    std::size_t length = std::strlen(text);
    if (count >= 0 && static_cast<std::size_t>(count) < length)
        length = static_cast<std::size_t>(count);
    sim::ui::DrawOp op = sim::OpFor(*d, sim::ui::DrawKind::TextOut);
    const sim::SimFont& font = sim::FontFor(op.font);
    op.text.assign(text, length);
    op.rect = Rect{x, y, sim::Saturate(x + static_cast<std::int64_t>(font.Width(op.text))),
                   sim::Saturate(std::int64_t{y} + font.Metrics().height)};
    sim::Record(*d, op);
    return true;
}

bool GetTextExtentPoint32(Hdc dc, const char* text, int count, Size* size) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr || text == nullptr || size == nullptr || count < 0) return false;
    const sim::GdiObject* selected = Object(d->font);
    const sim::SimFont& font = sim::FontFor(selected != nullptr ? selected->font : LogFont{});
    std::size_t length = strnlen(text, static_cast<std::size_t>(count));
    *size = Size{font.Width(std::string_view(text, length)), font.Metrics().height};
    return true;
}

bool GetTextMetrics(Hdc dc, TextMetrics* metrics) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr || metrics == nullptr) return false;
    const sim::GdiObject* selected = Object(d->font);
    const sim::FontMetrics& m =
        sim::FontFor(selected != nullptr ? selected->font : LogFont{}).Metrics();
    metrics->height = m.height;
    metrics->ascent = m.ascent;
    metrics->descent = m.descent;
    metrics->internalLeading = m.internalLeading;
    metrics->externalLeading = m.externalLeading;
    metrics->averageCharWidth = m.averageCharWidth;
    metrics->maxCharWidth = m.maxCharWidth;
    metrics->weight = m.weight;
    return true;
}

int FillRect(Hdc dc, const Rect& rect, Hbrush brush) {
    sim::SimDc* d = Dc(dc);
    ColorRef color;
    bool hollow;
    if (d == nullptr || !sim::BrushColor(brush, &color, &hollow)) return 0;
    sim::ui::DrawOp op = sim::OpFor(*d, sim::ui::DrawKind::FillRect);
    op.rect = rect;
    op.brushColor = color;
    op.hollowBrush = hollow;
    sim::Record(*d, op);
    return 1;
}

bool Rectangle(Hdc dc, int left, int top, int right, int bottom) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr) return false;
    sim::ui::DrawOp op = sim::OpFor(*d, sim::ui::DrawKind::Rectangle);
    op.rect = Rect{left, top, right, bottom};
    sim::BrushColor(d->brush, &op.brushColor, &op.hollowBrush);
    if (const sim::GdiObject* pen = Object(d->pen)) {
        op.penColor = pen->color;
        op.penStyle = pen->penStyle;
        op.penWidth = pen->penWidth;
    }
    sim::Record(*d, op);
    return true;
}

ColorRef GetSysColor(int index) { return sim::SystemColor(index); }

Hbitmap LoadBitmapFromFile(const char* path) {
    std::string bytes;
    if (path == nullptr || !ReadWholeFile(path, &bytes)) return 0;
    sim::GdiObject o;
    o.type = sim::GdiType::Bitmap;
    if (!sim::ParseBmp(bytes, &o.image, nullptr)) return 0;
    // The DIB section made of the file has the full colour table of its depth, black past the
    // entries the file gives (as Wine's GetDIBColorTable shows).
    if (o.image.bitsPerPixel <= 8)
        o.image.colorTable.resize(std::size_t{1} << o.image.bitsPerPixel);
    o.file = sim::Machine::Current().FullPath(path);
    return sim::NewObject(o);
}

bool GetBitmapInfo(Hbitmap bitmap, BitmapInfo* info) {
    sim::GdiObject* o = Object(bitmap);
    if (o == nullptr || o->type != sim::GdiType::Bitmap || info == nullptr) return false;
    info->width = o->image.width;
    info->height = o->image.height;
    info->planes = 1;
    info->bitsPerPixel = static_cast<Uint>(o->image.bitsPerPixel);
    info->widthBytes = ((o->image.width * o->image.bitsPerPixel + 31) / 32) * 4;
    return true;
}

Uint GetDIBColorTable(Hdc dc, Uint start, Uint count, RgbQuad* colors) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr || colors == nullptr) return 0;
    sim::GdiObject* o = Object(d->bitmap);
    if (o == nullptr || o->type != sim::GdiType::Bitmap) return 0;
    const auto& table = o->image.colorTable;
    Uint copied = 0;
    for (Uint i = start; i < table.size() && copied < count; ++i) colors[copied++] = table[i];
    return copied;
}

Hpalette CreatePalette(const PaletteEntry* entries, Uint count) {
    if (entries == nullptr || count == 0 || count > 0xFFFF) return 0;
    sim::GdiObject o;
    o.type = sim::GdiType::Palette;
    o.entries.assign(entries, entries + count);
    return sim::NewObject(o);
}

Hpalette CreateHalftonePalette(Hdc dc) {
    if (dc != 0 && Dc(dc) == nullptr) return 0;
    sim::GdiObject o;
    o.type = sim::GdiType::Palette;
    o.halftone = true;
    // The 6 x 6 x 6 colour cube the halftone palette is built on, then greys.
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                o.entries.push_back(PaletteEntry{static_cast<std::uint8_t>(r * 51),
                                                 static_cast<std::uint8_t>(g * 51),
                                                 static_cast<std::uint8_t>(b * 51), 0});
            }
        }
    }
    while (o.entries.size() < 256) {
        auto grey = static_cast<std::uint8_t>((o.entries.size() - 216) * 6);
        o.entries.push_back(PaletteEntry{grey, grey, grey, 0});
    }
    return sim::NewObject(o);
}

Hpalette SelectPalette(Hdc dc, Hpalette palette, bool forceBackground) {
    (void)forceBackground;
    sim::SimDc* d = Dc(dc);
    sim::GdiObject* o = Object(palette);
    if (d == nullptr || o == nullptr || o->type != sim::GdiType::Palette) return 0;
    Hpalette previous = d->palette;
    d->palette = palette;
    d->paletteRealized = false;
    return previous;
}

Uint RealizePalette(Hdc dc) {
    sim::SimDc* d = Dc(dc);
    if (d == nullptr) return 0xFFFFFFFF;
    d->paletteRealized = true;
    return 0;  // a true-colour screen maps no entry
}

bool BitBlt(Hdc destination, int x, int y, int width, int height, Hdc source, int sourceX,
            int sourceY, Dword rasterOperation) {
    sim::SimDc* to = Dc(destination);
    sim::SimDc* from = Dc(source);
    if (to == nullptr || (source != 0 && from == nullptr)) return false;
    sim::ui::DrawOp op = sim::OpFor(*to, sim::ui::DrawKind::Bitmap);
    // Summed wide and held to an int, as the text calls do: a page can ask for a picture at
    // any position.
    op.rect =
        Rect{x, y, sim::Saturate(std::int64_t{x} + width), sim::Saturate(std::int64_t{y} + height)};
    op.source = Point{sourceX, sourceY};
    op.rasterOperation = rasterOperation;
    if (from != nullptr) {
        if (const sim::GdiObject* bitmap = Object(from->bitmap)) {
            op.file = bitmap->file;
            op.bitsPerPixel = bitmap->image.bitsPerPixel;
        }
    }
    if (const sim::GdiObject* palette = Object(to->palette)) {
        op.paletteEntries = static_cast<int>(palette->entries.size());
        op.palette = palette->entries;
        op.halftonePalette = palette->halftone;
    }
    op.paletteRealized = to->paletteRealized;
    sim::Record(*to, op);
    return true;
}

Hicon LoadSystemIcon(int id) {
    if (id < kIdiApplication || id > kIdiAsterisk + 1) return 0;
    Hicon handle = sim::kSystemIconBase + static_cast<Hicon>(id);
    Ui().icons[handle] = sim::IconObject{id, true};
    return handle;
}

Hicon LoadIconFromResource(int id) { return sim::IconForResource(id); }

Hcursor LoadSystemCursor(int id) {
    if (id < kIdcArrow || id > 32651) return 0;
    return sim::kCursorBase + static_cast<Hcursor>(id);
}

bool DrawIcon(Hdc dc, int x, int y, Hicon icon) {
    sim::SimDc* d = Dc(dc);
    auto found = Ui().icons.find(icon);
    if (d == nullptr || found == Ui().icons.end()) return false;
    sim::ui::DrawOp op = sim::OpFor(*d, sim::ui::DrawKind::Icon);
    op.rect = Rect{x, y, sim::Saturate(std::int64_t{x} + 32), sim::Saturate(std::int64_t{y} + 32)};
    op.iconId = found->second.id;
    op.systemIcon = found->second.system;
    sim::Record(*d, op);
    return true;
}

}  // namespace plat
