// The in-line style codes of a page text line: "#" followed by one or two characters, found
// anywhere in the line. Reading them gives the line's style; stripping them leaves the text
// that is drawn.
#pragma once

#include <string>
#include <string_view>

#include "common/bounded_text.h"

namespace kitassist {

struct LineStyle {
    kit::FixedText<32> face;  // empty: the platform's variable-pitch serif face
    int size = 10;            // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    char alignment = 'l';  // 'l' left, 'm' centred, 'd' right
    kit::FixedText<16> textColor{"noir"};
    kit::FixedText<16> backColor;  // empty: no background band
};

// The style that the codes of `line` give. Each code counts once wherever it stands; within a
// group (faces, sizes, alignments, text colours, background colours) the code examined last
// wins.
LineStyle ReadLineStyle(std::string_view line);

// The line without its codes: every code is removed, one code after the other, each as long as
// it occurs (so one that a removal brings together goes too). Any other text that begins with
// "#" stays. A line left with nothing but "§" becomes one blank, so that it still shows its
// background band.
std::string StripLineCodes(std::string_view line);

}  // namespace kitassist
