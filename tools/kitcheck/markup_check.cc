#include "tools/kitcheck/markup_check.h"

#include <array>
#include <cctype>
#include <string_view>

#include "kitassist/line_markup.h"

namespace kitcheck {
namespace {

using kitassist::LineStyle;

// Every code of the markup; the wizard's reader decides what each does.
constexpr std::array<std::string_view, 27> kCodes = {
    "#a", "#c", "#t", "#04", "#06", "#08", "#10", "#12", "#14", "#g", "#i", "#s", "#l", "#m",
    "#d", "#N", "#B", "#R",  "#V",  "#U",  "#J",  "#n",  "#b",  "#r", "#v", "#u", "#j"};

bool SameStyle(const LineStyle& a, const LineStyle& b) {
    return a.face.str() == b.face.str() && a.size == b.size && a.bold == b.bold &&
           a.italic == b.italic && a.underline == b.underline && a.alignment == b.alignment &&
           a.textColor.str() == b.textColor.str() && a.backColor.str() == b.backColor.str();
}

std::string Without(std::string text, std::string_view code) {
    for (std::size_t at = text.find(code); at != std::string::npos; at = text.find(code)) {
        text.erase(at, code.size());
    }
    return text;
}

}  // namespace

void CheckMarkupLine(const std::string& shownFile, int line, const std::string& text,
                     Report* report) {
    const LineStyle style = kitassist::ReadLineStyle(text);
    const std::string drawn = kitassist::StripLineCodes(text);
    const LineStyle plain = kitassist::ReadLineStyle("");

    for (std::string_view code : kCodes) {
        if (text.find(code) == std::string::npos) continue;
        // A code that would change a plain line but changes nothing on this one loses to
        // another code of its kind. (A code that only repeats the default, such as #10 or #N,
        // is left alone: writing it does no harm.)
        std::string alone = std::string(code) + "x";
        if (SameStyle(kitassist::ReadLineStyle(alone), plain)) continue;
        std::string rest = Without(text, code);
        if (SameStyle(kitassist::ReadLineStyle(rest), style) &&
            kitassist::StripLineCodes(rest) == drawn) {
            report->Warning(
                shownFile, line,
                "'" + std::string(code) + "' does nothing here: another code of its kind wins");
        }
    }
    if (drawn.empty() && !style.backColor.empty()) {
        report->Warning(shownFile, line,
                        "the line has a background code but no text: nothing is drawn (a "
                        "line of '\xA7' alone shows the band)");
    }
    // What is left of "#" is drawn as it is: a letter or two digits after it look like a
    // misspelt code.
    for (std::size_t at = drawn.find('#'); at != std::string::npos; at = drawn.find('#', at + 1)) {
        auto next = static_cast<unsigned char>(at + 1 < drawn.size() ? drawn[at + 1] : '\0');
        auto after = static_cast<unsigned char>(at + 2 < drawn.size() ? drawn[at + 2] : '\0');
        bool letter = std::isalpha(next) != 0;
        bool twoDigits = std::isdigit(next) != 0 && std::isdigit(after) != 0;
        if (!letter && !twoDigits) continue;
        std::string shown = drawn.substr(at, twoDigits ? 3 : 2);
        report->Warning(shownFile, line, "'" + shown + "' is no markup code: it is drawn as it is");
    }
}

}  // namespace kitcheck
