#include "window_find.h"

#include "text_codec.h"

namespace testdrv {

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {0};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &length)) {
        return std::wstring();
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied)) {
        return std::wstring();
    }
    text.resize(copied < text.size() ? static_cast<size_t>(copied) : text.size() - 1);
    return text;
}

int IdOf(HWND window) { return static_cast<int>(GetWindowLongPtrW(window, GWLP_ID)); }

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

namespace {

struct TopLevelSearch {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TopLevelSearch*>(context);
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (search->pid != 0 && ProcessOf(window) != search->pid) return TRUE;
    search->found->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

bool SameClass(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, bool visibleOnly) {
    std::vector<HWND> windows;
    TopLevelSearch search{pid, visibleOnly, &windows};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return windows;
}

std::vector<HWND> Descendants(HWND root) {
    std::vector<HWND> windows;
    EnumChildWindows(root, CollectChild, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool WindowPattern::Matches(HWND window) const {
    if (!className.empty() && !SameClass(ClassOf(window), className)) return false;
    if (title.empty() && titlePart.empty()) return true;
    const std::wstring caption = OneLine(TextOf(window));
    if (!title.empty() && caption != title) return false;
    if (!titlePart.empty() && caption.find(titlePart) == std::wstring::npos) return false;
    return true;
}

std::wstring WindowPattern::Describe() const {
    std::wstring text;
    if (!className.empty()) text += L" class=" + className;
    if (!title.empty()) text += L" title=\"" + title + L"\"";
    if (!titlePart.empty()) text += L" title~=\"" + titlePart + L"\"";
    return text.empty() ? L"any window" : text.substr(1);
}

HWND FindTopLevel(DWORD pid, const WindowPattern& pattern) {
    for (HWND window : TopLevelWindows(pid, true)) {
        if (pattern.Matches(window)) return window;
    }
    return nullptr;
}

std::wstring Selector::Describe() const {
    switch (kind) {
        case Kind::Self:
            return L"the window";
        case Kind::Id:
            return L"control id " + std::to_wstring(id);
        case Kind::Label:
            return L"control labelled \"" + text + L"\"";
        case Kind::ClassIndex:
            return L"control " + text + L":" + std::to_wstring(index);
    }
    return std::wstring();
}

bool ParseSelector(const std::wstring& word, Selector* selector, std::wstring* error) {
    *selector = Selector();
    if (word == L".") return true;
    if (!word.empty() && word[0] == L'@') {
        selector->kind = Selector::Kind::Label;
        selector->text = WithoutMnemonics(word.substr(1));
        return true;
    }
    long long number = 0;
    if (ParseInt(word, &number)) {
        if (number < -1 || number > 0xFFFF) {
            *error = L"control id out of range: " + word;
            return false;
        }
        selector->kind = Selector::Kind::Id;
        // Resource compilers store -1 (IDC_STATIC) as the 16-bit 0xFFFF.
        selector->id = number == -1 ? 0xFFFF : static_cast<int>(number);
        return true;
    }
    const size_t colon = word.rfind(L':');
    if (colon != std::wstring::npos && colon > 0 && ParseInt(word.substr(colon + 1), &number) &&
        number >= 1) {
        selector->kind = Selector::Kind::ClassIndex;
        selector->text = word.substr(0, colon);
        selector->index = static_cast<int>(number);
        return true;
    }
    *error = L"not a control: \"" + word + L"\" (use ., an id, @label or Class:n)";
    return false;
}

HWND FindControl(HWND window, const Selector& selector) {
    if (selector.kind == Selector::Kind::Self) return IsWindow(window) ? window : nullptr;
    HWND hidden = nullptr;
    int seen = 0;
    for (HWND child : Descendants(window)) {
        bool match = false;
        switch (selector.kind) {
            case Selector::Kind::Id:
                match = (IdOf(child) & 0xFFFF) == selector.id;
                break;
            case Selector::Kind::Label:
                match = WithoutMnemonics(OneLine(TextOf(child))) == selector.text;
                break;
            case Selector::Kind::ClassIndex:
                if (SameClass(ClassOf(child), selector.text) && ++seen == selector.index) {
                    return child;
                }
                break;
            case Selector::Kind::Self:
                break;
        }
        if (!match) continue;
        if (IsWindowVisible(child)) return child;
        if (hidden == nullptr) hidden = child;
    }
    return hidden;
}

HWND FindMessageBox(DWORD pid, const WindowPattern& pattern) {
    for (HWND window : TopLevelWindows(pid, true)) {
        if (ClassOf(window) != L"#32770" || !pattern.Matches(window)) continue;
        bool onlyTextsAndButtons = true;
        bool answerButton = false;
        for (HWND child : Descendants(window)) {
            const std::wstring name = ClassOf(child);
            if (SameClass(name, L"Button")) {
                const int id = IdOf(child);
                if (id >= IDOK && id <= IDCONTINUE) answerButton = true;
            } else if (!SameClass(name, L"Static")) {
                onlyTextsAndButtons = false;
            }
        }
        if (onlyTextsAndButtons && answerButton) return window;
    }
    return nullptr;
}

}  // namespace testdrv
