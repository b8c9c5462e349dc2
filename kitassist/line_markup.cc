#include "kitassist/line_markup.h"

#include <array>

namespace kitassist {
namespace {

// Every code, in the order in which the codes are removed.
constexpr std::array<std::string_view, 27> kCodes = {
    "#a", "#c", "#t", "#04", "#06", "#08", "#10", "#12", "#14", "#g", "#i", "#s", "#l", "#m",
    "#d", "#N", "#B", "#R",  "#V",  "#U",  "#J",  "#n",  "#b",  "#r", "#v", "#u", "#j"};

struct Choice {
    std::string_view code;
    const char* value;
};

constexpr std::array<Choice, 3> kFaces = {
    {{"#a", "Arial"}, {"#c", "Courier New"}, {"#t", "Times New Roman"}}};
constexpr std::array<Choice, 6> kTextColors = {{{"#N", "noir"},
                                                {"#B", "blanc"},
                                                {"#R", "rouge"},
                                                {"#V", "vert"},
                                                {"#U", "bleu"},
                                                {"#J", "jaune"}}};
constexpr std::array<Choice, 6> kBackColors = {{{"#n", "noir"},
                                                {"#b", "blanc"},
                                                {"#r", "rouge"},
                                                {"#v", "vert"},
                                                {"#u", "bleu"},
                                                {"#j", "jaune"}}};

bool Has(std::string_view line, std::string_view code) {
    return line.find(code) != std::string_view::npos;
}

// The value of the last code of `choices` present in the line, or null.
template <std::size_t N>
const char* LastPresent(std::string_view line, const std::array<Choice, N>& choices) {
    const char* value = nullptr;
    for (const Choice& choice : choices) {
        if (Has(line, choice.code)) value = choice.value;
    }
    return value;
}

}  // namespace

LineStyle ReadLineStyle(std::string_view line) {
    LineStyle style;
    if (const char* face = LastPresent(line, kFaces)) style.face = face;
    static constexpr struct {
        std::string_view code;
        int points;
    } kSizes[] = {{"#04", 4}, {"#06", 6}, {"#08", 8}, {"#10", 10}, {"#12", 12}, {"#14", 14}};
    for (const auto& size : kSizes) {
        if (Has(line, size.code)) style.size = size.points;
    }
    style.bold = Has(line, "#g");
    style.italic = Has(line, "#i");
    style.underline = Has(line, "#s");
    for (char alignment : {'l', 'm', 'd'}) {
        const char code[] = {'#', alignment, '\0'};
        if (Has(line, code)) style.alignment = alignment;
    }
    if (const char* color = LastPresent(line, kTextColors)) style.textColor = color;
    if (const char* color = LastPresent(line, kBackColors)) style.backColor = color;
    return style;
}

std::string StripLineCodes(std::string_view line) {
    std::string text(line);
    for (std::string_view code : kCodes) {
        // A removal can bring a new occurrence together ("##aa" loses both). Such an
        // occurrence starts less than a code's length before the place of the removal, and none
        // starts earlier, so the search goes on from there.
        const std::size_t back = code.size() - 1;
        for (std::size_t at = text.find(code); at != std::string::npos;
             at = text.find(code, at > back ? at - back : 0)) {
            text.erase(at, code.size());
        }
    }
    if (text == "\xA7") text = " ";
    return text;
}

}  // namespace kitassist
