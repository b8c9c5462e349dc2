#include "real_input.h"

#include <cwctype>

#include "settle_marker.h"
#include "ui_input.h"

namespace testdrv {

namespace {

// Keys whose scan code comes from the extended part of the keyboard (the arrows and their
// block): without the flag a program would see the numeric keypad's keys.
bool IsExtended(WORD vk) {
    switch (vk) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_DELETE:
        case VK_INSERT:
            return true;
        default:
            return false;
    }
}

INPUT KeyEvent(WORD vk, wchar_t unicode, bool release) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    if (unicode != 0) {
        input.ki.wScan = unicode;
        input.ki.dwFlags = KEYEVENTF_UNICODE;
    } else {
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, 0));  // MAPVK_VK_TO_VSC
        if (IsExtended(vk)) input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    }
    if (release) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
}

// The shared counter of key releases, made by the driver, counted up by the hook.
class ReleaseCounter {
  public:
    static ReleaseCounter& Get() {
        static ReleaseCounter counter;
        return counter;
    }
    LONG Value() const { return count_ != nullptr ? InterlockedCompareExchange(count_, 0, 0) : 0; }

  private:
    ReleaseCounter() {
        memory_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                     kKeyReleaseMemoryName);
        if (memory_ != nullptr) {
            count_ = static_cast<LONG*>(MapViewOfFile(memory_, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
        }
    }
    HANDLE memory_ = nullptr;
    LONG* count_ = nullptr;
};

}  // namespace

bool ParseChord(const std::wstring& name, KeyChord* chord) {
    KeyChord parsed;
    std::wstring rest = name;
    const struct {
        const wchar_t* prefix;
        WORD vk;
    } modifiers[] = {{L"shift+", VK_SHIFT}, {L"ctrl+", VK_CONTROL}, {L"alt+", VK_MENU}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& modifier : modifiers) {
            const std::wstring prefix = modifier.prefix;
            if (rest.size() > prefix.size() && rest.compare(0, prefix.size(), prefix) == 0) {
                parsed.modifiers.push_back(modifier.vk);
                rest = rest.substr(prefix.size());
                found = true;
            }
        }
    }
    parsed.key = static_cast<WORD>(NamedKeyCode(rest));
    if (parsed.key == 0 && rest.size() == 1 && std::iswalnum(rest[0]) && rest[0] < 0x80) {
        // Letter keys are named by their capital, whatever the layout prints on them.
        parsed.key = static_cast<WORD>(std::towupper(rest[0]));
    }
    if (parsed.key == 0) return false;
    *chord = parsed;
    return true;
}

std::vector<KeyChord> ChordsForText(const std::wstring& text) {
    std::vector<KeyChord> chords;
    for (wchar_t c : text) {
        KeyChord chord;
        const SHORT scan = VkKeyScanW(c);
        if (scan == -1 || (HIBYTE(scan) & ~1) != 0) {
            // No key, or one that needs more than shift (AltGr): the character itself.
            chord.unicode = c;
        } else {
            if (HIBYTE(scan) & 1) chord.modifiers.push_back(VK_SHIFT);
            chord.key = LOBYTE(scan);
        }
        chords.push_back(chord);
    }
    return chords;
}

int SendChords(const std::vector<KeyChord>& chords) {
    ReleaseCounter::Get();  // the counter exists before the first key can be counted
    int releases = 0;
    for (const KeyChord& chord : chords) {
        std::vector<INPUT> inputs;
        for (WORD modifier : chord.modifiers) inputs.push_back(KeyEvent(modifier, 0, false));
        inputs.push_back(KeyEvent(chord.key, chord.unicode, false));
        inputs.push_back(KeyEvent(chord.key, chord.unicode, true));
        for (auto it = chord.modifiers.rbegin(); it != chord.modifiers.rend(); ++it) {
            inputs.push_back(KeyEvent(*it, 0, true));
        }
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent != inputs.size()) return -1;
        releases += 1 + static_cast<int>(chord.modifiers.size());
    }
    return releases;
}

LONG KeyReleasesTaken() { return ReleaseCounter::Get().Value(); }

}  // namespace testdrv
