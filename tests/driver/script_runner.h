// Runs a parsed driver script: one command after the other, a result line for each, stopping at
// the first failure. The command list is in README.md beside this file.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "process_control.h"
#include "real_input.h"
#include "script_parser.h"

namespace testdrv {

class ScriptRunner {
  public:
    using Printer = std::function<void(const std::wstring&)>;

    explicit ScriptRunner(Printer print);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Checks every line (command names, argument counts, options, selectors, numbers, key and
    // button names) before anything runs, so a typo does not show up halfway through a run.
    bool Check(const std::vector<Command>& commands, std::wstring* error) const;

    // Runs the commands; false at the first failed one, after printing the windows of the
    // program and ending every program the script started.
    bool Run(const std::vector<Command>& commands);

  private:
    using Handler = bool (ScriptRunner::*)(const Command&, std::wstring*);
    struct CommandForm;
    static const std::vector<CommandForm>& CommandForms();
    static const CommandForm* FindCommandForm(const std::wstring& name);

    DWORD TimeoutOf(const Command& command) const;
    const Process* Current() const;
    DWORD CurrentPid(const Command& command) const;  // 0 with process=any
    bool NeedWindow(std::wstring* message) const;
    // Finds the control; waits for it to exist (and, with `usable`, to be visible and enabled).
    bool ResolveControl(const Command& command, const std::wstring& word, bool usable,
                        HWND* control, std::wstring* message);
    // Waits for the program to handle what was posted to its top-level window `top`.
    bool SettleAfter(HWND top, const Command& command, std::wstring* message);
    void EndPrograms(bool report);

    bool DoTimeout(const Command& command, std::wstring* message);
    bool DoStart(const Command& command, std::wstring* message);
    bool DoAttach(const Command& command, std::wstring* message);
    bool DoWaitWindow(const Command& command, std::wstring* message);
    bool DoWaitNoWindow(const Command& command, std::wstring* message);
    bool DoClick(const Command& command, std::wstring* message);
    bool DoCommand(const Command& command, std::wstring* message);
    bool DoType(const Command& command, std::wstring* message);
    bool DoKey(const Command& command, std::wstring* message);
    bool DoPress(const Command& command, std::wstring* message);
    bool DoPressText(const Command& command, std::wstring* message);
    // Real key presses to the foreground window (SendInput), then waits until they are handled.
    bool PressKeys(const std::vector<KeyChord>& chords, const std::wstring& what,
                   const Command& command, std::wstring* message);
    bool DoClose(const Command& command, std::wstring* message);
    bool DoMsgbox(const Command& command, std::wstring* message);
    bool DoExpect(const Command& command, std::wstring* message);
    bool DoExpectText(const Command& command, std::wstring* message);
    bool DoExpectFile(const Command& command, std::wstring* message);
    bool DoShow(const Command& command, std::wstring* message);
    bool DoDump(const Command& command, std::wstring* message);
    bool DoScreenshot(const Command& command, std::wstring* message);
    bool DoWaitExit(const Command& command, std::wstring* message);
    bool DoKill(const Command& command, std::wstring* message);
    bool DoSleep(const Command& command, std::wstring* message);
    bool DoSay(const Command& command, std::wstring* message);

    bool ExpectProperties(const Command& command, const std::wstring& selector,
                          const std::vector<std::pair<std::wstring, std::wstring>>& wanted,
                          std::wstring* message);

    Printer print_;
    std::vector<Process> processes_;
    int current_ = -1;
    HWND window_ = nullptr;
    DWORD timeoutMs_ = 10000;
};

}  // namespace testdrv
