// What every page item shares: reading the fields that come first in every kind, placing the
// item's box on the page area, and painting over it.
#include "cnxassist/page_items.h"

#include <cmath>
#include <limits>

#include "cnxassist/etape.h"
#include "cnxassist/page_scan.h"

namespace {

using cnx::page::ExpectWord;
using cnx::page::ReadNumber;
using cnx::page::ReadQuoted;
using cnx::page::SkipBlanks;

constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();

int HoldTo32Bits(std::int64_t value) {
    if (value < kIntMin) return static_cast<int>(kIntMin);
    if (value > kIntMax) return static_cast<int>(kIntMax);
    return static_cast<int>(value);
}

// ws "," ws: the separator between two fields.
const char* SkipComma(const char* p) { return SkipBlanks(ExpectWord(SkipBlanks(p), ",")); }

}  // namespace

plat::Rect PageBox::Bounds() const {
    return plat::Rect{x, y, HoldTo32Bits(std::int64_t{x} + width),
                      HoldTo32Bits(std::int64_t{y} + height)};
}

int ScaleToPage(std::int64_t pageExtent, std::int64_t logicalExtent, std::int32_t value) {
    // The ratio comes first: 300 pixels for 200 units puts unit 3 at 1.5 * 3 = 4.5, so 4.
    long double ratio =
        static_cast<long double>(pageExtent) / static_cast<long double>(logicalExtent);
    long double scaled = std::trunc(ratio * static_cast<long double>(value));
    // A canvas of zero units makes the ratio infinite, or undefined on an empty page area.
    if (std::isnan(scaled)) return 0;
    if (scaled < static_cast<long double>(kIntMin)) return static_cast<int>(kIntMin);
    if (scaled > static_cast<long double>(kIntMax)) return static_cast<int>(kIntMax);
    return static_cast<int>(scaled);
}

int PageControlId(std::int32_t number) {
    // Unsigned, so that a huge item number wraps instead of overflowing.
    auto id = static_cast<std::uint32_t>(g_nextControlId) + static_cast<std::uint32_t>(number) - 1u;
    return static_cast<int>(id);
}

PageBox CPageItem::Map(const plat::Rect& pageRect, const plat::Rect& logical) const {
    std::int64_t pageWidth = std::int64_t{pageRect.right} - pageRect.left;
    std::int64_t pageHeight = std::int64_t{pageRect.bottom} - pageRect.top;
    std::int64_t logicalWidth = std::int64_t{logical.right} - logical.left;
    std::int64_t logicalHeight = std::int64_t{logical.bottom} - logical.top;
    PageBox box;
    box.x = HoldTo32Bits(pageRect.left + std::int64_t{ScaleToPage(pageWidth, logicalWidth, m_x)});
    box.y = HoldTo32Bits(pageRect.top + std::int64_t{ScaleToPage(pageHeight, logicalHeight, m_y)});
    box.width = ScaleToPage(pageWidth, logicalWidth, m_width);
    box.height = ScaleToPage(pageHeight, logicalHeight, m_height);
    return box;
}

const char* CPageItem::ParseBasePart(const char* text) {
    const char* p = SkipBlanks(ExpectWord(text, "("));
    p = ExpectWord(p, Keyword());
    p = ReadNumber(SkipComma(p), &m_number);
    p = ReadNumber(SkipComma(p), &m_width);
    p = ReadNumber(SkipComma(p), &m_height);
    p = ReadQuoted(SkipComma(p), kMaxPageText, &m_text, TextMayBeEmpty());
    return SkipBlanks(p);
}

const char* CPageItem::Parse(const char* text) {
    const char* p = ParseBasePart(text);
    if (p == nullptr || *p != ')') return nullptr;
    m_valid = true;
    return p;
}

void CPageItem::PaintOver(plat::Hdc dc, const plat::Rect& pageRect, const plat::Rect& logical,
                          plat::ColorRef background) const {
    plat::Rect box = Map(pageRect, logical).Bounds();
    plat::Hbrush brush = plat::CreateSolidBrush(background);
    plat::Hpen pen = plat::CreatePen(plat::kPsSolid, 1, background);
    plat::Hgdiobj oldBrush = plat::SelectObject(dc, brush);
    plat::Hgdiobj oldPen = plat::SelectObject(dc, pen);
    plat::Rectangle(dc, box.left, box.top, box.right, box.bottom);
    plat::SelectObject(dc, oldPen);
    plat::SelectObject(dc, oldBrush);
    plat::DeleteObject(pen);
    plat::DeleteObject(brush);
}
