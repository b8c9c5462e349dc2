// Fonts of the simulated machine through FreeType: which file a LOGFONT names, at which size,
// with the text metrics Windows reports for it.
#include "platform/sim/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_TRUETYPE_TABLES_H
#include FT_GASP_H

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>

namespace sim {
namespace {

// Where Debian's font packages put the files our Wine prefix copies into its Fonts folder.
constexpr const char* kWineFonts = "/usr/share/wine/fonts/";
constexpr const char* kLiberationFonts = "/usr/share/fonts/truetype/liberation/";

struct FaceFiles {
    const char* name;  // lower case
    const char* folder;
    const char* regular;
    const char* bold;  // null: emboldened from the regular file
    const char* italic;
    const char* boldItalic;
};

const FaceFiles kFaces[] = {
    {"ms sans serif", kWineFonts, "ms_sans_serif.ttf", nullptr, nullptr, nullptr},
    {"arial", kLiberationFonts, "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
     "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"},
    {"times new roman", kLiberationFonts, "LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
     "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf"},
    {"courier new", kLiberationFonts, "LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf",
     "LiberationMono-Italic.ttf", "LiberationMono-BoldItalic.ttf"},
    {"tahoma", kWineFonts, "tahoma.ttf", "tahomabd.ttf", nullptr, nullptr},
    // Wine's System is a bold face of its own: asked for bold, it is not made bolder.
    {"system", kWineFonts, "system.ttf", "system.ttf", nullptr, nullptr},
    {"fixedsys", kWineFonts, "fixedsys.ttf", nullptr, nullptr, nullptr},
    {"courier", kWineFonts, "courier.ttf", nullptr, nullptr, nullptr},
    {"small fonts", kWineFonts, "small_fonts.ttf", nullptr, nullptr, nullptr},
    {"marlett", kWineFonts, "marlett.ttf", nullptr, nullptr, nullptr},
    {"symbol", kWineFonts, "symbol.ttf", nullptr, nullptr, nullptr},
    {"wingdings", kWineFonts, "wingding.ttf", nullptr, nullptr, nullptr},
    {"webdings", kWineFonts, "webdings.ttf", nullptr, nullptr, nullptr},
};

// Names that Windows maps to another face (its FontSubstitutes), and the faces asked for by
// family when the name is unknown.
const FaceFiles& FaceNamed(const std::string& requested, std::uint8_t pitchAndFamily) {
    std::string name;
    for (char c : requested) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // As our Wine prefix substitutes them (MS Shell Dlg is Tahoma there).
    if (name == "ms shell dlg") name = "tahoma";
    if (name == "helv" || name == "helvetica") name = "ms sans serif";
    if (name == "tms rmn" || name == "times") name = "times new roman";
    if (name == "terminal") name = "fixedsys";
    for (const FaceFiles& face : kFaces) {
        if (name == face.name) return face;
    }
    int family = pitchAndFamily & 0xF0;
    if (family == 0x10) return kFaces[2];                                  // FF_ROMAN
    if (family == 0x30 || (pitchAndFamily & 0x03) == 1) return kFaces[3];  // FF_MODERN, fixed
    return kFaces[1];
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) throw std::runtime_error("FreeType does not start");
        return made;
    }();
    return library;
}

