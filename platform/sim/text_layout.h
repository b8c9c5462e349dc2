// DrawText's line breaking, measured with the fonts: lines end at a line feed, and with
// DT_WORDBREAK at the last blank before the text would pass the rectangle's width (a word
// wider than the rectangle stays whole and sticks out). "&" marks the next character as the
// mnemonic unless DT_NOPREFIX. The layout is shared by the measure (DT_CALCRECT, the height
// returned) and by the drawing, so that both break every line at the same word.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/draw.h"
#include "platform/sim/font_engine.h"

namespace sim {

struct TextLine {
    std::string text;    // as drawn: prefixes removed, tabs kept
    int width = 0;       // in pixels, tabs expanded
    int underline = -1;  // index in `text` of the mnemonic, -1 when none
};

struct TextLayout {
    std::vector<TextLine> lines;
    int lineHeight = 0;
    int widest = 0;
};

TextLayout LayOutText(const SimFont& font, std::string_view text, int width, plat::Uint format);

// The width of a line as drawn, tabs expanded to stops of eight average characters.
int LineWidth(const SimFont& font, std::string_view line, bool expandTabs);

}  // namespace sim
