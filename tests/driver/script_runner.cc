#include "script_runner.h"

#include "message_box.h"
#include "real_input.h"
#include "screen_capture.h"
#include "text_codec.h"
#include "ui_input.h"
#include "window_find.h"
#include "window_state.h"

namespace testdrv {

struct ScriptRunner::CommandForm {
    const wchar_t* name;
    size_t minArgs;
    size_t maxArgs;
    std::vector<std::wstring> options;  // "*" also allows the window property keys
    int selectorArg;                    // index of an argument that names a control, or -1
    Handler handler;
};

namespace {

constexpr size_t kMany = static_cast<size_t>(-1);
constexpr DWORD kPollMs = 15;
// Wine flushes a window's drawing to the screen a moment after the program paints it.
constexpr DWORD kScreenshotDelayMs = 300;

// Calls `done` until it returns true or `timeoutMs` has passed; true when it did.
template <class Done>
bool PollUntil(DWORD timeoutMs, Done&& done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(kPollMs);
    }
}

bool ParseMs(const std::wstring& text, DWORD* value) {
    long long number = 0;
    if (!ParseInt(text, &number) || number < 0 || number > 3600000) return false;
    *value = static_cast<DWORD>(number);
    return true;
}

bool IsButton(HWND window) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, ClassOf(window).c_str(), -1, L"Button",
                          -1) == CSTR_EQUAL;
}

bool IsUsable(HWND control) {
    if (!IsWindowVisible(control)) return false;
    for (HWND window = control; window != nullptr; window = GetParent(window)) {
        if (!IsWindowEnabled(window)) return false;
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) break;
    }
    return true;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring Describe(HWND window) {
    return ClassOf(window) + L" " + Quoted(OneLine(TextOf(window)));
}

std::wstring ListWindows(DWORD pid) {
    std::wstring list;
    for (HWND window : TopLevelWindows(pid, true)) {
        list += (list.empty() ? L"" : L"; ") + Describe(window);
    }
    return list.empty() ? L"none" : list;
}

// Wine activates the first window of a program started from a console before that program is
// the foreground one, and so tells it WM_NCACTIVATE(FALSE): the window is active but its caption
// stays drawn in the inactive colours. Telling it again what it is makes the screenshots look
// as on Windows; nothing else in the program changes.
void RepaintActiveCaption(HWND window) {
    if (GetForegroundWindow() != window) return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NCACTIVATE, TRUE, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                        &ignored);
}

WindowPattern PatternOf(const Command& command, const wchar_t* titleKey) {
    WindowPattern pattern;
    if (const std::wstring* value = command.Option(L"class")) pattern.className = *value;
    const std::wstring key = titleKey;
    if (const std::wstring* value = command.Option(key)) pattern.title = *value;
    if (const std::wstring* value = command.Option(key + L"~")) pattern.titlePart = *value;
    return pattern;
}

bool ReadFileText(const std::wstring& path, std::wstring* text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    *text = FromCodePage(bytes, 1252);  // the programs under test write Windows-1252
    return true;
}

}  // namespace

ScriptRunner::ScriptRunner(Printer print) : print_(std::move(print)) {}

ScriptRunner::~ScriptRunner() {
    for (Process& process : processes_) {
        if (process.handle != nullptr) CloseHandle(process.handle);
    }
}

