// Real keyboard input: key presses made with SendInput, as the keyboard makes them. They go to
// whichever window the system has in the foreground, through the input queue of its thread,
// and reach the program's message loop (and IsDialogMessage) exactly as a user's keys do:
// nothing is posted to a control. The keyboard-only walks use them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testdrv {

// One chord: modifier keys held down around one key ("shift+tab", "alt+p", "space").
struct KeyChord {
    std::vector<WORD> modifiers;  // VK_SHIFT, VK_CONTROL, VK_MENU
    WORD key = 0;                 // the virtual key
    wchar_t unicode = 0;          // a character with no key of its own (KEYEVENTF_UNICODE)
};

// Names: enter escape tab space backspace delete up down left right home end pageup pagedown
// f1..f12, a letter or digit, with any of "shift+", "ctrl+", "alt+" in front.
bool ParseChord(const std::wstring& name, KeyChord* chord);

// The chords that type `text` on the keyboard: each character's key with shift as the layout
// needs it; a character the layout has no key for goes as a Unicode key event.
std::vector<KeyChord> ChordsForText(const std::wstring& text);

// Presses and releases each chord with SendInput. Returns the number of key releases sent, or
// -1 when the system refused the input.
int SendChords(const std::vector<KeyChord>& chords);

// The key releases (WM_KEYUP, WM_SYSKEYUP) that the message loops of the programs the driver
// watches have taken from their queues so far (counted by testdrv_hook.dll).
LONG KeyReleasesTaken();

}  // namespace testdrv
