// The layout of a page: its items in layout order and the logical size they cover, built by
// stacking boxes above, below, left of or right of each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "cnxassist/page_items.h"

class CPageLayout {
  public:
    // The order of creation, drawing, focus and tab order.
    std::size_t Count() const { return m_items.size(); }
    CPageItem* Item(std::size_t index) const { return m_items[index].get(); }
    // Iteration: the first item (null when there is none), then each following one.
    CPageItem* First();
    CPageItem* Next();

    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; }

    // `Place(text, x, y)`: reads the element at the start of `text` (an item, or two
    // parenthesised elements joined by "sous", "sur", "a_gauche_de" or "a_droite_de") with its
    // top-left corner at logical (x, y). Null when the text is not an element, or when a
    // position or size would not fit 32 bits.
    static std::unique_ptr<CPageLayout> Place(const char* text, std::int32_t x, std::int32_t y);

  private:
    // The recursion of Place over one description.
    class Placer;

    std::vector<std::unique_ptr<CPageItem>> m_items;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::size_t m_cursor = 0;
};
