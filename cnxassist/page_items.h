// The six kinds of items of a page description: three that are child windows of the wizard
// window (radio button, push button, entry field) and three that are drawn on it (plain text,
// text in a font of its own, predefined icon). Each kind reads its own item from the description
// and knows how to appear and disappear on the page area.
#pragma once

#include <cstdint>
#include <string>

#include "common/bounded_text.h"
#include "platform/draw.h"
#include "platform/types.h"
#include "platform/window.h"

// Longest quoted text of an item, and longest font face name of a "ttexte" item.
constexpr std::size_t kMaxPageText = 2047;
constexpr std::size_t kMaxFaceName = 31;

// Where an item lands on the page area, in window pixels.
struct PageBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // (x, y, x + width, y + height).
    plat::Rect Bounds() const;
};

// `value` logical units along an axis whose page extent is `pageExtent` pixels for
// `logicalExtent` units: the ratio first, then the product, in extended precision, truncated
// toward zero. Values beyond 32 bits (a zero-sized canvas among the causes) are held at the
// nearest 32-bit value, an undefined ratio gives 0.
int ScaleToPage(std::int64_t pageExtent, std::int64_t logicalExtent, std::int32_t value);

// The id of the page control numbered `number`: g_nextControlId + number - 1 (wrapping like
// the 32-bit sum it is).
int PageControlId(std::int32_t number);

class CPageItem {
  public:
    CPageItem() = default;
    virtual ~CPageItem() = default;
    CPageItem(const CPageItem&) = delete;
    CPageItem& operator=(const CPageItem&) = delete;

    virtual const char* Keyword() const = 0;
    // Makes the item's child window (the windowed kinds only).
    virtual void Create(plat::Hwnd parent, const plat::Rect* pageRect,
                        const plat::Rect* logical) = 0;
    // Shows the child window, or draws the item.
    virtual void Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) = 0;
    // Hides the child window, or paints over the item's box with `background`.
    virtual void Hide(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical,
                      plat::ColorRef background) = 0;
    // Reads the item at the start of `text`: the position of the item's closing parenthesis,
    // or null when the text is not an item of this kind. The base reads an item that has no
    // field after its quoted text.
    virtual const char* Parse(const char* text);
    // Whether the quoted text may be empty: only an entry field's, whose text is what it holds
    // at first (a password field starts empty); every other kind shows or names something.
    virtual bool TextMayBeEmpty() const { return false; }

    std::int32_t Number() const { return m_number; }
    const std::string& Text() const { return m_text; }
    std::int32_t X() const { return m_x; }
    std::int32_t Y() const { return m_y; }
    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; }
    void SetPosition(std::int32_t x, std::int32_t y) {
        m_x = x;
        m_y = y;
    }
    // The item's box on the page area `pageRect` for the canvas `logical`.
    PageBox Map(const plat::Rect& pageRect, const plat::Rect& logical) const;

  protected:
    // "(" ws keyword ws "," ws number ws "," ws width ws "," ws height ws "," ws quoted text ws:
    // the position after it, or null.
    const char* ParseBasePart(const char* text);
    // Paints the item's box with `background`: a solid brush and a one-pixel solid pen.
    void PaintOver(plat::Hdc dc, const plat::Rect& pageRect, const plat::Rect& logical,
                   plat::ColorRef background) const;

    std::int32_t m_number = 0;
    std::string m_text;
    std::int32_t m_x = 0;
    std::int32_t m_y = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    bool m_valid = false;
};

// The windowed kinds share their child window and how it shows and hides.
class CPageControl : public CPageItem {
  public:
    plat::Hwnd Child() const { return m_child; }
    // Whether the control begins a group of the dialog manager (WS_GROUP): the arrow keys move
    // within a group, and an automatic radio button unchecks the others of its group only. Set
    // by the page before it makes the control.
    void SetStartsGroup(bool startsGroup) { m_startsGroup = startsGroup; }
    bool StartsGroup() const { return m_startsGroup; }
    void Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) override;
    void Hide(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical,
              plat::ColorRef background) override;

  protected:
    void MakeChild(plat::Dword exStyle, const char* className, plat::Dword style, plat::Hwnd parent,
                   const plat::Rect& pageRect, const plat::Rect& logical);

    plat::Hwnd m_child = plat::kNoWindow;
    bool m_startsGroup = true;
};

// A radio button; number 1 is checked when the page is made.
class CPageRadio : public CPageControl {
  public:
    static constexpr char kKeyword[] = "radio";
    const char* Keyword() const override { return kKeyword; }
    void Create(plat::Hwnd parent, const plat::Rect* pageRect, const plat::Rect* logical) override;
};

// A push button whose label is aligned by its last field: 2 right, 3 centre, other values left.
class CPageBouton : public CPageControl {
  public:
    static constexpr char kKeyword[] = "bouton";
    const char* Keyword() const override { return kKeyword; }
    void Create(plat::Hwnd parent, const plat::Rect* pageRect, const plat::Rect* logical) override;
    const char* Parse(const char* text) override;
    std::int32_t Align() const { return m_align; }

  private:
    std::int32_t m_align = 0;
};

// An entry field holding the quoted text at first; number 1 takes the focus with the caret at
// the end of its text.
class CPageSaisie : public CPageControl {
  public:
    static constexpr char kKeyword[] = "saisie";
    const char* Keyword() const override { return kKeyword; }
    bool TextMayBeEmpty() const override { return true; }
    void Create(plat::Hwnd parent, const plat::Rect* pageRect, const plat::Rect* logical) override;
    void Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) override;
};

// The drawn kinds have no window and paint over their box to disappear.
class CPageDrawing : public CPageItem {
  public:
    void Create(plat::Hwnd parent, const plat::Rect* pageRect, const plat::Rect* logical) override {
    }
    void Hide(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical,
              plat::ColorRef background) override;
};

// Text drawn in the device context's current font, wrapped at word ends, black on the page.
class CPageCTexte : public CPageDrawing {
  public:
    static constexpr char kKeyword[] = "ctexte";
    const char* Keyword() const override { return kKeyword; }
    void Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) override;
};

// Text drawn in a font of its own: face, size in points, weight, italic and underline.
class CPageTTexte : public CPageDrawing {
  public:
    static constexpr char kKeyword[] = "ttexte";
    const char* Keyword() const override { return kKeyword; }
    void Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) override;
    const char* Parse(const char* text) override;
    // The font of a drawing on `dc` (its height follows the context's vertical resolution).
    plat::LogFont FontFor(plat::Hdc dc) const;

  private:
    std::int32_t m_pointSize = 0;
    std::int32_t m_weight = 0;
    std::int32_t m_italic = 0;
    std::int32_t m_underline = 0;
    kit::FixedText<128> m_faceName;
};

// One of the system's predefined icons, by name: "application", "hand", "question",
// "exclamation" or "asterisk".
class CPageIcone : public CPageDrawing {
  public:
    static constexpr char kKeyword[] = "icone";
    const char* Keyword() const override { return kKeyword; }
    void Draw(plat::Hdc dc, const plat::Rect* pageRect, const plat::Rect* logical) override;
    const char* Parse(const char* text) override;
    plat::Hicon Icon() const { return m_icon; }

  private:
    plat::Hicon m_icon = 0;
};