const std::vector<ScriptRunner::CommandForm>& ScriptRunner::CommandForms() {
    static const std::vector<CommandForm> forms = {
        {L"timeout", 1, 1, {}, -1, &ScriptRunner::DoTimeout},
        {L"start", 1, kMany, {L"cwd"}, -1, &ScriptRunner::DoStart},
        {L"attach", 1, 1, {L"timeout"}, -1, &ScriptRunner::DoAttach},
        {L"wait-window",
         0,
         0,
         {L"class", L"title", L"title~", L"process", L"timeout"},
         -1,
         &ScriptRunner::DoWaitWindow},
        {L"wait-no-window",
         0,
         0,
         {L"class", L"title", L"title~", L"process", L"timeout"},
         -1,
         &ScriptRunner::DoWaitNoWindow},
        {L"click", 1, 1, {L"timeout"}, 0, &ScriptRunner::DoClick},
        {L"command", 1, 1, {L"code", L"timeout"}, -1, &ScriptRunner::DoCommand},
        {L"type", 2, 2, {L"append", L"timeout"}, 0, &ScriptRunner::DoType},
        {L"key", 1, 1, {L"timeout"}, -1, &ScriptRunner::DoKey},
        {L"press", 1, kMany, {L"process", L"timeout"}, -1, &ScriptRunner::DoPress},
        {L"press-text", 1, 1, {L"process", L"timeout"}, -1, &ScriptRunner::DoPressText},
        {L"close", 0, 0, {L"timeout"}, -1, &ScriptRunner::DoClose},
        {L"msgbox",
         0,
         0,
         {L"text", L"text~", L"caption", L"caption~", L"press", L"process", L"timeout"},
         -1,
         &ScriptRunner::DoMsgbox},
        {L"expect", 1, 1, {L"*", L"timeout"}, 0, &ScriptRunner::DoExpect},
        {L"expect-text", 2, 2, {L"timeout"}, 0, &ScriptRunner::DoExpectText},
        {L"expect-file", 1, 1, {L"text", L"text~", L"timeout"}, -1, &ScriptRunner::DoExpectFile},
        {L"show", 1, 1, {L"timeout"}, 0, &ScriptRunner::DoShow},
        {L"dump", 0, 0, {L"process"}, -1, &ScriptRunner::DoDump},
        {L"screenshot", 1, 2, {L"delay"}, -1, &ScriptRunner::DoScreenshot},
        {L"wait-exit", 0, 0, {L"code", L"timeout"}, -1, &ScriptRunner::DoWaitExit},
        {L"kill", 0, 0, {}, -1, &ScriptRunner::DoKill},
        {L"sleep", 1, 1, {}, -1, &ScriptRunner::DoSleep},
        {L"say", 1, kMany, {}, -1, &ScriptRunner::DoSay},
    };
    return forms;
}

const ScriptRunner::CommandForm* ScriptRunner::FindCommandForm(const std::wstring& name) {
    for (const CommandForm& form : CommandForms()) {
        if (name == form.name) return &form;
    }
    return nullptr;
}

bool ScriptRunner::Check(const std::vector<Command>& commands, std::wstring* error) const {
    for (const Command& command : commands) {
        const std::wstring where = L"line " + std::to_wstring(command.line) + L": ";
        const CommandForm* form = FindCommandForm(command.name);
        if (form == nullptr) {
            *error = where + L"unknown command \"" + command.name + L"\"";
            return false;
        }
        if (command.args.size() < form->minArgs || command.args.size() > form->maxArgs) {
            *error = where + command.name + L" takes " + std::to_wstring(form->minArgs) +
                     (form->maxArgs == form->minArgs
                          ? std::wstring()
                          : (form->maxArgs == kMany ? L" or more"
                                                    : L" to " + std::to_wstring(form->maxArgs))) +
                     L" argument(s), got " + std::to_wstring(command.args.size()) +
                     L" (quote a value holding blanks or \"=\")";
            return false;
        }
        for (const auto& option : command.options) {
            bool allowed = false;
            for (const std::wstring& name : form->options) {
                allowed = allowed || name == option.first ||
                          (name == L"*" && IsPropertyKey(option.first));
            }
            if (!allowed) {
                *error = where + command.name + L" has no option \"" + option.first + L"\"";
                return false;
            }
            DWORD ms = 0;
            if ((option.first == L"timeout" || option.first == L"delay") &&
                !ParseMs(option.second, &ms)) {
                *error = where + L"bad " + option.first + L" \"" + option.second + L"\"";
                return false;
            }
            if (option.first == L"process" && option.second != L"any") {
                *error = where + L"process= takes only \"any\"";
                return false;
            }
            int button = 0;
            if (option.first == L"press" && !ParseButton(option.second, &button)) {
                *error = where + L"unknown button \"" + option.second + L"\"";
                return false;
            }
        }
        if (form->selectorArg >= 0) {
            Selector selector;
            std::wstring selectorError;
            if (!ParseSelector(command.args[static_cast<size_t>(form->selectorArg)], &selector,
                               &selectorError)) {
                *error = where + selectorError;
                return false;
            }
        }
        DWORD ms = 0;
        if ((command.name == L"timeout" || command.name == L"sleep") &&
            !ParseMs(command.args[0], &ms)) {
            *error = where + L"bad milliseconds \"" + command.args[0] + L"\"";
            return false;
        }
        if (command.name == L"key" && !KnownKey(command.args[0])) {
            *error = where + L"unknown key \"" + command.args[0] + L"\"";
            return false;
        }
        if (command.name == L"press") {
            KeyChord chord;
            for (const std::wstring& name : command.args) {
                if (!ParseChord(name, &chord)) {
                    *error = where + L"unknown key \"" + name + L"\"";
                    return false;
                }
            }
        }
        if (command.name == L"expect" &&
            command.options.size() == (command.Option(L"timeout") ? 1u : 0u)) {
            *error = where + L"expect needs at least one property (text=, checked=, ...)";
            return false;
        }
    }
    return true;
}

