#include "text_codec.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cwchar>

namespace testdrv {

std::wstring FromCodePage(const std::string& bytes, unsigned codePage) {
    if (bytes.empty() || bytes.size() > INT_MAX) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, &text[0], length);
    return text;
}

std::string ToCodePage(const std::wstring& text, unsigned codePage) {
    if (text.empty() || text.size() > INT_MAX) return std::string();
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, &bytes[0], length, nullptr, nullptr);
    return bytes;
}

std::wstring FromUtf8(const std::string& bytes) { return FromCodePage(bytes, CP_UTF8); }

std::string ToUtf8(const std::wstring& text) { return ToCodePage(text, CP_UTF8); }

std::wstring OneLine(const std::wstring& text) {
    std::wstring line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            line += L"\\n";
            ++i;
        } else if (c == L'\n') {
            line += L"\\n";
        } else if (c == L'\r') {
            line += L"\\r";
        } else if (c == L'\t') {
            line += L"\\t";
        } else {
            line += c;
        }
    }
    return line;
}

std::wstring WithoutMnemonics(const std::wstring& label) {
    std::wstring plain;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == L'&') {
            if (i + 1 < label.size() && label[i + 1] == L'&') {
                plain += L'&';
                ++i;
            }
            continue;
        }
        plain += label[i];
    }
    return plain;
}

bool ParseInt(const std::wstring& text, long long* value) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    errno = 0;
    const long long parsed = std::wcstoll(text.c_str(), &end, 0);
    if (errno != 0 || end == nullptr || *end != L'\0') return false;
    *value = parsed;
    return true;
}

}  // namespace testdrv
