// A page of the connection wizard: a description file in the page layout language, parsed once
// when its step is built. It declares a logical canvas and one layout of items, and the whole
// canvas is stretched onto the page area of the wizard window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "cnxassist/page_layout.h"
#include "platform/draw.h"
#include "platform/types.h"
#include "platform/window.h"

// Longest description a page file may hold.
constexpr std::size_t kMaxPageDescription = 4095;

// Why a description was refused, for the kit checker; the wizard itself only learns that it was.
struct PageParseReport {
    // The layout was read but is larger than its canvas; otherwise the text breaks the language
    // at `failedAt`, an offset in the text.
    bool tooLarge = false;
    std::size_t failedAt = 0;
    std::int32_t layoutWidth = 0;
    std::int32_t layoutHeight = 0;
    std::int32_t canvasWidth = 0;
    std::int32_t canvasHeight = 0;
};

class CPage {
  public:
    CPage() = default;
    // Deletes the items; their child windows go with the wizard window.
    ~CPage();
    CPage(const CPage&) = delete;
    CPage& operator=(const CPage&) = delete;

    // ws "fenetre(" ws N0 ws "," ws W ws "," ws H ws ")" ws element. False, and the page holds
    // nothing, when the text breaks the language or the layout is larger than W x H.
    // With a `report`, a refusal says why (it changes nothing else).
    bool Parse(const char* text, PageParseReport* report = nullptr);
    // Makes the child windows of the windowed items in `parent`, in layout order.
    void Create(plat::Hwnd parent, const plat::Rect* pageRect);
    // Shows the child windows and draws the other items.
    void Draw(plat::Hdc dc, const plat::Rect* pageRect);
    // Hides the child windows and paints over the other items with `background`.
    void Erase(plat::Hdc dc, const plat::Rect* pageRect, plat::ColorRef background);

    bool IsValid() const { return m_valid; }
    // The items; null when the page holds nothing.
    CPageLayout* Layout() const { return m_layout.get(); }
    std::int32_t LogicalWidth() const { return m_logicalWidth; }
    std::int32_t LogicalHeight() const { return m_logicalHeight; }
    std::int32_t N0() const { return m_n0; }

  private:
    // (0, 0, W, H).
    plat::Rect Logical() const;
    void Clear();

    std::unique_ptr<CPageLayout> m_layout;
    bool m_valid = false;
    std::int32_t m_logicalWidth = 0;
    std::int32_t m_logicalHeight = 0;
    // The first number of "fenetre(": required, and of no use.
    std::int32_t m_n0 = 0;
};

// Reads a description file the way a text-mode read sees it (line ends as single line feeds).
// False when the file cannot be read or holds more than kMaxPageDescription characters.
bool ReadPageDescription(const std::string& path, std::string* text);

// Reads and parses the description file `path`. Null when the file cannot be read, is too long
// or does not parse; the caller makes the page's windows with Create.
std::unique_ptr<CPage> LoadPage(const std::string& path);