bool ScriptRunner::Run(const std::vector<Command>& commands) {
    bool timingNoted = false;
    for (const Command& command : commands) {
        const CommandForm* form = FindCommandForm(command.name);
        std::wstring message;
        const std::wstring where = L"L" + std::to_wstring(command.line) + L" " + command.name;
        const DWORD start = GetTickCount();
        const bool passed = form != nullptr && (this->*(form->handler))(command, &message);
        const DWORD took = GetTickCount() - start;
        if (SettlesByTiming() && !timingNoted) {
            timingNoted = true;
            print_(L"note: testdrv_hook.dll could not watch the program; actions settle by timing");
        }
        if (passed) {
            print_(L"ok   " + where + (message.empty() ? L"" : L": " + message) + L" (" +
                   std::to_wstring(took) + L" ms)");
            continue;
        }
        print_(L"FAIL " + where + L": " + message);
        print_(L"     in: " + command.text);
        if (const Process* process = Current()) {
            print_(L"windows of " + process->name + L" at the failure:");
            for (const std::wstring& line : DumpWindows(process->pid)) print_(L"  " + line);
        }
        EndPrograms(true);
        return false;
    }
    EndPrograms(true);
    return true;
}

void ScriptRunner::EndPrograms(bool report) {
    for (Process& process : processes_) {
        if (!IsRunning(process)) continue;
        TerminateProcess(process.handle, 255);
        WaitForSingleObject(process.handle, 5000);
        if (report) {
            print_(L"note: ended " + process.name + L" (pid " + std::to_wstring(process.pid) +
                   L"), which was still running");
        }
    }
}

DWORD ScriptRunner::TimeoutOf(const Command& command) const {
    DWORD ms = timeoutMs_;
    if (const std::wstring* value = command.Option(L"timeout")) ParseMs(*value, &ms);
    return ms;
}

const Process* ScriptRunner::Current() const {
    return current_ >= 0 ? &processes_[static_cast<size_t>(current_)] : nullptr;
}

DWORD ScriptRunner::CurrentPid(const Command& command) const {
    if (command.Option(L"process") != nullptr) return 0;
    const Process* process = Current();
    return process != nullptr ? process->pid : 0;
}

bool ScriptRunner::NeedWindow(std::wstring* message) const {
    if (window_ != nullptr && IsWindow(window_)) return true;
    *message = window_ == nullptr ? L"no current window (use wait-window first)"
                                  : L"the current window is gone";
    return false;
}

bool ScriptRunner::ResolveControl(const Command& command, const std::wstring& word, bool usable,
                                  HWND* control, std::wstring* message) {
    if (!NeedWindow(message)) return false;
    Selector selector;
    if (!ParseSelector(word, &selector, message)) return false;
    HWND found = nullptr;
    const bool ready = PollUntil(TimeoutOf(command), [&]() {
        found = FindControl(window_, selector);
        return found != nullptr && (!usable || IsUsable(found));
    });
    if (ready) {
        *control = found;
        return true;
    }
    if (found == nullptr) {
        *message = L"no " + selector.Describe() + L" in " + Describe(window_);
    } else {
        WindowState state;
        ReadState(found, &state);
        *message =
            selector.Describe() + L" cannot be used: " + FormatState(state) +
            (IsWindowEnabled(window_) ? L""
                                      : L" (the window is disabled: a modal window is open?)");
    }
    return false;
}

bool ScriptRunner::SettleAfter(HWND top, const Command& command, std::wstring* message) {
    if (Settle(top, TimeoutOf(command))) return true;
    *message = L"the program did not get back to its message loop within " +
               std::to_wstring(TimeoutOf(command)) + L" ms";
    return false;
}

