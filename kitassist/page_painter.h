// Drawing of a kit wizard page on the dialog's client area: the styled text lines of a page
// section (or one fixed text) one below the other, and the page's picture. Nothing is kept
// between drawings: the lines are read from the configuration file every time.
#pragma once

#include <array>
#include <string>

#include "common/bounded_text.h"
#include "common/profile_section.h"
#include "platform/draw.h"
#include "platform/window.h"

struct ColorEntry {
    plat::ColorRef color = 0;
    kit::FixedText<16> name;
};

class CPagePainter {
  public:
    CPagePainter();

    // With a fixed text, draws it as the only line at (30, 120); otherwise lines "1" to "25" of
    // `section` in `iniPath` from ("xt", "yt") of the section (30 and 120 when missing).
    // `kept`, when given, is that section read at the start of the refresh: its lookups answer
    // as the key reads would.
    void DrawLines(plat::Hwnd window, const char* section, const char* iniPath,
                   const char* fixedText, const kit::ProfileSection* kept = nullptr);
    // One line in its band: the background band first when a background colour is named,
    // then the text, vertically centred and aligned 'l', 'm' or 'd'.
    void DrawStyledLine(plat::Hwnd window, const plat::Rect& band, const std::string& text,
                        const char* face, int size, bool bold, bool italic, bool underline,
                        char alignment, const char* textColor, const char* backColor);
    // The .bmp file at (x, y) before scaling, at its own size; nothing when it cannot be read.
    void DrawBitmap(const char* path, plat::Hwnd window, int x, int y);
    // Whole-number scale factors of the screen against 96 dpi; false when one of them had to
    // be raised to 1 (a screen below 96 dpi).
    bool UpdateScale();

    // The colour of a name: the last slot of that name, black when none has it.
    plat::ColorRef ColorOf(const char* name) const;

    double sx = 1;
    double sy = 1;

  private:
    std::array<ColorEntry, 16> m_colors;
};
