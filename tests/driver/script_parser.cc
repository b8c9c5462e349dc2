#include "script_parser.h"

#include <windows.h>

namespace testdrv {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool LookUpVariable(const std::wstring& name, const Variables& variables, std::wstring* value) {
    const auto found = variables.find(name);
    if (found != variables.end()) {
        *value = found->second;
        return true;
    }
    const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (size == 0) return false;
    std::wstring buffer(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name.c_str(), &buffer[0], size);
    if (length >= size) return false;
    buffer.resize(length);
    *value = buffer;
    return true;
}

bool IsOptionKey(const std::wstring& key) {
    if (key.empty() || key[0] < L'a' || key[0] > L'z') return false;
    for (size_t i = 0; i < key.size(); ++i) {
        const wchar_t c = key[i];
        const bool last = i + 1 == key.size();
        const bool plain =
            (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'-' || c == L'_';
        if (!plain && !(last && (c == L'~' || c == L'&'))) return false;
    }
    return true;
}

struct Word {
    std::wstring value;
    size_t equals = std::wstring::npos;  // first "=" outside quotes
};

}  // namespace

const std::wstring* Command::Option(const std::wstring& key) const {
    for (const auto& option : options) {
        if (option.first == key) return &option.second;
    }
    return nullptr;
}

bool ParseLine(const std::wstring& line, const Variables& variables, Command* command,
               std::wstring* error) {
    command->text = line;
    command->name.clear();
    command->args.clear();
    command->options.clear();

    std::vector<Word> words;
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size() || line[i] == L'#') return true;

    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) break;
        Word word;
        bool quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            const wchar_t c = line[i];
            if (c == L'"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                    word.value += L'"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            if (c == L'$' && i + 1 < line.size() && line[i + 1] == L'{') {
                const size_t close = line.find(L'}', i + 2);
                if (close == std::wstring::npos) {
                    *error = L"unclosed ${ in \"" + line + L"\"";
                    return false;
                }
                const std::wstring name = line.substr(i + 2, close - i - 2);
                std::wstring value;
                if (!LookUpVariable(name, variables, &value)) {
                    *error = L"unknown variable ${" + name + L"}";
                    return false;
                }
                word.value += value;
                i = close + 1;
                continue;
            }
            if (c == L'=' && !quoted && word.equals == std::wstring::npos) {
                word.equals = word.value.size();
            }
            word.value += c;
            ++i;
        }
        if (quoted) {
            *error = L"unclosed quote";
            return false;
        }
        words.push_back(word);
    }

    command->name = words[0].value;
    for (size_t w = 1; w < words.size(); ++w) {
        const Word& word = words[w];
        if (word.equals != std::wstring::npos) {
            const std::wstring key = word.value.substr(0, word.equals);
            if (IsOptionKey(key)) {
                command->options.emplace_back(key, word.value.substr(word.equals + 1));
                continue;
            }
        }
        command->args.push_back(word.value);
    }
    return true;
}

bool ParseScript(const std::wstring& text, const Variables& variables,
                 std::vector<Command>* commands, std::wstring* error) {
    commands->clear();
    size_t start = 0;
    int number = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        ++number;
        Command command;
        std::wstring lineError;
        if (!ParseLine(line, variables, &command, &lineError)) {
            *error = L"line " + std::to_wstring(number) + L": " + lineError;
            return false;
        }
        if (!command.name.empty()) {
            command.line = number;
            commands->push_back(command);
        }
        start = end + 1;
    }
    return true;
}

}  // namespace testdrv
