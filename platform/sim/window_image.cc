// Rendering the headless windows. The looks follow Wine's classic (non-themed) drawing with
// the Windows 98 standard scheme: 3D edges of two one-pixel rings, monochrome text, dotted
// focus rectangles that invert the face, disabled text embossed in white and grey.
#include "platform/sim/window_image.h"

#include <map>
#include <string>

#include "platform/draw.h"
#include "platform/files.h"
#include "platform/sim/bmp_file.h"
#include "platform/sim/font_engine.h"
#include "platform/sim/machine.h"
#include "platform/sim/text_layout.h"
#include "platform/sim/window_system.h"

namespace sim {
namespace {

using namespace plat;

std::uint32_t Sys(int index) { return FromColorRef(GetSysColor(index)); }
constexpr int kColor3dDkShadow = 21;
constexpr int kColor3dLight = 22;
constexpr int kColorBtnHighlight = 20;
constexpr int kColorGradientActiveCaption = 27;

Rect Offset(Rect r, int dx, int dy) {
    return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
Rect Inset(Rect r, int by) { return Rect{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// One ring of a 3D edge: top and left in `topLeft`, bottom and right (corners included) in
// `bottomRight`.
void Ring(Image& img, const Rect& r, std::uint32_t topLeft, std::uint32_t bottomRight) {
    img.Fill(Rect{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    img.Fill(Rect{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    img.Fill(Rect{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    img.Fill(Rect{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void RaisedEdge(Image& img, const Rect& r) {
    Ring(img, r, Sys(kColorBtnHighlight), Sys(kColor3dDkShadow));
    Ring(img, Inset(r, 1), Sys(kColor3dLight), Sys(kColorBtnShadow));
}

void SunkenEdge(Image& img, const Rect& r) {
    Ring(img, r, Sys(kColorBtnShadow), Sys(kColorBtnHighlight));
    Ring(img, Inset(r, 1), Sys(kColor3dDkShadow), Sys(kColor3dLight));
}

void FocusRect(Image& img, const Rect& r) {
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) != 0 || x < 0 || y < 0 || x >= img.width || y >= img.height) return;
        img.Put(x, y, img.At(x, y) ^ 0xFFFFFF);
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        dot(r.left, y);
        dot(r.right - 1, y);
    }
}

// A pixel of a smoothed glyph's edge, `ink` of kFullInk, as Wine blends the text colour into
// what lies below: each channel moved toward the text's through a fixed gamma ramp.
std::uint32_t Smoothed(std::uint32_t below, std::uint32_t text, int ink) {
    static const int kRamp[kFullInk + 1] = {0x00, 0x4d, 0x68, 0x7c, 0x8c, 0x9a, 0xa7, 0xb2, 0xbd,
                                            0xc7, 0xd0, 0xd9, 0xe1, 0xe9, 0xf0, 0xf8, 0xff};
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int dst = static_cast<int>((below >> shift) & 0xFF);
        int txt = static_cast<int>((text >> shift) & 0xFF);
        int low = kRamp[ink] * txt / 0xFF;
        int high = kRamp[kFullInk - ink] + (0xFF - kRamp[kFullInk - ink]) * txt / 0xFF;
        int v = dst;
        if (dst > txt) v = txt + (dst - txt) * (high - txt) / (0xFF - txt);
        if (dst < txt) v = txt - (txt - dst) * (txt - low) / txt;
        out |= static_cast<std::uint32_t>(v) << shift;
    }
    return out;
}

// One line of text with its pen at (x, top of the cell).
void DrawLine(Image& img, const SimFont& font, const TextLine& line, int x, int top,
              std::uint32_t color, bool expandTabs) {
    const FontMetrics& m = font.Metrics();
    int baseline = top + m.ascent;
    int pen = x;
    int underlineFrom = -1;
    int underlineTo = -1;
    for (std::size_t i = 0; i < line.text.size(); ++i) {
        auto c = static_cast<unsigned char>(line.text[i]);
        int start = pen;
        if (c == '\t' && expandTabs) {
            int stop = 8 * m.averageCharWidth;
            pen = stop > 0 ? x + ((pen - x) / stop + 1) * stop : pen;
        } else {
            const Glyph& g = font.GlyphOf(c);
            for (int row = 0; row < g.rows; ++row) {
                for (int col = 0; col < g.width; ++col) {
                    int ink = g.ink[static_cast<std::size_t>(row) * g.width + col];
                    int px = pen + g.left + col;
                    int py = baseline - g.top + row;
                    // As Wine's drawing: the faintest level leaves the pixel as it was.
                    if (ink <= 1 || px < 0 || py < 0 || px >= img.width || py >= img.height)
                        continue;
                    img.Put(px, py, ink >= kFullInk ? color : Smoothed(img.At(px, py), color, ink));
                }
            }
            pen += g.drawnAdvance;
        }
        if (static_cast<int>(i) == line.underline) {
            underlineFrom = start;
            underlineTo = pen;
        }
    }
    if (m.underline) img.Fill(Rect{x, baseline + 1, pen, baseline + 2}, color);
    if (m.strikeOut) {
        int y = baseline - m.ascent / 3;
        img.Fill(Rect{x, y, pen, y + 1}, color);
    }
    if (underlineFrom >= 0)
        img.Fill(Rect{underlineFrom, baseline + 1, underlineTo, baseline + 2}, color);
}

struct TextStyle {
    std::uint32_t color = 0;
    bool opaque = false;
    std::uint32_t background = 0;
    bool disabled = false;  // embossed: white one pixel down and right, then grey
};

// DrawText into `rect` (picture coordinates).
void DrawTextIn(Image& img, const LogFont& logFont, const std::string& text, const Rect& rect,
                Uint format, const TextStyle& style) {
    const SimFont& font = FontFor(logFont);
    TextLayout layout = LayOutText(font, text, rect.right - rect.left, format);
    Rect saved = img.clip;
    if (!(format & kDtNoClip)) {
        img.clip = Rect{std::max(saved.left, rect.left), std::max(saved.top, rect.top),
                        std::min(saved.right, rect.right), std::min(saved.bottom, rect.bottom)};
    }
    int y = rect.top;
    int total = static_cast<int>(layout.lines.size()) * layout.lineHeight;
    if (format & kDtSingleLine) {
        // As Wine: half the rectangle less half the text, each halved on its own.
        if (format & kDtVCenter) y = rect.top + (rect.bottom - rect.top) / 2 - total / 2;
        if (format & kDtBottom) y = rect.bottom - total;
    }
    bool tabs = (format & kDtExpandTabs) != 0;
    for (const TextLine& line : layout.lines) {
        int x = rect.left;
        if (format & kDtCenter)
            x = rect.left + (rect.right - rect.left - line.width) / 2;
        else if (format & kDtRight)
            x = rect.right - line.width;
        if (style.opaque)
            img.Fill(Rect{x, y, x + line.width, y + layout.lineHeight}, style.background);
        if (style.disabled) {
            DrawLine(img, font, line, x + 1, y + 1, Sys(kColorBtnHighlight), tabs);
            DrawLine(img, font, line, x, y, Sys(kColorBtnShadow), tabs);
        } else {
            DrawLine(img, font, line, x, y, style.color, tabs);
        }
        y += layout.lineHeight;
    }
    img.clip = saved;
}

struct Picture {
    bool ok = false;
    BmpImage header;
    std::vector<std::uint32_t> pixels;
};

const Picture& PictureOf(const std::string& windowsPath) {
    static std::map<std::string, Picture> cache;
    auto found = cache.find(windowsPath);
    if (found != cache.end()) return found->second;
    Picture& p = cache[windowsPath];
    std::string bytes;
    p.ok = ReadWholeFile(windowsPath.c_str(), &bytes) && ParseBmp(bytes, &p.header, nullptr) &&
           DecodeBmpPixels(bytes, p.header, &p.pixels);
    return p;
}

void ReplayOp(Image& img, const ui::DrawOp& op, int ox, int oy) {
    Rect r = Offset(op.rect, ox, oy);
    switch (op.kind) {
        case ui::DrawKind::EraseBackground:
        case ui::DrawKind::FillRect:
            if (!op.hollowBrush) img.Fill(r, FromColorRef(op.brushColor));
            break;
        case ui::DrawKind::Rectangle: {
            bool pen = op.penStyle != kPsNull;
            if (!op.hollowBrush) {
                img.Fill(pen ? Inset(r, 1) : Rect{r.left, r.top, r.right - 1, r.bottom - 1},
                         FromColorRef(op.brushColor));
            }
            if (pen) {
                int w = std::max(1, op.penWidth);
                std::uint32_t c = FromColorRef(op.penColor);
                for (int i = 0; i < w; ++i) Ring(img, Inset(r, i), c, c);
            }
            break;
        }
        case ui::DrawKind::Text: {
            TextStyle style{FromColorRef(op.textColor), op.bkMode == kOpaque,
                            FromColorRef(op.bkColor), false};
            DrawTextIn(img, op.font, op.text, r, op.format, style);
            break;
        }
        case ui::DrawKind::TextOut: {
            TextStyle style{FromColorRef(op.textColor), op.bkMode == kOpaque,
                            FromColorRef(op.bkColor), false};
            DrawTextIn(img, op.font, op.text, Rect{r.left, r.top, r.left + 0x10000, r.bottom},
                       kDtSingleLine | kDtNoPrefix | kDtNoClip, style);
            break;
        }
        case ui::DrawKind::Bitmap: {
            const Picture& p = PictureOf(op.file);
            if (!p.ok) break;
            for (int y = r.top; y < r.bottom; ++y) {
                int sy = op.source.y + (y - r.top);
                for (int x = r.left; x < r.right; ++x) {
                    int sx = op.source.x + (x - r.left);
                    bool inside = sx >= 0 && sy >= 0 && sx < p.header.width && sy < p.header.height;
                    img.Put(
                        x, y,
                        inside ? p.pixels[static_cast<std::size_t>(sy) * p.header.width + sx] : 0);
                }
            }
            break;
        }
        case ui::DrawKind::Icon:
            break;  // the predefined icons are Wine's own pictures: not drawn here
    }
}

LogFont FontOfWindow(const SimWindow& w) {
    if (w.font != 0) {
        if (const GdiObject* o = FindGdiObject(w.font)) return o->font;
    }
    LogFont system;
    system.height = 16;
    system.weight = kFwBold;
    SetFaceName(&system, "System");
    return system;
}

void DrawButton(Image& img, const SimWindow& w, const Rect& r, bool focused) {
    Dword type = w.style & kBsTypeMask;
    bool enabled = EnabledWithAncestors(w);
    TextStyle text{Sys(kColorBtnText), false, 0, !enabled};
    LogFont font = FontOfWindow(w);
    Dword align = w.style & kBsCenter;
    bool multi = (w.style & kBsMultiLine) != 0;
    if (type == kBsPushButton || type == kBsDefPushButton) {
        img.Fill(r, Sys(kColorBtnFace));
        Rect frame = r;
        if (type == kBsDefPushButton) {
            Ring(img, r, Sys(kColorWindowFrame), Sys(kColorWindowFrame));
            frame = Inset(r, 1);
        }
        RaisedEdge(img, frame);
        Uint format = (align == kBsLeft    ? kDtLeft
                       : align == kBsRight ? kDtRight
                                           : kDtCenter) |
                      (multi ? kDtWordBreak : kDtSingleLine | kDtVCenter);
        Rect label = Inset(frame, 2);
        if (multi) {
            Rect measure = label;
            int h =
                LayOutText(FontFor(font), w.text, label.right - label.left, format).lines.size() *
                FontFor(font).Metrics().height;
            measure.top = label.top + (label.bottom - label.top - h) / 2;
            label = measure;
        }
        DrawTextIn(img, font, w.text, label, format, text);
        if (focused) FocusRect(img, Inset(frame, 2 + (type == kBsDefPushButton ? 1 : 1)));
        return;
    }
    if (type == kBsGroupBox) {
        const SimFont& f = FontFor(font);
        int half = f.Metrics().height / 2;
        Rect box{r.left, r.top + half, r.right, r.bottom};
        Ring(img, box, Sys(kColorBtnShadow), Sys(kColorBtnHighlight));
        Ring(img, Inset(box, 1), Sys(kColorBtnHighlight), Sys(kColorBtnShadow));
        int width = f.Width(w.text);
        if (width > 0) {
            Rect label{r.left + 8, r.top, r.left + 8 + width + 4, r.top + f.Metrics().height};
            img.Fill(label, Sys(kColorBtnFace));
            DrawTextIn(img, font, w.text, Offset(label, 2, 0), kDtSingleLine, text);
        }
        return;
    }
    // Check boxes and radio buttons: a 13-pixel box, the text four pixels after it.
    img.Fill(r, Sys(kColorBtnFace));
    const int box = 13;
    int top = r.top + (r.bottom - r.top - box) / 2;
    Rect mark{r.left, top, r.left + box, top + box};
    bool radio = type == kBsRadioButton || type == kBsAutoRadioButton;
    std::uint32_t inside = enabled ? Sys(kColorWindow) : Sys(kColorBtnFace);
    if (radio) {
        // The classic round button of 12 pixels as Wine draws it, one pixel right of and below
        // the 13-pixel box: grey and black arcs above, white and light grey below, a round dot
        // when checked.
        static const char* const kRadio[12] = {
            "....GGGG....", "..GGKKKKGG..", ".GGK    KLW.", ".GK      LW.",
            "GK        LW", "GK        LW", "GK        LW", "GK        LW",
            ".GK      LW.", ".WWL    LWW.", "..WWLLLLWW..", "....WWWW....",
        };
        static const char* const kDot[4] = {" XX ", "XXXX", "XXXX", " XX "};
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                char c = kRadio[y][x];
                std::uint32_t color = c == 'G'   ? Sys(kColorBtnShadow)
                                      : c == 'K' ? Sys(kColor3dDkShadow)
                                      : c == 'W' ? Sys(kColorBtnHighlight)
                                      : c == 'L' ? Sys(kColor3dLight)
                                      : c == ' ' ? inside
                                                 : Sys(kColorBtnFace);
                if (w.check == 1 && y >= 4 && y < 8 && x >= 4 && x < 8 && kDot[y - 4][x - 4] == 'X')
                    color = Sys(kColorBtnText);
                img.Put(mark.left + 1 + x, mark.top + 1 + y, color);
            }
        }
    } else {
        img.Fill(Inset(mark, 2), inside);
        SunkenEdge(img, mark);
        if (w.check != 0) {
            // The tick: seven columns, three pixels high each.
            for (int i = 0; i < 7; ++i) {
                int y = mark.top + 3 + (i < 3 ? 2 + i : 6 - i);
                img.Fill(Rect{mark.left + 3 + i, y, mark.left + 4 + i, y + 3}, Sys(kColorBtnText));
            }
        }
    }
    // The label four pixels after the box; Wine puts a radio button's one more to the right.
    Rect label{mark.right + (radio ? 5 : 4), r.top, r.right, r.bottom};
    Uint format = multi ? kDtWordBreak : kDtSingleLine | kDtVCenter;
    const SimFont& f = FontFor(font);
    TextLayout layout = LayOutText(f, w.text, label.right - label.left, format);
    if (multi) {
        int h = static_cast<int>(layout.lines.size()) * f.Metrics().height;
        label.top = r.top + (r.bottom - r.top - h) / 2;
    }
    DrawTextIn(img, font, w.text, label, format, text);
    if (focused && !w.text.empty()) {
        int h = static_cast<int>(layout.lines.size()) * f.Metrics().height;
        int y = multi ? label.top : r.top + (r.bottom - r.top - h) / 2;
        FocusRect(img, Rect{label.left - 1, y - 1, label.left + layout.widest + 1, y + h + 1});
    }
}

void DrawEdit(Image& img, const SimWindow& w, const Rect& r, const Rect& client) {
    bool enabled = EnabledWithAncestors(w);
    bool readOnly = (w.style & 0x0800) != 0;  // ES_READONLY
    img.Fill(r, enabled && !readOnly ? Sys(kColorWindow) : Sys(kColorBtnFace));
    if (w.exStyle & kWsExClientEdge) {
        SunkenEdge(img, r);
    } else if (w.style & kWsBorder) {
        Ring(img, r, Sys(kColorWindowFrame), Sys(kColorWindowFrame));
    }
    std::string shown = w.text;
    if (w.style & kEsPassword) shown.assign(w.text.size(), '*');
    LogFont font = FontOfWindow(w);
    Uint format = kDtNoPrefix | kDtSingleLine;
    if (w.style & kEsCenter)
        format |= kDtCenter;
    else if (w.style & kEsRight)
        format |= kDtRight;
    if (w.style & kEsMultiLine) format = kDtNoPrefix | kDtWordBreak;
    Rect text{client.left + 1, client.top + 1, client.right - 1, client.bottom};
    DrawTextIn(img, font, shown, text, format,
               TextStyle{enabled ? Sys(kColorWindowText) : Sys(kColorGrayText), false, 0, false});
}

void DrawStatic(Image& img, const SimWindow& w, const Rect& r) {
    Dword type = w.style & 0x1F;
    if (type == kSsIcon) return;  // Wine's own pictures: not drawn
    img.Fill(r, Sys(kColorBtnFace));
    Uint format = kDtExpandTabs;
    if (type == kSsCenter)
        format |= kDtCenter | kDtWordBreak;
    else if (type == kSsRight)
        format |= kDtRight | kDtWordBreak;
    else if (type == kSsLeft)
        format |= kDtWordBreak;
    else if (type == 0x0B)
        format |= kDtSingleLine;  // SS_SIMPLE
    else if (type == 0x0C)
        format = kDtExpandTabs;  // SS_LEFTNOWORDWRAP
    else
        return;
    if (w.style & 0x80) format |= kDtNoPrefix;  // SS_NOPREFIX
    DrawTextIn(img, FontOfWindow(w), w.text, r, format,
               TextStyle{Sys(kColorWindowText), false, 0, !EnabledWithAncestors(w)});
}

// Draws `w` with its client origin at (ox, oy) of the picture, then its children.
void Draw(Image& img, const SimWindow& w, int ox, int oy) {
    Rect insets = FrameInsets(w);
    Rect client = ClientRect(w);
    Rect whole{ox - insets.left, oy - insets.top, ox + client.right + insets.right,
               oy + client.bottom + insets.bottom};
    Rect saved = img.clip;
    img.clip = Rect{std::max(saved.left, whole.left), std::max(saved.top, whole.top),
                    std::min(saved.right, whole.right), std::min(saved.bottom, whole.bottom)};
    bool focused = Ui().focus == w.handle;
    switch (w.kind) {
        case WindowKind::Button:
            DrawButton(img, w, whole, focused);
            break;
        case WindowKind::Edit:
            DrawEdit(img, w, whole, Offset(client, ox, oy));
            break;
        case WindowKind::Static:
            DrawStatic(img, w, whole);
            break;
        case WindowKind::Dialog:
            img.Fill(Offset(client, ox, oy), Sys(kColorBtnFace));
            break;
        default:
            break;
    }
    Rect inner = Offset(client, ox, oy);
    img.clip = Rect{std::max(img.clip.left, inner.left), std::max(img.clip.top, inner.top),
                    std::min(img.clip.right, inner.right), std::min(img.clip.bottom, inner.bottom)};
    for (const ui::DrawOp& op : w.drawLog) ReplayOp(img, op, ox, oy);
    // The first child is on top: draw from the last.
    for (auto it = w.children.rbegin(); it != w.children.rend(); ++it) {
        const SimWindow* child = FindWindowRecord(*it);
        if (child == nullptr || !(child->style & kWsVisible)) continue;
        Rect childInsets = FrameInsets(*child);
        Draw(img, *child, ox + child->rect.left + childInsets.left,
             oy + child->rect.top + childInsets.top);
    }
    img.clip = saved;
}

void DrawFrame(Image& img, const SimWindow& w) {
    Rect insets = FrameInsets(w);
    Rect all{0, 0, img.width, img.height};
    img.Fill(all, Sys(kColorActiveBorder));
    int border = insets.left;
    if (border >= 2)
        RaisedEdge(img, all);
    else if (border == 1)
        Ring(img, all, Sys(kColorWindowFrame), Sys(kColorWindowFrame));
    if ((w.style & kWsCaption) != kWsCaption) return;
    Rect bar{border, border, img.width - border, insets.top - 1};
    bool active = Ui().active == w.handle || Ui().active == 0;
    std::uint32_t from = active ? Sys(kColorActiveCaption) : Sys(kColorInactiveCaption);
    std::uint32_t to = active ? Sys(kColorGradientActiveCaption) : Sys(30);
    int width = std::max(1, bar.right - bar.left);
    for (int x = bar.left; x < bar.right; ++x) {
        auto mix = [&](int shift) {
            int a = static_cast<int>((from >> shift) & 0xFF);
            int b = static_cast<int>((to >> shift) & 0xFF);
            return static_cast<std::uint32_t>(a + (b - a) * (x - bar.left) / width) << shift;
        };
        img.Fill(Rect{x, bar.top, x + 1, bar.bottom}, mix(16) | mix(8) | mix(0));
    }
    LogFont title;
    title.height = -11;
    title.weight = kFwBold;
    SetFaceName(&title, "MS Sans Serif");
    DrawTextIn(img, title, w.text, Rect{bar.left + 2, bar.top, bar.right - 20, bar.bottom},
               kDtSingleLine | kDtVCenter | kDtNoPrefix,
               TextStyle{active ? Sys(kColorCaptionText) : Sys(19), false, 0, false});
    if (w.style & 0x00080000) {  // WS_SYSMENU: the close box, 16 x 14, a cross from Marlett
        Rect box{bar.right - 18, bar.top + 2, bar.right - 2, bar.top + 16};
        img.Fill(box, Sys(kColorBtnFace));
        RaisedEdge(img, box);
        LogFont marlett;
        marlett.height = -9;
        SetFaceName(&marlett, "Marlett");
        DrawTextIn(img, marlett, "r", box, kDtSingleLine | kDtCenter | kDtVCenter | kDtNoPrefix,
                   TextStyle{Sys(kColorBtnText), false, 0, false});
    }
}

}  // namespace

Image RenderClientArea(Hwnd window) {
    const SimWindow* w = FindWindowRecord(window);
    if (w == nullptr) return Image();
    Rect client = ClientRect(*w);
    Image img(client.right, client.bottom, Sys(kColorBtnFace));
    Draw(img, *w, 0, 0);
    return img;
}

Image RenderWholeWindow(Hwnd window) {
    const SimWindow* w = FindWindowRecord(window);
    if (w == nullptr) return Image();
    Image img(w->rect.right - w->rect.left, w->rect.bottom - w->rect.top, Sys(kColorBtnFace));
    DrawFrame(img, *w);
    Rect insets = FrameInsets(*w);
    Draw(img, *w, insets.left, insets.top);
    return img;
}

}  // namespace sim
