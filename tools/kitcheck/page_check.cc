#include "tools/kitcheck/page_check.h"

#include "cnxassist/page.h"
#include "tools/kitcheck/item_fit_check.h"

namespace kitcheck {
namespace {

// What stands where the parser stopped, to name it in the finding.
std::string Near(const std::string& text, std::size_t offset) {
    if (offset >= text.size()) return "at the end of the description";
    std::string piece = text.substr(offset, 16);
    std::size_t lineEnd = piece.find_first_of("\r\n");
    if (lineEnd != std::string::npos) piece.erase(lineEnd);
    if (piece.empty()) return "at the end of the line";
    return "near '" + piece + "'";
}

}  // namespace

void LineAndColumn(const std::string& text, std::size_t offset, int* line, int* column) {
    *line = 1;
    *column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++*line;
            *column = 1;
        } else {
            ++*column;
        }
    }
}

CheckedPage CheckPage(const KitPath& file, const plat::Rect* pageArea, Report* report) {
    CheckedPage checked;
    std::string text;
    if (!ReadPageDescription(file.path, &text)) return checked;
    checked.readable = true;

    CPage page;
    PageParseReport why;
    if (!page.Parse(text.c_str(), &why)) {
        int line = 0;
        int column = 0;
        if (why.tooLarge) {
            LineAndColumn(text, text.find("fenetre"), &line, &column);
            report->Add(Severity::kError, file.shown, line, column,
                        "the layout measures " + std::to_string(why.layoutWidth) + " x " +
                            std::to_string(why.layoutHeight) + ", larger than its canvas of " +
                            std::to_string(why.canvasWidth) + " x " +
                            std::to_string(why.canvasHeight) + ": the wizard refuses the page");
        } else {
            LineAndColumn(text, why.failedAt, &line, &column);
            // An item read up to its closing parenthesis and still refused holds a value its
            // kind does not take.
            std::string what =
                why.failedAt < text.size() && text[why.failedAt] == ')'
                    ? "the item that ends here holds a value its kind refuses "
                      "(italic and underline take 0 or 1; the icons are "
                      "application, hand, question, exclamation and asterisk)"
                    : "the page description does not parse " + Near(text, why.failedAt);
            report->Add(Severity::kError, file.shown, line, column,
                        what + ": the wizard refuses the page");
        }
        return checked;
    }
    checked.valid = true;
    CPageLayout* layout = page.Layout();
    for (std::size_t i = 0; i < layout->Count(); ++i) {
        const CPageItem* item = layout->Item(i);
        std::string kind = item->Keyword();
        if (kind == "radio" || kind == "bouton" || kind == "saisie") {
            checked.controls.push_back({kind, item->Number()});
        }
    }
    if (pageArea != nullptr) CheckItemFits(file, text, page, *pageArea, report);
    return checked;
}

}  // namespace kitcheck
