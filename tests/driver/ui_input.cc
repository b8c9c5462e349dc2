#include "ui_input.h"

#include <climits>
#include <cwctype>
#include <utility>
#include <vector>

#include "settle_marker.h"

namespace testdrv {

namespace {

// The driver's end of the settle markers: the hook DLL beside testdrv.exe, installed once per
// thread of the program under test, and the shared number and event the hook reports through.
class SettleChannel {
  public:
    static SettleChannel& Get() {
        static SettleChannel channel;
        return channel;
    }

    // Installs the hook on `thread` the first time; false when that cannot be done.
    bool Watch(DWORD thread) {
        if (hook_ == nullptr || last_ == nullptr || event_ == nullptr) return false;
        for (const auto& watched : hooks_) {
            if (watched.first == thread) return true;
        }
        HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, hook_, dll_, thread);
        if (hook == nullptr) return false;
        hooks_.emplace_back(thread, hook);
        return true;
    }

    LONG Last() const { return InterlockedCompareExchange(last_, 0, 0); }
    HANDLE Event() const { return event_; }

  private:
    SettleChannel() {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dllPath(path, length < MAX_PATH ? length : 0);
        dllPath = dllPath.substr(0, dllPath.find_last_of(L"\\/") + 1) + L"testdrv_hook.dll";
        dll_ = LoadLibraryW(dllPath.c_str());
        if (dll_ != nullptr) {
            hook_ = reinterpret_cast<HOOKPROC>(
                reinterpret_cast<void (*)()>(GetProcAddress(dll_, "TestdrvGetMessageHook@12")));
            if (hook_ == nullptr) {
                hook_ = reinterpret_cast<HOOKPROC>(
                    reinterpret_cast<void (*)()>(GetProcAddress(dll_, "TestdrvGetMessageHook")));
            }
        }
        wchar_t memoryName[kSettleNameSize];
        wchar_t eventName[kSettleNameSize];
        SettleObjectNames(GetCurrentProcessId(), memoryName, eventName, kSettleNameSize);
        memory_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                                     memoryName);
        if (memory_ != nullptr) {
            last_ = static_cast<LONG*>(MapViewOfFile(memory_, FILE_MAP_WRITE, 0, 0, sizeof(LONG)));
        }
        event_ = CreateEventW(nullptr, FALSE, FALSE, eventName);
    }

    HMODULE dll_ = nullptr;
    HOOKPROC hook_ = nullptr;
    HANDLE memory_ = nullptr;
    LONG* last_ = nullptr;
    HANDLE event_ = nullptr;
    std::vector<std::pair<DWORD, HHOOK>> hooks_;
};

LONG g_lastMarker = 0;
bool g_settleByTiming = false;

DWORD Remaining(DWORD deadline) {
    const DWORD now = GetTickCount();
    return static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
}

bool MarkerRound(HWND window, DWORD deadline) {
    SettleChannel& channel = SettleChannel::Get();
    const LONG number = ++g_lastMarker;
    if (!PostMessageW(window, SettleMarkerMessage(), static_cast<WPARAM>(number),
                      static_cast<LPARAM>(GetCurrentProcessId()))) {
        return !IsWindow(window);
    }
    for (;;) {
        if (channel.Last() >= number || !IsWindow(window)) return true;
        const DWORD left = Remaining(deadline);
        if (left == 0) return false;
        WaitForSingleObject(channel.Event(), left < 20 ? left : 20);
    }
}

// Without the hook: give the program a moment to take the posted messages, then wait until it
// answers a sent one (it does once its handler returns or a modal loop runs).
bool TimingRound(HWND window, DWORD deadline) {
    Sleep(50);
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, Remaining(deadline), &ignored)) {
        return true;
    }
    return !IsWindow(window);
}

wchar_t AltLetter(const std::wstring& name) {
    if (name.size() == 5 && name.compare(0, 4, L"alt+") == 0 && std::iswalnum(name[4])) {
        return name[4];
    }
    return 0;
}

LPARAM KeyParam(UINT vk, bool release) {
    const UINT scan = MapVirtualKeyW(vk, 0);  // MAPVK_VK_TO_VSC
    LPARAM param = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
    if (release) param |= static_cast<LPARAM>(0xC0000000UL);  // previous state, transition
    return param;
}

}  // namespace

namespace {

struct KeyName {
    const wchar_t* name;
    UINT vk;
};

const KeyName kKeys[] = {
    {L"enter", VK_RETURN},   {L"escape", VK_ESCAPE}, {L"tab", VK_TAB},   {L"space", VK_SPACE},
    {L"backspace", VK_BACK}, {L"delete", VK_DELETE}, {L"up", VK_UP},     {L"down", VK_DOWN},
    {L"left", VK_LEFT},      {L"right", VK_RIGHT},   {L"home", VK_HOME}, {L"end", VK_END},
    {L"pageup", VK_PRIOR},   {L"pagedown", VK_NEXT},
};

}  // namespace

UINT NamedKeyCode(const std::wstring& name) {
    for (const KeyName& key : kKeys) {
        if (name == key.name) return key.vk;
    }
    if (name.size() >= 2 && name.size() <= 3 && name[0] == L'f') {
        const int number = _wtoi(name.c_str() + 1);
        if (number >= 1 && number <= 12) return VK_F1 + static_cast<UINT>(number - 1);
    }
    return 0;
}

bool Settle(HWND window, DWORD timeoutMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    const bool hooked = SettleChannel::Get().Watch(GetWindowThreadProcessId(window, nullptr));
    if (!hooked) g_settleByTiming = true;
    // A handler may post messages to its own program in turn (a wizard moving to its next
    // page); a few rounds let such chains finish too.
    for (int round = 0; round < 3; ++round) {
        if (!IsWindow(window)) return true;
        if (!(hooked ? MarkerRound(window, deadline) : TimingRound(window, deadline))) {
            return !IsWindow(window);
        }
    }
    return true;
}

bool SettlesByTiming() { return g_settleByTiming; }

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PostTyping(HWND edit, const std::wstring& text, bool append) {
    const LPARAM corner = MAKELPARAM(1, 1);
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, corner);
    PostMessageW(edit, WM_LBUTTONUP, 0, corner);
    if (append) {
        // Positions past the end stand for the end (-1 would keep the caret where the click
        // put it).
        PostMessageW(edit, EM_SETSEL, static_cast<WPARAM>(INT_MAX), INT_MAX);
    } else {
        PostMessageW(edit, EM_SETSEL, 0, -1);
    }
    if (!append && text.empty()) {
        PostMessageW(edit, WM_CHAR, VK_BACK, 1);
        return;
    }
    for (wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 1);
}

bool KnownKey(const std::wstring& name) { return NamedKeyCode(name) != 0 || AltLetter(name) != 0; }

HWND FocusOf(HWND window) {
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) return nullptr;
    return thread.hwndFocus;
}

void PostKey(HWND window, const std::wstring& name) {
    HWND target = FocusOf(window);
    if (target == nullptr) target = window;
    const wchar_t letter = AltLetter(name);
    if (letter != 0) {
        // Bit 29: the ALT key was down, as for a mnemonic typed by the user.
        PostMessageW(target, WM_SYSCHAR, std::towlower(letter), 1 | (1L << 29));
        return;
    }
    const UINT vk = NamedKeyCode(name);
    PostMessageW(target, WM_KEYDOWN, vk, KeyParam(vk, false));
    PostMessageW(target, WM_KEYUP, vk, KeyParam(vk, true));
}

}  // namespace testdrv