bool ScriptRunner::DoTimeout(const Command& command, std::wstring* message) {
    ParseMs(command.args[0], &timeoutMs_);
    *message = std::to_wstring(timeoutMs_) + L" ms";
    return true;
}

bool ScriptRunner::DoStart(const Command& command, std::wstring* message) {
    Process process;
    const std::wstring* folder = command.Option(L"cwd");
    const std::vector<std::wstring> arguments(command.args.begin() + 1, command.args.end());
    if (!StartProcess(command.args[0], arguments, folder ? *folder : std::wstring(), &process,
                      message)) {
        return false;
    }
    processes_.push_back(process);
    current_ = static_cast<int>(processes_.size()) - 1;
    window_ = nullptr;
    *message = process.name + L" pid " + std::to_wstring(process.pid);
    return true;
}

bool ScriptRunner::DoAttach(const Command& command, std::wstring* message) {
    std::vector<DWORD> known;
    for (const Process& process : processes_) known.push_back(process.pid);
    Process process;
    if (!PollUntil(TimeoutOf(command),
                   [&]() { return OpenProcessByName(command.args[0], known, &process); })) {
        *message = L"no new process " + command.args[0] + L" within " +
                   std::to_wstring(TimeoutOf(command)) + L" ms";
        return false;
    }
    processes_.push_back(process);
    current_ = static_cast<int>(processes_.size()) - 1;
    window_ = nullptr;
    *message = process.name + L" pid " + std::to_wstring(process.pid);
    return true;
}

bool ScriptRunner::DoWaitWindow(const Command& command, std::wstring* message) {
    const Process* process = Current();
    const bool anyProcess = command.Option(L"process") != nullptr;
    if (process == nullptr && !anyProcess) {
        *message = L"no program started";
        return false;
    }
    const WindowPattern pattern = PatternOf(command, L"title");
    const DWORD pid = CurrentPid(command);
    HWND found = nullptr;
    bool exited = false;
    PollUntil(TimeoutOf(command), [&]() {
        found = FindTopLevel(pid, pattern);
        exited = found == nullptr && !anyProcess && !IsRunning(*process);
        return found != nullptr || exited;
    });
    if (found != nullptr) {
        window_ = found;
        RepaintActiveCaption(found);
        *message = Describe(found);
        return true;
    }
    if (exited) {
        DWORD code = 0;
        GetExitCodeProcess(process->handle, &code);
        *message = process->name + L" ended with exit code " + std::to_wstring(code) +
                   L" before showing " + pattern.Describe();
        return false;
    }
    *message = L"no window " + pattern.Describe() + L" within " +
               std::to_wstring(TimeoutOf(command)) + L" ms; shown: " + ListWindows(pid);
    return false;
}

bool ScriptRunner::DoWaitNoWindow(const Command& command, std::wstring* message) {
    const WindowPattern pattern = PatternOf(command, L"title");
    const DWORD pid = CurrentPid(command);
    HWND found = nullptr;
    if (PollUntil(TimeoutOf(command), [&]() {
            found = FindTopLevel(pid, pattern);
            return found == nullptr;
        })) {
        return true;
    }
    *message =
        L"still shown after " + std::to_wstring(TimeoutOf(command)) + L" ms: " + Describe(found);
    return false;
}

bool ScriptRunner::DoClick(const Command& command, std::wstring* message) {
    HWND button = nullptr;
    if (!ResolveControl(command, command.args[0], true, &button, message)) return false;
    if (!IsButton(button)) {
        *message = command.args[0] + L" is a " + ClassOf(button) +
                   L", not a button (use command for a WM_COMMAND)";
        return false;
    }
    *message = Describe(button);
    HWND top = GetAncestor(button, GA_ROOT);
    PostClick(button);
    return SettleAfter(top, command, message);
}

bool ScriptRunner::DoCommand(const Command& command, std::wstring* message) {
    if (!NeedWindow(message)) return false;
    long long id = 0;
    long long code = 0;
    const std::wstring* codeText = command.Option(L"code");
    if (!ParseInt(command.args[0], &id) || id < 0 || id > 0xFFFF ||
        (codeText != nullptr && (!ParseInt(*codeText, &code) || code < 0 || code > 0xFFFF))) {
        *message = L"bad id or code";
        return false;
    }
    HWND control = GetDlgItem(window_, static_cast<int>(id));
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)),
                 reinterpret_cast<LPARAM>(control));
    *message = L"WM_COMMAND " + std::to_wstring(id) + L" code " + std::to_wstring(code);
    return SettleAfter(window_, command, message);
}

