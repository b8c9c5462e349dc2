#include "cnxassist/page_scan.h"

#include <limits>

namespace cnx::page {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const char* SkipBlanks(const char* p) {
    if (p == nullptr) return nullptr;
    while (IsBlank(*p)) ++p;
    return *p == '\0' ? nullptr : p;
}

const char* ExpectWord(const char* p, const char* word) {
    if (p == nullptr) return nullptr;
    // The text's zero differs from any character of the word, so the loop stops there.
    for (; *word != '\0'; ++word, ++p) {
        if (*p != *word) return nullptr;
    }
    return p;
}

const char* ReadNumber(const char* p, std::int32_t* value) {
    if (p == nullptr || !IsDigit(*p)) return nullptr;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t n = 0;
    for (; IsDigit(*p); ++p) {
        n = n * 10 + (*p - '0');
        if (n > kMax) return nullptr;
    }
    *value = static_cast<std::int32_t>(n);
    return p;
}

const char* ReadQuoted(const char* p, std::size_t maxLength, std::string* text) {
    if (p == nullptr || *p != '"') return nullptr;
    const char* begin = ++p;
    while (*p != '"') {
        if (*p == '\0') return nullptr;
        ++p;
    }
    auto length = static_cast<std::size_t>(p - begin);
    // An empty text never parses: every item carries a label, a text or a name.
    if (length == 0 || length > maxLength) return nullptr;
    text->assign(begin, length);
    return p + 1;
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