// Windows-1252 to Unicode: the 0x80-0x9F block differs from Latin-1.
unsigned CodePoint(unsigned char c) {
    static const unsigned short k80[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return c >= 0x80 && c < 0xA0 ? k80[c - 0x80] : c;
}

int Round26(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

// The pixels per em Windows gives an outline font: a positive height is the whole cell
// (ascent plus descent of the OS/2 table), a negative one the em itself.
int PixelsPerEm(FT_Face face, long height) {
    if (height == 0) height = 16;
    if (height < 0) return static_cast<int>(std::clamp(-height, 1L, 0xFFFFL));
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    long units = os2 != nullptr ? os2->usWinAscent + os2->usWinDescent : 0;
    if (units == 0) units = face->ascender - face->descender;
    long long em = face->units_per_EM;
    long ppem = static_cast<long>((em * height + units / 2) / units);
    if (ppem > 1 && (units * ppem + em / 2) / em > height) --ppem;
    return static_cast<int>(std::clamp(ppem, 1L, 0xFFFFL));
}

}  // namespace

void SimFont::Load(const plat::LogFont& font) {
    const FaceFiles& files = FaceNamed(font.faceName, font.pitchAndFamily);
    bool bold = font.weight >= 600;
    bool italic = font.italic != 0;
    const char* file = files.regular;
    if (bold && italic && files.boldItalic != nullptr) {
        file = files.boldItalic;
    } else if (bold && !italic && files.bold != nullptr) {
        file = files.bold;
    } else if (italic && !bold && files.italic != nullptr) {
        file = files.italic;
    }
    fakeBold_ = bold && files.bold == nullptr;
    std::string path = std::string(files.folder) + file;
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), path.c_str(), 0, &face) != 0) {
        throw std::runtime_error("font file missing: " + path +
                                 " (apt-get install fonts-wine fonts-liberation)");
    }
    face_ = face;
    faceName_ = face->family_name != nullptr ? face->family_name : "";
    long height = font.height;
    FontMetrics& m = metrics_;
    if (!FT_IS_SCALABLE(face)) {
        // A bitmap face: the largest strike that fits the height asked for (the em for a
        // negative height, the cell for a positive one), else the smallest.
        int chosen = -1;
        int best = 0;
        int smallest = -1;
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            const FT_Bitmap_Size& s = face->available_sizes[i];
            int cell = s.height;
            int em = Round26(s.y_ppem) < cell ? Round26(s.y_ppem) : cell;
            int measure = height < 0 ? em : cell;
            long wanted = height == 0 ? 12 : height < 0 ? -height : height;
            if (measure <= wanted && measure > best) {
                best = measure;
                chosen = i;
            }
            if (smallest < 0 || cell < face->available_sizes[smallest].height) smallest = i;
        }
        if (chosen < 0) chosen = smallest;
        FT_Select_Size(face, chosen);
        const FT_Size_Metrics& s = face->size->metrics;
        m.ascent = Round26(s.ascender);
        m.descent = -Round26(s.descender);
        m.height = m.ascent + m.descent;
        // A strike whose em is its whole cell (Wine's MS Sans Serif and System) reports, as
        // the raster fonts they replace, its descent as internal leading.
        int em = Round26(face->available_sizes[chosen].y_ppem);
        m.internalLeading = em < m.height ? m.height - em : m.descent;
    } else {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(PixelsPerEm(face, height)));
        const FT_Size_Metrics& s = face->size->metrics;
        // Wine smooths the faces it finds through fontconfig (the Liberation ones), whatever
        // the prefix's font smoothing, unless the font asks for no smoothing or the face's own
        // table says a size is to be drawn without grey (Liberation Serif up to 17 pixels).
        grey_ = std::string(files.folder) == kLiberationFonts && font.quality != 3 &&
                (FT_Get_Gasp(face, s.y_ppem) & FT_GASP_DO_GRAY) != 0;
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
        long ascent = os2 != nullptr ? os2->usWinAscent : face->ascender;
        long descent = os2 != nullptr ? os2->usWinDescent : -face->descender;
        m.ascent = Round26(FT_MulFix(ascent, s.y_scale));
        m.descent = Round26(FT_MulFix(descent, s.y_scale));
        m.height = m.ascent + m.descent;
        m.internalLeading =
            std::max(0, Round26(FT_MulFix(ascent + descent - face->units_per_EM, s.y_scale)));
        if (hhea != nullptr) {
            long gap = hhea->Line_Gap - ((ascent + descent) - (hhea->Ascender - hhea->Descender));
            m.externalLeading = std::max(0, Round26(FT_MulFix(gap, s.y_scale)));
        }
        if (os2 != nullptr && os2->xAvgCharWidth > 0)
            m.averageCharWidth = Round26(FT_MulFix(os2->xAvgCharWidth, s.x_scale));
        // As Wine: the width of the font's bounding box, the advance of a fixed-pitch face.
        m.maxCharWidth = FT_IS_FIXED_WIDTH(face)
                             ? m.averageCharWidth
                             : Round26(FT_MulFix(face->bbox.xMax - face->bbox.xMin, s.x_scale));
        if (fakeBold_) {
            m.averageCharWidth += 1;
            m.maxCharWidth += 1;
        }
    }
    if (m.averageCharWidth == 0) m.averageCharWidth = Advance('x');
    if (m.maxCharWidth == 0) {
        for (int c = 0x20; c <= 0xFF; ++c)
            m.maxCharWidth = std::max(m.maxCharWidth, Advance(static_cast<unsigned char>(c)));
    }
    m.weight = bold ? 700 : 400;
    m.italic = italic;
    m.underline = font.underline != 0;
    m.strikeOut = font.strikeOut != 0;
}