bool ScriptRunner::DoType(const Command& command, std::wstring* message) {
    HWND edit = nullptr;
    if (!ResolveControl(command, command.args[0], true, &edit, message)) return false;
    // A combo box takes its typing in the edit control inside it.
    if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, ClassOf(edit).c_str(), -1, L"ComboBox",
                       -1) == CSTR_EQUAL) {
        HWND inner = FindWindowExW(edit, nullptr, L"Edit", nullptr);
        if (inner != nullptr) edit = inner;
    }
    const std::wstring* append = command.Option(L"append");
    *message = Quoted(command.args[1]) + L" into " + ClassOf(edit) + L" " +
               std::to_wstring(IdOf(edit) & 0xFFFF);
    HWND top = GetAncestor(edit, GA_ROOT);
    PostTyping(edit, command.args[1], append != nullptr && *append != L"0");
    return SettleAfter(top, command, message);
}

bool ScriptRunner::DoKey(const Command& command, std::wstring* message) {
    if (!NeedWindow(message)) return false;
    // Described before the key goes: the program may close the window as soon as it gets it.
    HWND focus = FocusOf(window_);
    *message = command.args[0] + L" to " + (focus != nullptr ? Describe(focus) : L"the window");
    PostKey(window_, command.args[0]);
    return SettleAfter(window_, command, message);
}

bool ScriptRunner::DoPress(const Command& command, std::wstring* message) {
    std::vector<KeyChord> chords;
    for (const std::wstring& name : command.args) {
        KeyChord chord;
        ParseChord(name, &chord);
        chords.push_back(chord);
    }
    std::wstring keys;
    for (const std::wstring& name : command.args) keys += (keys.empty() ? L"" : L" ") + name;
    return PressKeys(chords, keys, command, message);
}

bool ScriptRunner::DoPressText(const Command& command, std::wstring* message) {
    return PressKeys(ChordsForText(command.args[0]), Quoted(command.args[0]), command, message);
}

bool ScriptRunner::PressKeys(const std::vector<KeyChord>& chords, const std::wstring& what,
                             const Command& command, std::wstring* message) {
    // The keyboard goes to the foreground window, as it does for a user: wait until it is one of
    // the current program's (of any program with process=any).
    const DWORD pid = CurrentPid(command);
    HWND foreground = nullptr;
    const bool ready = PollUntil(TimeoutOf(command), [&]() {
        foreground = GetForegroundWindow();
        DWORD owner = 0;
        if (foreground != nullptr) GetWindowThreadProcessId(foreground, &owner);
        return foreground != nullptr && (pid == 0 || owner == pid);
    });
    if (!ready) {
        *message = what + L": the keyboard goes to " +
                   (foreground != nullptr ? Describe(foreground) : std::wstring(L"no window")) +
                   L", not to the current program";
        return false;
    }
    // The program idle and watched by the hook before the keys go.
    if (!SettleAfter(foreground, command, message)) return false;
    HWND focus = FocusOf(foreground);
    *message = what + L" to " + (focus != nullptr ? Describe(focus) : Describe(foreground));
    const LONG before = KeyReleasesTaken();
    const int releases = SendChords(chords);
    if (releases < 0) {
        *message += L": SendInput refused the keys";
        return false;
    }
    // The keys are handled once the program's loop has taken the last release. A key that closes
    // the window, or brings another one to the front, may leave releases to another program.
    const DWORD releaseWait = TimeoutOf(command) < 5000 ? TimeoutOf(command) : 5000;
    PollUntil(releaseWait, [&]() {
        return KeyReleasesTaken() - before >= releases || !IsWindow(foreground) ||
               GetForegroundWindow() != foreground;
    });
    if (!IsWindow(foreground)) return true;
    if (!SettleAfter(foreground, command, message)) return false;
    HWND now = FocusOf(GetForegroundWindow() != nullptr ? GetForegroundWindow() : foreground);
    *message += L"; focus: " + (now != nullptr ? Describe(now) : std::wstring(L"none"));
    return true;
}

