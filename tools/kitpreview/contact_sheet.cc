// The contact sheet: every page at half size in rows of four, captioned with its name; a page
// with findings framed in red, the findings written below it.
#include <algorithm>

#include "platform/draw.h"
#include "platform/sim/image.h"
#include "platform/sim/text_layout.h"
#include "tools/kitpreview/kit_preview.h"

namespace kitpreview {
namespace {

constexpr int kColumns = 4;
constexpr int kGap = 16;
constexpr std::uint32_t kSheet = 0xD8D8D8;
constexpr std::uint32_t kRed = 0xC00000;

sim::Image HalfSize(const sim::Image& full) {
    sim::Image half(full.width / 2, full.height / 2);
    for (int y = 0; y < half.height; ++y) {
        for (int x = 0; x < half.width; ++x) {
            std::uint32_t sum[3] = {0, 0, 0};
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    std::uint32_t p = full.At(2 * x + dx, 2 * y + dy);
                    sum[0] += (p >> 16) & 0xFF;
                    sum[1] += (p >> 8) & 0xFF;
                    sum[2] += p & 0xFF;
                }
            }
            half.Put(x, y, ((sum[0] / 4) << 16) | ((sum[1] / 4) << 8) | (sum[2] / 4));
        }
    }
    return half;
}

plat::LogFont Font(plat::Long height, plat::Long weight) {
    plat::LogFont font;
    font.height = height;
    font.weight = weight;
    plat::SetFaceName(&font, "Arial");
    return font;
}

// Text in monochrome at (x, y), broken at words to `width`; returns the height used.
int Write(sim::Image& sheet, const plat::LogFont& logFont, const std::string& text, int x, int y,
          int width, std::uint32_t color) {
    const sim::SimFont& font = sim::FontFor(logFont);
    sim::TextLayout layout =
        sim::LayOutText(font, text, width, plat::kDtWordBreak | plat::kDtNoPrefix);
    int top = y;
    for (const sim::TextLine& line : layout.lines) {
        int pen = x;
        for (char c : line.text) {
            const sim::Glyph& g = font.GlyphOf(static_cast<unsigned char>(c));
            for (int row = 0; row < g.rows; ++row) {
                for (int col = 0; col < g.width; ++col) {
                    // A smoothed glyph's faint edge is left out: the sheet's captions are plain.
                    if (g.ink[static_cast<std::size_t>(row) * g.width + col] > sim::kFullInk / 2)
                        sheet.Put(pen + g.left + col, top + font.Metrics().ascent - g.top + row,
                                  color);
                }
            }
            pen += g.drawnAdvance;
        }
        top += layout.lineHeight;
    }
    return top - y;
}

}  // namespace

bool WriteContactSheet(const std::vector<PagePicture>& pages, const std::string& sheetFile,
                       std::string* error) {
    std::vector<sim::Image> thumbs;
    int cellWidth = 200;
    int thumbHeight = 0;
    for (const PagePicture& page : pages) {
        sim::Image full;
        if (!sim::ReadPng(page.file, &full, error)) return false;
        thumbs.push_back(HalfSize(full));
        cellWidth = std::max(cellWidth, thumbs.back().width);
        thumbHeight = std::max(thumbHeight, thumbs.back().height);
    }
    const plat::LogFont caption = Font(-13, plat::kFwBold);
    const plat::LogFont note = Font(-11, plat::kFwNormal);
    // Each row is as tall as its tallest cell: picture, caption, findings.
    std::vector<int> rowHeights;
    for (std::size_t first = 0; first < pages.size(); first += kColumns) {
        int tallest = 0;
        for (std::size_t i = first; i < std::min(pages.size(), first + kColumns); ++i) {
            sim::Image scratch(1, 1);
            int notes = 0;
            if (!pages[i].shownOn.empty())
                notes += Write(scratch, note, pages[i].shownOn, 0, 0, cellWidth, 0);
            for (const std::string& f : pages[i].findings)
                notes += Write(scratch, note, f, 0, 0, cellWidth, kRed);
            tallest = std::max(tallest, thumbHeight + 20 + notes);
        }
        rowHeights.push_back(tallest);
    }
    int columns = std::min<int>(kColumns, std::max<int>(1, static_cast<int>(pages.size())));
    int height = kGap;
    for (int h : rowHeights) height += h + kGap;
    sim::Image sheet(kGap + columns * (cellWidth + kGap), height, kSheet);
    int y = kGap;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        int column = static_cast<int>(i % kColumns);
        if (i > 0 && column == 0) y += rowHeights[i / kColumns - 1] + kGap;
        int x = kGap + column * (cellWidth + kGap);
        const sim::Image& thumb = thumbs[i];
        sheet.Paste(thumb, x, y);
        bool flagged = !pages[i].findings.empty();
        if (flagged) {
            for (int t = 1; t <= 3; ++t) {
                sheet.Fill(plat::Rect{x - t, y - t, x + thumb.width + t, y - t + 1}, kRed);
                sheet.Fill(plat::Rect{x - t, y + thumb.height + t - 1, x + thumb.width + t,
                                      y + thumb.height + t},
                           kRed);
                sheet.Fill(plat::Rect{x - t, y - t, x - t + 1, y + thumb.height + t}, kRed);
                sheet.Fill(plat::Rect{x + thumb.width + t - 1, y - t, x + thumb.width + t,
                                      y + thumb.height + t},
                           kRed);
            }
        }
        int below = y + thumb.height + 4;
        below += Write(sheet, caption, pages[i].name, x, below, cellWidth, flagged ? kRed : 0);
        // Only some PCs show it: which ones.
        if (!pages[i].shownOn.empty())
            below += Write(sheet, note, pages[i].shownOn, x, below, cellWidth, 0);
        for (const std::string& f : pages[i].findings)
            below += Write(sheet, note, f, x, below, cellWidth, kRed);
    }
    return sim::WritePng(sheet, sheetFile, error);
}

}  // namespace kitpreview
