// Fonts of the simulated machine, read with FreeType from the same files our Wine prefix uses
// (tests/wine/setup-prefix.sh): Wine's own MS Sans Serif, System, Tahoma and the other faces of
// fonts-wine, and Liberation Sans, Serif and Mono for Arial, Times New Roman and Courier New.
// Glyphs are hinted and rendered in monochrome, as Windows 98 draws them without font
// smoothing, so that widths, line breaks and pixels are Windows's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw.h"

namespace sim {

// TEXTMETRICA's figures, in pixels.
struct FontMetrics {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int averageCharWidth = 0;
    int maxCharWidth = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// Ink of a glyph's pixel, from 0 (none) to kFullInk, in Wine's 17 levels of grey.
constexpr int kFullInk = 16;

// One glyph: `rows` rows of `width` pixels, each its ink (kFullInk throughout in monochrome).
// `left` and `top` place it from the pen position on the baseline (top upward). `advance` is the
// width text measures with; `drawnAdvance` moves the pen when the glyph is drawn.
struct Glyph {
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    int advance = 0;
    int drawnAdvance = 0;
    std::vector<std::uint8_t> ink;
};

// A font as CreateFontIndirect asks for it, resolved to a file and a size once.
class SimFont {
  public:
    const FontMetrics& Metrics() const { return metrics_; }
    // A Windows-1252 character's advance and glyph.
    int Advance(unsigned char c) const;
    const Glyph& GlyphOf(unsigned char c) const;
    // GetTextExtentPoint32's width of a Windows-1252 text.
    int Width(std::string_view text) const;
    // The face actually used (GetTextFace).
    const std::string& FaceName() const { return faceName_; }

  private:
    friend const SimFont& FontFor(const plat::LogFont& font);
    SimFont() = default;
    void Load(const plat::LogFont& font);

    void* face_ = nullptr;   // FT_Face, one per font: each holds its own size
    bool fakeBold_ = false;  // no bold file: emboldened by one pixel, as Windows does
    bool grey_ = false;      // drawn smoothed, in levels of grey
    std::string faceName_;
    FontMetrics metrics_;
    mutable std::vector<Glyph> glyphs_;
    mutable std::vector<bool> loaded_;
};

// The font a LOGFONT stands for, cached for the life of the process.
const SimFont& FontFor(const plat::LogFont& font);

}  // namespace sim