bool ScriptRunner::DoClose(const Command& command, std::wstring* message) {
    if (!NeedWindow(message)) return false;
    PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return SettleAfter(window_, command, message);
}

bool ScriptRunner::DoMsgbox(const Command& command, std::wstring* message) {
    const DWORD pid = CurrentPid(command);
    if (pid == 0 && command.Option(L"process") == nullptr) {
        *message = L"no program started";
        return false;
    }
    HWND box = nullptr;
    if (!PollUntil(TimeoutOf(command), [&]() {
            box = FindMessageBox(pid, WindowPattern());
            return box != nullptr;
        })) {
        *message = L"no message box within " + std::to_wstring(TimeoutOf(command)) +
                   L" ms; shown: " + ListWindows(pid);
        return false;
    }
    const MessageBoxContent content = ReadMessageBox(box);
    std::wstring buttons;
    for (int id : content.buttons) buttons += (buttons.empty() ? L"" : L",") + ButtonName(id);
    *message = L"caption=" + Quoted(content.caption) + L" text=" + Quoted(content.text) +
               L" buttons=" + buttons;

    std::wstring wrong;
    const auto check = [&](const wchar_t* key, const std::wstring& actual, bool part) {
        const std::wstring* wanted = command.Option(key);
        if (wanted == nullptr) return;
        const bool ok = part ? actual.find(*wanted) != std::wstring::npos : actual == *wanted;
        if (!ok) wrong += std::wstring(L"; ") + key + L" wanted " + Quoted(*wanted);
    };
    check(L"caption", content.caption, false);
    check(L"caption~", content.caption, true);
    check(L"text", content.text, false);
    check(L"text~", content.text, true);
    if (!wrong.empty()) {
        *message += wrong;
        return false;
    }

    const std::wstring* press = command.Option(L"press");
    if (press == nullptr) return true;
    int id = 0;
    ParseButton(*press, &id);
    HWND button = GetDlgItem(box, id);
    if (button == nullptr || !IsWindowVisible(button)) {
        *message += L"; the box has no button " + ButtonName(id);
        return false;
    }
    PostClick(button);
    *message += L" -> " + ButtonName(id);
    if (!PollUntil(TimeoutOf(command), [&]() { return !IsWindow(box) || !IsWindowVisible(box); })) {
        *message += L"; the box is still shown after the press";
        return false;
    }
    if (window_ != nullptr && IsWindow(window_)) return SettleAfter(window_, command, message);
    return true;
}

bool ScriptRunner::ExpectProperties(
    const Command& command, const std::wstring& word,
    const std::vector<std::pair<std::wstring, std::wstring>>& wanted, std::wstring* message) {
    if (!NeedWindow(message)) return false;
    Selector selector;
    if (!ParseSelector(word, &selector, message)) return false;
    HWND control = nullptr;
    WindowState state;
    std::wstring wrong;
    const bool matched = PollUntil(TimeoutOf(command), [&]() {
        wrong.clear();
        control = FindControl(window_, selector);
        if (control == nullptr || !ReadState(control, &state)) return false;
        for (const auto& property : wanted) {
            bool known = false;
            if (!PropertyMatches(state, property.first, property.second, &known)) {
                wrong += L"; " + property.first + L" wanted " +
                         (property.first.compare(0, 4, L"text") == 0 ? Quoted(property.second)
                                                                     : property.second) +
                         L", actual " + PropertyText(state, property.first);
            }
        }
        return wrong.empty();
    });
    if (control == nullptr) {
        *message = L"no " + selector.Describe() + L" in " + Describe(window_);
        return false;
    }
    std::wstring checked;
    for (const auto& property : wanted) {
        checked += (checked.empty() ? L"" : L" ") + property.first + L"=" +
                   (property.first.compare(0, 4, L"text") == 0 ? Quoted(property.second)
                                                               : property.second);
    }
    *message = word + L" " + checked;
    if (matched) return true;
    *message += L" after " + std::to_wstring(TimeoutOf(command)) + L" ms" + wrong;
    return false;
}

bool ScriptRunner::DoExpect(const Command& command, std::wstring* message) {
    std::vector<std::pair<std::wstring, std::wstring>> wanted;
    for (const auto& option : command.options) {
        if (option.first != L"timeout") wanted.push_back(option);
    }
    return ExpectProperties(command, command.args[0], wanted, message);
}

