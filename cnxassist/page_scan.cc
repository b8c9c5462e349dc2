#include "cnxassist/page_scan.h"

#include <cstring>
#include <functional>
#include <limits>

namespace cnx::page {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The programs parse on their one thread and never watch; only the kit checker does, on its one
// thread. A plain pointer, then: nothing writes it while a program runs.
ReadProgress* g_readProgress = nullptr;

// Passes a reader's result through, noting what it read.
const char* Noted(const char* start, const char* end) {
    ReadProgress::Note(start, end);
    return end;
}

}  // namespace

ReadProgress::ReadProgress(const char* text)
    : m_text(text), m_length(std::strlen(text)), m_outer(g_readProgress) {
    g_readProgress = this;
}

ReadProgress::~ReadProgress() { g_readProgress = m_outer; }

ReadProgress::CopyScope::CopyScope(const char* copy, const char* original)
    : m_savedCopy(g_readProgress != nullptr ? g_readProgress->m_copy : nullptr),
      m_savedLength(g_readProgress != nullptr ? g_readProgress->m_copyLength : 0),
      m_savedShift(g_readProgress != nullptr ? g_readProgress->m_copyShift : 0) {
    if (g_readProgress == nullptr) return;
    g_readProgress->m_copyShift = OffsetOf(original);
    g_readProgress->m_copy = copy;
    g_readProgress->m_copyLength = std::strlen(copy);
}

ReadProgress::CopyScope::~CopyScope() {
    if (g_readProgress == nullptr) return;
    g_readProgress->m_copy = m_savedCopy;
    g_readProgress->m_copyLength = m_savedLength;
    g_readProgress->m_copyShift = m_savedShift;
}

std::size_t ReadProgress::OffsetOf(const char* p) {
    const ReadProgress& progress = *g_readProgress;
    // Positions of unrelated buffers are ordered with std::less, which is total.
    std::less<const char*> before;
    if (progress.m_copy != nullptr && !before(p, progress.m_copy) &&
        !before(progress.m_copy + progress.m_copyLength, p)) {
        return progress.m_copyShift + static_cast<std::size_t>(p - progress.m_copy);
    }
    if (!before(p, progress.m_text) && !before(progress.m_text + progress.m_length, p)) {
        return static_cast<std::size_t>(p - progress.m_text);
    }
    return 0;
}

void ReadProgress::Note(const char* start, const char* end) {
    if (g_readProgress == nullptr || start == nullptr || end == nullptr) return;
    std::size_t offset = OffsetOf(end);
    // Blanks read after an item to the same place move the point past the item.
    if (offset > g_readProgress->m_farthest ||
        (offset == g_readProgress->m_farthest && start == end)) {
        g_readProgress->m_farthest = offset;
        g_readProgress->m_farthestStart = OffsetOf(start);
    }
}

void ReadProgress::RestartAt(const char* p) {
    if (g_readProgress == nullptr || p == nullptr) return;
    g_readProgress->m_farthest = OffsetOf(p);
    g_readProgress->m_farthestStart = g_readProgress->m_farthest;
}

const char* SkipBlanks(const char* p) {
    if (p == nullptr) return nullptr;
    while (IsBlank(*p)) ++p;
    ReadProgress::Note(p, p);
    return *p == '\0' ? nullptr : p;
}

const char* ExpectWord(const char* p, const char* word) {
    if (p == nullptr) return nullptr;
    const char* start = p;
    // The text's zero differs from any character of the word, so the loop stops there.
    for (; *word != '\0'; ++word, ++p) {
        if (*p != *word) return nullptr;
    }
    return Noted(start, p);
}

const char* ReadNumber(const char* p, std::int32_t* value) {
    if (p == nullptr || !IsDigit(*p)) return nullptr;
    const char* start = p;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t n = 0;
    for (; IsDigit(*p); ++p) {
        n = n * 10 + (*p - '0');
        if (n > kMax) return nullptr;
    }
    *value = static_cast<std::int32_t>(n);
    return Noted(start, p);
}

const char* ReadQuoted(const char* p, std::size_t maxLength, std::string* text, bool mayBeEmpty) {
    if (p == nullptr || *p != '"') return nullptr;
    const char* quote = p;
    const char* begin = ++p;
    while (*p != '"') {
        if (*p == '\0') return nullptr;
        ++p;
    }
    auto length = static_cast<std::size_t>(p - begin);
    // An empty text parses only where it makes sense: an entry field may start empty; every
    // other item carries a label, a text or a name.
    if ((length == 0 && !mayBeEmpty) || length > maxLength) return nullptr;
    text->assign(begin, length);
    return Noted(quote, p + 1);
}

std::vector<std::size_t> MatchParentheses(std::string_view text) {
    std::vector<std::size_t> matches(text.size(), kNoMatch);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') {
            open.push_back(i);
        } else if (text[i] == ')' && !open.empty()) {
            matches[open.back()] = i;
            open.pop_back();
        }
    }
    return matches;
}

}  // namespace cnx::page
