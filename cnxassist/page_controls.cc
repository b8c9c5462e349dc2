// The page items that are child windows of the wizard window: radio buttons, push buttons and
// entry fields. They are made once, with the step, and keep what the user did with them while
// the page is hidden and shown again.
#include "cnxassist/page_items.h"
#include "cnxassist/page_scan.h"

namespace {

constexpr plat::Dword kControlStyle = plat::kWsChild | plat::kWsVisible | plat::kWsTabStop;

plat::Dword LabelAlignment(std::int32_t align) {
    if (align == 2) return plat::kBsRight;
    if (align == 3) return plat::kBsCenter;
    return plat::kBsLeft;
}

}  // namespace

void CPageControl::MakeChild(plat::Dword exStyle, const char* className, plat::Dword style,
                             plat::Hwnd parent, const plat::Rect& pageRect,
                             const plat::Rect& logical) {
    PageBox box = Map(pageRect, logical);
    if (m_startsGroup) style |= plat::kWsGroup;
    m_child = plat::CreateWindow(exStyle, className, m_text.c_str(), style, box.x, box.y, box.width,
                                 box.height, parent, PageControlId(m_number));
}

void CPageControl::Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) {
    plat::ShowWindow(m_child, plat::kSwShow);
    if (m_number == 1) plat::SetFocus(m_child);
}

void CPageControl::Hide(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical,
                        plat::ColorRef background) {
    plat::ShowWindow(m_child, plat::kSwHide);
}

void CPageRadio::Create(plat::Hwnd parent, const plat::Rect* pageRect, const plat::Rect* logical) {
    MakeChild(0, "BUTTON", kControlStyle | plat::kBsMultiLine | plat::kBsAutoRadioButton, parent,
              *pageRect, *logical);
    // Radio 1 is the choice a page offers by default, so that a choice always exists.
    if (m_number == 1) {
        plat::SendMessage(m_child, plat::kBmSetCheck, plat::kBstChecked, 0);
        plat::SetFocus(m_child);
    }
}

void CPageBouton::Create(plat::Hwnd parent, const plat::Rect* pageRect, const plat::Rect* logical) {
    MakeChild(0, "BUTTON",
              kControlStyle | plat::kBsMultiLine | plat::kBsDefPushButton | LabelAlignment(m_align),
              parent, *pageRect, *logical);
}

const char* CPageBouton::Parse(const char* text) {
    // The alignment follows the comma at once, and the closing parenthesis follows it at once.
    const char* p = cnx::page::SkipBlanks(ParseBasePart(text));
    p = cnx::page::ReadNumber(cnx::page::ExpectWord(p, ","), &m_align);
    if (p == nullptr || *p != ')') return nullptr;
    m_valid = true;
    return p;
}

void CPageSaisie::Create(plat::Hwnd parent, const plat::Rect* pageRect, const plat::Rect* logical) {
    MakeChild(plat::kWsExClientEdge, "EDIT", kControlStyle | plat::kEsAutoHScroll, parent,
              *pageRect, *logical);
}

void CPageSaisie::Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) {
    CPageControl::Draw(dc, pageRect, logical);
    // The first field gets the caret after its text, ready to be completed.
    if (m_number == 1) plat::SendMessage(m_child, plat::kWmKeyDown, plat::kVkEnd, 0);
}