bool ScriptRunner::DoExpectText(const Command& command, std::wstring* message) {
    return ExpectProperties(command, command.args[0], {{L"text", command.args[1]}}, message);
}

bool ScriptRunner::DoExpectFile(const Command& command, std::wstring* message) {
    const std::wstring path = HostPathToWindows(command.args[0]);
    const std::wstring* whole = command.Option(L"text");
    const std::wstring* part = command.Option(L"text~");
    std::wstring text;
    bool exists = false;
    const bool matched = PollUntil(TimeoutOf(command), [&]() {
        exists = ReadFileText(path, &text);
        if (!exists) return false;
        text = OneLine(text);
        return (whole == nullptr || text == *whole) &&
               (part == nullptr || text.find(*part) != std::wstring::npos);
    });
    *message = path;
    if (matched) return true;
    if (!exists) {
        *message += L" does not exist after " + std::to_wstring(TimeoutOf(command)) + L" ms";
    } else {
        *message += L" holds " + Quoted(text) +
                    (whole ? L"; text wanted " + Quoted(*whole) : std::wstring()) +
                    (part ? L"; text~ wanted " + Quoted(*part) : std::wstring());
    }
    return false;
}

bool ScriptRunner::DoShow(const Command& command, std::wstring* message) {
    HWND control = nullptr;
    if (!ResolveControl(command, command.args[0], false, &control, message)) return false;
    WindowState state;
    ReadState(control, &state);
    *message = FormatState(state);
    return true;
}

bool ScriptRunner::DoDump(const Command& command, std::wstring* message) {
    const DWORD pid = CurrentPid(command);
    const std::vector<std::wstring> lines = DumpWindows(pid);
    *message = std::to_wstring(lines.size()) + L" windows";
    for (const std::wstring& line : lines) print_(L"  " + line);
    return true;
}

bool ScriptRunner::DoScreenshot(const Command& command, std::wstring* message) {
    const std::wstring path = HostPathToWindows(command.args[0]);
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::wstring what = L"screen";
    if (command.args.size() < 2 || command.args[1] != L"screen") {
        HWND target = nullptr;
        const std::wstring word = command.args.size() < 2 ? L"." : command.args[1];
        if (!ResolveControl(command, word, false, &target, message)) return false;
        GetWindowRect(target, &area);
        what = Describe(target);
    }
    DWORD delay = kScreenshotDelayMs;
    if (const std::wstring* value = command.Option(L"delay")) ParseMs(*value, &delay);
    Sleep(delay);
    if (!SaveScreenArea(area, path, message)) return false;
    *message = what + L" -> " + path;
    return true;
}

bool ScriptRunner::DoWaitExit(const Command& command, std::wstring* message) {
    const Process* process = Current();
    if (process == nullptr) {
        *message = L"no program started";
        return false;
    }
    if (WaitForSingleObject(process->handle, TimeoutOf(command)) != WAIT_OBJECT_0) {
        *message =
            process->name + L" still running after " + std::to_wstring(TimeoutOf(command)) + L" ms";
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(process->handle, &code);
    window_ = nullptr;
    *message = process->name + L" exit code " + std::to_wstring(code);
    if (const std::wstring* wanted = command.Option(L"code")) {
        long long number = 0;
        if (!ParseInt(*wanted, &number) || static_cast<DWORD>(number) != code) {
            *message += L", wanted " + *wanted;
            return false;
        }
    }
    return true;
}

bool ScriptRunner::DoKill(const Command& command, std::wstring* message) {
    const Process* process = Current();
    if (process == nullptr) {
        *message = L"no program started";
        return false;
    }
    TerminateProcess(process->handle, 255);
    WaitForSingleObject(process->handle, 5000);
    window_ = nullptr;
    *message = process->name;
    return true;
}

bool ScriptRunner::DoSleep(const Command& command, std::wstring* message) {
    DWORD ms = 0;
    ParseMs(command.args[0], &ms);
    Sleep(ms);
    return true;
}

bool ScriptRunner::DoSay(const Command& command, std::wstring* message) {
    for (const std::wstring& word : command.args) {
        if (!message->empty()) *message += L' ';
        *message += word;
    }
    return true;
}

}  // namespace testdrv
