// The page items drawn on the wizard window: plain text, text in a font of its own, and a
// predefined icon. They are drawn again on every repaint and painted over when the page goes.
#include <cstring>

#include "cnxassist/page_items.h"
#include "cnxassist/page_scan.h"

namespace {

using cnx::page::ExpectWord;
using cnx::page::ReadNumber;
using cnx::page::ReadQuoted;
using cnx::page::SkipBlanks;

// Black, wrapped at word ends, over whatever the page shows behind.
void DrawPageText(plat::Hdc dc, const std::string& text, const PageBox& box) {
    plat::Rect bounds = box.Bounds();
    plat::SetTextColor(dc, plat::Rgb(0, 0, 0));
    plat::SetBkMode(dc, plat::kTransparent);
    plat::DrawText(dc, text.c_str(), -1, &bounds, plat::kDtWordBreak);
}

// ws "," then digits at once: the numeric fields of a "ttexte" item.
const char* ReadFontNumber(const char* p, std::int32_t* value) {
    return ReadNumber(ExpectWord(SkipBlanks(p), ","), value);
}

struct IconName {
    const char* name;
    int id;
};
constexpr IconName kIconNames[] = {{"application", plat::kIdiApplication},
                                   {"hand", plat::kIdiHand},
                                   {"question", plat::kIdiQuestion},
                                   {"exclamation", plat::kIdiExclamation},
                                   {"asterisk", plat::kIdiAsterisk}};

}  // namespace

void CPageDrawing::Hide(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical,
                        plat::ColorRef background) {
    PaintOver(dc, *pageRect, *logical, background);
}

void CPageCTexte::Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) {
    DrawPageText(dc, m_text, Map(*pageRect, *logical));
}

plat::LogFont CPageTTexte::FontFor(plat::Hdc dc) const {
    plat::LogFont font;
    font.height = -plat::MulDiv(m_pointSize, plat::GetDeviceCaps(dc, plat::kLogPixelsY), 72);
    font.width = 0;
    font.escapement = 0;
    font.orientation = 0;
    font.weight = m_weight;
    font.italic = static_cast<std::uint8_t>(m_italic);
    font.underline = static_cast<std::uint8_t>(m_underline);
    font.strikeOut = 0;
    font.charSet = 0;
    font.outPrecision = 3;
    font.clipPrecision = 2;
    font.quality = 1;
    font.pitchAndFamily = 0x31;
    plat::SetFaceName(&font, m_faceName.c_str());
    return font;
}

void CPageTTexte::Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) {
    // The font lives for this drawing only.
    plat::Hfont font = plat::CreateFontIndirect(FontFor(dc));
    plat::Hgdiobj previous = plat::SelectObject(dc, font);
    DrawPageText(dc, m_text, Map(*pageRect, *logical));
    plat::SelectObject(dc, previous);
    plat::DeleteObject(font);
}

const char* CPageTTexte::Parse(const char* text) {
    const char* p = SkipBlanks(ParseBasePart(text));
    // The face's opening quote follows the comma at once.
    std::string face;
    p = ReadQuoted(ExpectWord(p, ","), kMaxFaceName, &face);
    p = ReadFontNumber(p, &m_pointSize);
    p = ReadFontNumber(p, &m_weight);
    p = ReadFontNumber(p, &m_italic);
    p = ReadFontNumber(p, &m_underline);
    p = SkipBlanks(p);
    if (p == nullptr || *p != ')') return nullptr;
    if (m_italic > 1 || m_underline > 1) return nullptr;
    m_faceName = face;
    m_valid = true;
    return p;
}

void CPageIcone::Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) {
    PageBox box = Map(*pageRect, *logical);
    plat::DrawIcon(dc, box.x, box.y, m_icon);
}

const char* CPageIcone::Parse(const char* text) {
    const char* p = ParseBasePart(text);
    if (p == nullptr || *p != ')') return nullptr;
    for (const IconName& icon : kIconNames) {
        if (m_text == icon.name) {
            m_icon = plat::LoadSystemIcon(icon.id);
            m_valid = true;
            return p;
        }
    }
    return nullptr;
}