const Glyph& SimFont::GlyphOf(unsigned char c) const {
    if (glyphs_.empty()) {
        glyphs_.resize(256);
        loaded_.assign(256, false);
    }
    Glyph& g = glyphs_[c];
    if (loaded_[c]) return g;
    loaded_[c] = true;
    auto face = static_cast<FT_Face>(face_);
    FT_UInt index = FT_Get_Char_Index(face, CodePoint(c));
    // Symbol faces (Marlett, Wingdings) put their glyphs at U+F000 plus the character.
    if (index == 0 && face->charmap != nullptr && face->charmap->encoding == FT_ENCODING_MS_SYMBOL)
        index = FT_Get_Char_Index(face, 0xF000u + c);
    // Wine measures text with the advances of FreeType's default hinting, but draws a text
    // glyph after glyph with the monochrome rendering of each, moving the pen by that
    // rendering's own advance (rounded up), which the monochrome hinting of an outline face
    // often makes one pixel narrower or wider: a line is as wide as measured only roughly.
    // An outline face's embedded bitmaps (Tahoma has some) are not used: Wine draws outlines.
    FT_Int noBitmap = FT_IS_SCALABLE(face) ? FT_LOAD_NO_BITMAP : 0;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | noBitmap) != 0) return g;
    int advance = Round26(face->glyph->advance.x);
    FT_Int drawn = grey_ ? FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL | noBitmap
                         : FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME | noBitmap;
    if (FT_Load_Glyph(face, index, drawn) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    if (fakeBold_) FT_Bitmap_Embolden(Library(), &slot->bitmap, 1 << 6, 0);
    const FT_Bitmap& b = slot->bitmap;
    g.width = static_cast<int>(b.width);
    g.rows = static_cast<int>(b.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = advance + (fakeBold_ ? 1 : 0);
    g.drawnAdvance = static_cast<int>((slot->metrics.horiAdvance + 63) >> 6) + (fakeBold_ ? 1 : 0);
    g.ink.assign(static_cast<std::size_t>(g.width) * g.rows, 0);
    for (int y = 0; y < g.rows; ++y) {
        const unsigned char* row = b.buffer + static_cast<std::ptrdiff_t>(y) * b.pitch;
        for (int x = 0; x < g.width; ++x) {
            int level = b.pixel_mode == FT_PIXEL_MODE_MONO
                            ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * kFullInk
                        : grey_ ? (row[x] * kFullInk + 128) / 256  // Wine's 17 levels
                                : (row[x] >= 128 ? kFullInk : 0);
            g.ink[static_cast<std::size_t>(y) * g.width + x] = static_cast<std::uint8_t>(level);
        }
    }
    return g;
}

int SimFont::Advance(unsigned char c) const { return GlyphOf(c).advance; }

int SimFont::Width(std::string_view text) const {
    int width = 0;
    for (char c : text) width += Advance(static_cast<unsigned char>(c));
    return width;
}

const SimFont& FontFor(const plat::LogFont& font) {
    static std::map<std::string, std::unique_ptr<SimFont>> cache;
    std::string key = std::to_string(font.height) + '/' + std::to_string(font.weight >= 600) + '/' +
                      std::to_string(font.italic != 0) + '/' + std::to_string(font.underline != 0) +
                      '/' + std::to_string(font.strikeOut != 0) + '/' +
                      std::to_string(font.pitchAndFamily) + '/' +
                      std::to_string(font.quality == 3) + '/' + font.faceName;
    std::unique_ptr<SimFont>& slot = cache[key];
    if (!slot) {
        slot.reset(new SimFont());
        slot->Load(font);
    }
    return *slot;
}

}  // namespace sim
