// The "General" section of the step file: the window's size, the page area, the three
// buttons' positions, the decoration bitmaps and the title.
#pragma once

#include <string>

#include "common/bounded_text.h"
#include "platform/draw.h"

namespace cnx {

constexpr int kMaxBitmaps = 20;

struct BitmapEntry {
    kit::FixedText<128> fileName;
    int x = 0;
    int y = 0;
    plat::Hbitmap bitmap = 0;
};

struct GeneralConfig {
    int tx = -1, ty = -1, tl = -1, th = -1;
    int cx = -1, cy = -1, cl = -1, ch = -1;
    int precx = -1, precy = -1, suivx = -1, suivy = -1, quitx = -1, quity = -1;
    int nbBitmaps = 0;
    BitmapEntry bitmaps[kMaxBitmaps];
    kit::FixedText<256> titre;
};

// Reads the section in the stated order and loads the bitmaps (file names relative to the
// working directory). False at the first missing value, a bitmap that cannot be loaded, or more
// than 20 bitmaps; bitmaps loaded before that are released.
bool ReadGeneral(const std::string& iniPath, GeneralConfig* config);
void ReleaseBitmaps(GeneralConfig* config);

// The page area: Cx, Cy, Cx + Cl, Cy + Ch, each sum held to an int, so that a step file of
// absurd sizes gives an absurd area rather than an overflow.
plat::Rect PageArea(const GeneralConfig& config);

}  // namespace cnx
