// DrawText's lines on the simulated machine.
#include "platform/sim/text_layout.h"

namespace sim {
namespace {

using plat::Uint;

int TabStop(const SimFont& font) { return 8 * font.Metrics().averageCharWidth; }

// Removes the "&" prefixes: "&&" is one "&", "&x" underlines x.
std::string WithoutPrefixes(std::string_view text, int* underline) {
    std::string out;
    *underline = -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&') *underline = static_cast<int>(out.size());
        } else if (text[i] == '&') {
            continue;
        }
        out += text[i];
    }
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int LineWidth(const SimFont& font, std::string_view line, bool expandTabs) {
    int x = 0;
    for (char c : line) {
        if (c == '\t' && expandTabs) {
            int stop = TabStop(font);
            x = stop > 0 ? (x / stop + 1) * stop : x;
        } else {
            x += font.Advance(static_cast<unsigned char>(c));
        }
    }
    return x;
}

TextLayout LayOutText(const SimFont& font, std::string_view text, int width, Uint format) {
    TextLayout layout;
    layout.lineHeight = font.Metrics().height;
    bool single = (format & plat::kDtSingleLine) != 0;
    bool wrap = (format & plat::kDtWordBreak) != 0 && !single;
    bool tabs = (format & plat::kDtExpandTabs) != 0;
    bool prefix = (format & plat::kDtNoPrefix) == 0;

    auto addLine = [&](std::string_view raw) {
        TextLine line;
        if (prefix) {
            line.text = WithoutPrefixes(raw, &line.underline);
        } else {
            line.text.assign(raw);
        }
        line.width = LineWidth(font, line.text, tabs);
        if (line.width > layout.widest) layout.widest = line.width;
        layout.lines.push_back(std::move(line));
    };

    std::size_t start = 0;
    while (true) {
        // One paragraph: up to a line feed (CR LF, LF or CR) unless single line.
        std::size_t end = text.size();
        std::size_t next = text.size();
        if (!single) {
            std::size_t feed = text.find_first_of("\r\n", start);
            if (feed != std::string_view::npos) {
                end = feed;
                next = feed + 1;
                if (text[feed] == '\r' && next < text.size() && text[next] == '\n') ++next;
            }
        }
        std::string_view paragraph = text.substr(start, end - start);
        if (!wrap) {
            addLine(paragraph);
        } else {
            // Greedy: as many words as fit; the blanks where a line breaks are dropped.
            std::size_t pos = 0;
            do {
                std::size_t lineEnd = pos;  // end of the last word that fits
                std::size_t scan = pos;
                while (scan < paragraph.size()) {
                    std::size_t wordEnd = scan;
                    while (wordEnd < paragraph.size() && IsBlank(paragraph[wordEnd])) ++wordEnd;
                    while (wordEnd < paragraph.size() && !IsBlank(paragraph[wordEnd])) ++wordEnd;
                    std::string_view candidate = paragraph.substr(pos, wordEnd - pos);
                    std::string shown;
                    int ignored;
                    if (prefix) shown = WithoutPrefixes(candidate, &ignored);
                    int w = LineWidth(font, prefix ? std::string_view(shown) : candidate, tabs);
                    if (w > width && lineEnd > pos) break;
                    lineEnd = wordEnd;
                    scan = wordEnd;
                    if (w > width) break;  // a lone word wider than the line: it stays whole
                }
                addLine(paragraph.substr(pos, lineEnd - pos));
                pos = lineEnd;
                while (pos < paragraph.size() && IsBlank(paragraph[pos])) ++pos;
            } while (pos < paragraph.size());
        }
        if (next >= text.size()) {
            // A text ending with a line feed has no empty last line.
            break;
        }
        start = next;
    }
    if (layout.lines.empty()) addLine("");
    return layout;
}

}  // namespace sim
