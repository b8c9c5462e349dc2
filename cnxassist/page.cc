#include "cnxassist/page.h"

#include <cstring>
#include <optional>

#include "cnxassist/page_scan.h"
#include "platform/files.h"

namespace {

using cnx::page::ExpectWord;
using cnx::page::ReadNumber;
using cnx::page::SkipBlanks;

// ws "," ws between two numbers of the canvas.
const char* SkipComma(const char* p) { return SkipBlanks(ExpectWord(SkipBlanks(p), ",")); }

}  // namespace

CPage::~CPage() = default;

void CPage::Clear() {
    m_layout.reset();
    m_valid = false;
    m_logicalWidth = 0;
    m_logicalHeight = 0;
    m_n0 = 0;
}

bool CPage::Parse(const char* text, PageParseReport* report) {
    Clear();
    if (text == nullptr) return false;
    std::optional<cnx::page::ReadProgress> progress;
    if (report != nullptr) {
        *report = PageParseReport();
        progress.emplace(text);
    }
    // No blank between "fenetre" and its parenthesis.
    const char* p = ExpectWord(SkipBlanks(text), "fenetre(");
    std::int32_t n0 = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    p = ReadNumber(SkipBlanks(p), &n0);
    p = ReadNumber(SkipComma(p), &width);
    p = ReadNumber(SkipComma(p), &height);
    p = SkipBlanks(ExpectWord(SkipBlanks(p), ")"));
    std::unique_ptr<CPageLayout> layout =
        p != nullptr ? CPageLayout::Place(p, 0, 0) : std::unique_ptr<CPageLayout>();
    if (report != nullptr) {
        report->failedAt = progress->Farthest();
        report->canvasWidth = width;
        report->canvasHeight = height;
        if (layout != nullptr) {
            report->layoutWidth = layout->Width();
            report->layoutHeight = layout->Height();
            report->tooLarge = layout->Width() > width || layout->Height() > height;
        }
    }
    if (layout == nullptr || layout->Width() > width || layout->Height() > height) return false;
    m_layout = std::move(layout);
    m_valid = true;
    m_logicalWidth = width;
    m_logicalHeight = height;
    m_n0 = n0;
    return true;
}

plat::Rect CPage::Logical() const { return plat::Rect{0, 0, m_logicalWidth, m_logicalHeight}; }

void CPage::Create(plat::Hwnd parent, const plat::Rect* pageRect) {
    if (m_layout == nullptr) return;
    plat::Rect logical = Logical();
    // The page's controls follow the wizard's buttons and the earlier pages' controls among the
    // window's children. A run of radio buttons (or of push buttons) is one group of its own,
    // so that the arrows go round its buttons only; every other control begins a group.
    const char* previousKind = nullptr;
    for (CPageItem* item = m_layout->First(); item != nullptr; item = m_layout->Next()) {
        if (auto* control = dynamic_cast<CPageControl*>(item)) {
            const char* kind = control->Keyword();
            const bool groupable = std::strcmp(kind, CPageRadio::kKeyword) == 0 ||
                                   std::strcmp(kind, CPageBouton::kKeyword) == 0;
            control->SetStartsGroup(!groupable || previousKind == nullptr ||
                                    std::strcmp(kind, previousKind) != 0);
            previousKind = kind;
        }
        item->Create(parent, pageRect, &logical);
    }
}

void CPage::Draw(plat::Hdc dc, const plat::Rect* pageRect) {
    if (m_layout == nullptr) return;
    plat::Rect logical = Logical();
    for (CPageItem* item = m_layout->First(); item != nullptr; item = m_layout->Next()) {
        item->Draw(dc, pageRect, &logical);
    }
}

void CPage::Erase(plat::Hdc dc, const plat::Rect* pageRect, plat::ColorRef background) {
    if (m_layout == nullptr) return;
    plat::Rect logical = Logical();
    for (CPageItem* item = m_layout->First(); item != nullptr; item = m_layout->Next()) {
        item->Hide(dc, pageRect, &logical, background);
    }
}

bool ReadPageDescription(const std::string& path, std::string* text) {
    std::string contents;
    if (!plat::ReadWholeFile(path.c_str(), &contents)) return false;
    // The lines are read one by one and put end to end, each with its own line end: CR LF
    // arrives as a single line feed.
    text->clear();
    text->reserve(contents.size());
    for (std::size_t i = 0; i < contents.size(); ++i) {
        if (contents[i] == '\r' && i + 1 < contents.size() && contents[i + 1] == '\n') continue;
        text->push_back(contents[i]);
    }
    return text->size() <= kMaxPageDescription;
}

std::unique_ptr<CPage> LoadPage(const std::string& path) {
    std::string text;
    if (!ReadPageDescription(path, &text)) return nullptr;
    auto page = std::make_unique<CPage>();
    if (!page->Parse(text.c_str())) return nullptr;
    return page;
}
