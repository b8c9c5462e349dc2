#include "message_box.h"

#include <cwctype>

#include "text_codec.h"
#include "window_find.h"

namespace testdrv {

namespace {

struct NamedButton {
    int id;
    const wchar_t* name;
};

const NamedButton kButtons[] = {
    {IDOK, L"IDOK"},
    {IDCANCEL, L"IDCANCEL"},
    {IDABORT, L"IDABORT"},
    {IDRETRY, L"IDRETRY"},
    {IDIGNORE, L"IDIGNORE"},
    {IDYES, L"IDYES"},
    {IDNO, L"IDNO"},
    {IDCLOSE, L"IDCLOSE"},
    {IDHELP, L"IDHELP"},
    {IDTRYAGAIN, L"IDTRYAGAIN"},
    {IDCONTINUE, L"IDCONTINUE"},
};

}  // namespace

MessageBoxContent ReadMessageBox(HWND box) {
    MessageBoxContent content;
    content.caption = OneLine(TextOf(box));
    for (HWND child : Descendants(box)) {
        if (!IsWindowVisible(child)) continue;
        const std::wstring name = ClassOf(child);
        if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str(), -1, L"Button", -1) ==
            CSTR_EQUAL) {
            content.buttons.push_back(IdOf(child));
            continue;
        }
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        if ((style & SS_TYPEMASK) == SS_ICON) continue;
        const std::wstring text = OneLine(TextOf(child));
        if (text.empty()) continue;
        if (!content.text.empty()) content.text += L"\\n";
        content.text += text;
    }
    return content;
}

std::wstring ButtonName(int id) {
    for (const NamedButton& button : kButtons) {
        if (button.id == id) return button.name;
    }
    return std::to_wstring(id);
}

bool ParseButton(const std::wstring& word, int* id) {
    std::wstring upper;
    for (wchar_t c : word) upper += static_cast<wchar_t>(std::towupper(c));
    if (upper.compare(0, 2, L"ID") != 0) upper = L"ID" + upper;
    for (const NamedButton& button : kButtons) {
        if (upper == button.name) {
            *id = button.id;
            return true;
        }
    }
    long long number = 0;
    if (!ParseInt(word, &number) || number < 0 || number > 0xFFFF) return false;
    *id = static_cast<int>(number);
    return true;
}

}  // namespace testdrv
