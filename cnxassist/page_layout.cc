// Placing the elements of a page description: an item takes its own size at the position it is
// given; a composite places its two groups one after the other along the operator's axis.
#include "cnxassist/page_layout.h"

#include <limits>
#include <string>

#include "cnxassist/page_scan.h"

namespace {

using cnx::page::ExpectWord;
using cnx::page::SkipBlanks;

enum class Operator { Sous, Sur, AGaucheDe, ADroiteDe };

// Tried in this order, each as the beginning of the rest of the text.
struct OperatorWord {
    const char* word;
    Operator op;
};
constexpr OperatorWord kOperators[] = {{"sous", Operator::Sous},
                                       {"sur", Operator::Sur},
                                       {"a_gauche_de", Operator::AGaucheDe},
                                       {"a_droite_de", Operator::ADroiteDe}};

bool Fits32Bits(std::int64_t value) { return value <= std::numeric_limits<std::int32_t>::max(); }

template <typename Kind>
std::unique_ptr<CPageItem> TryItem(const char* text) {
    // Only the kind whose keyword opens the item can read it: the others are not even made.
    if (ExpectWord(SkipBlanks(ExpectWord(text, "(")), Kind::kKeyword) == nullptr) return nullptr;
    auto item = std::make_unique<Kind>();
    if (item->Parse(text) == nullptr) return nullptr;
    return item;
}

// The item kinds, in the order they are tried.
std::unique_ptr<CPageItem> ParseItem(const char* text) {
    using Reader = std::unique_ptr<CPageItem> (*)(const char*);
    constexpr Reader kReaders[] = {TryItem<CPageRadio>,  TryItem<CPageTTexte>,
                                   TryItem<CPageCTexte>, TryItem<CPageSaisie>,
                                   TryItem<CPageIcone>,  TryItem<CPageBouton>};
    for (Reader read : kReaders) {
        if (auto item = read(text)) return item;
    }
    return nullptr;
}

const char* ReadOperator(const char* p, Operator* op) {
    for (const OperatorWord& candidate : kOperators) {
        if (const char* after = ExpectWord(p, candidate.word)) {
            *op = candidate.op;
            return after;
        }
    }
    return nullptr;
}

}  // namespace

CPageItem* CPageLayout::First() {
    m_cursor = 0;
    return Next();
}

CPageItem* CPageLayout::Next() {
    if (m_cursor >= m_items.size()) return nullptr;
    return m_items[m_cursor++].get();
}

// Places the elements of one description, held in a buffer of its own: while a group is
// placed, the character after its closing parenthesis is replaced by the end of the text, so
// that the group reads as a text of its own without being copied, and nothing after it can be
// taken for a part of it.
class CPageLayout::Placer {
  public:
    explicit Placer(const char* text)
        : m_text(text),
          m_matches(cnx::page::MatchParentheses(m_text)),
          m_progress(m_text.c_str(), text) {}

    std::unique_ptr<CPageLayout> Place(std::size_t at, std::int32_t x, std::int32_t y);

  private:
    // The group that opens at `at`, or kNoMatch when it is not closed or when the text ends
    // right after it: something must follow each group.
    std::size_t GroupEnd(std::size_t at) const {
        if (m_text[at] != '(') return cnx::page::kNoMatch;
        std::size_t end = m_matches[at];
        if (end == cnx::page::kNoMatch || m_text[end + 1] == '\0') return cnx::page::kNoMatch;
        return end;
    }
    std::unique_ptr<CPageLayout> PlaceGroup(std::size_t at, std::size_t end, std::int32_t x,
                                            std::int32_t y) {
        char after = m_text[end + 1];
        m_text[end + 1] = '\0';
        cnx::page::ReadProgress::RestartAt(m_text.c_str() + at);
        auto layout = Place(at, x, y);
        m_text[end + 1] = after;
        return layout;
    }
    std::size_t Offset(const char* p) const { return static_cast<std::size_t>(p - m_text.data()); }

    std::string m_text;
    std::vector<std::size_t> m_matches;
    // Where the readers got to counts in the description the text was copied from.
    cnx::page::ReadProgress::CopyScope m_progress;
};

std::unique_ptr<CPageLayout> CPageLayout::Placer::Place(std::size_t at, std::int32_t x,
                                                        std::int32_t y) {
    const char* text = m_text.c_str() + at;
    if (auto item = ParseItem(text)) {
        auto layout = std::make_unique<CPageLayout>();
        item->SetPosition(x, y);
        layout->m_width = item->Width();
        layout->m_height = item->Height();
        layout->m_items.push_back(std::move(item));
        return layout;
    }

    // "(" ws group ws operator ws group ws ")".
    const char* p = SkipBlanks(ExpectWord(text, "("));
    if (p == nullptr) return nullptr;
    std::size_t beginA = Offset(p);
    std::size_t endA = GroupEnd(beginA);
    if (endA == cnx::page::kNoMatch) return nullptr;
    Operator op = Operator::Sous;
    p = SkipBlanks(ReadOperator(SkipBlanks(m_text.c_str() + endA + 1), &op));
    if (p == nullptr) return nullptr;
    std::size_t beginB = Offset(p);
    std::size_t endB = GroupEnd(beginB);
    if (endB == cnx::page::kNoMatch) return nullptr;
    if (ExpectWord(SkipBlanks(m_text.c_str() + endB + 1), ")") == nullptr) return nullptr;

    // "sur" and "a_gauche_de" place the group written first first; "sous" and "a_droite_de"
    // the other one. The second group goes after the first along the operator's axis.
    bool writtenOrder = op == Operator::Sur || op == Operator::AGaucheDe;
    bool vertical = op == Operator::Sur || op == Operator::Sous;
    auto first = writtenOrder ? PlaceGroup(beginA, endA, x, y) : PlaceGroup(beginB, endB, x, y);
    if (first == nullptr) return nullptr;
    std::int64_t secondX = vertical ? x : std::int64_t{x} + first->m_width;
    std::int64_t secondY = vertical ? std::int64_t{y} + first->m_height : y;
    if (!Fits32Bits(secondX) || !Fits32Bits(secondY)) return nullptr;
    auto nextX = static_cast<std::int32_t>(secondX);
    auto nextY = static_cast<std::int32_t>(secondY);
    auto second = writtenOrder ? PlaceGroup(beginB, endB, nextX, nextY)
                               : PlaceGroup(beginA, endA, nextX, nextY);
    if (second == nullptr) return nullptr;

    // The extent across the axis is the second group's alone, not the larger of the two.
    std::int64_t width =
        vertical ? second->m_width : std::int64_t{first->m_width} + second->m_width;
    std::int64_t height =
        vertical ? std::int64_t{first->m_height} + second->m_height : second->m_height;
    if (!Fits32Bits(width) || !Fits32Bits(height)) return nullptr;
    first->m_width = static_cast<std::int32_t>(width);
    first->m_height = static_cast<std::int32_t>(height);
    for (auto& item : second->m_items) first->m_items.push_back(std::move(item));
    return first;
}

std::unique_ptr<CPageLayout> CPageLayout::Place(const char* text, std::int32_t x, std::int32_t y) {
    if (text == nullptr) return nullptr;
    Placer placer(text);
    return placer.Place(0, x, y);
}
