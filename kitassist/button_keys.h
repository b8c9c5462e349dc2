// What the keys of a kit wizard button mean, apart from the window: the six buttons' key
// names, the markers of a caption and the command line an "Exe" value starts.
#pragma once

#include <string>

// `path` enclosed in double quotes when it holds a blank, so that a command line takes it as
// one program path; unchanged otherwise.
std::string QuotedIfBlank(const std::string& path);

// The command line of an "Exe" value: absolute paths (a second character ":" or "\\") unchanged,
// "?" values without the "?", other values appended to `directory` (which ends with a
// backslash) and quoted when they hold a blank.
std::string CommandForValue(const std::string& value, const std::string& directory);

// Cuts a button's `caption` at its last `marker` ("#" disables the button, "+" gives it the
// focus) when it has one and is longer than one character, so a caption that is the marker
// alone is shown as it is. True when it cut.
bool CutCaptionAtMarker(std::string* caption, char marker);

// The key names of the six buttons, in the order they are laid out.
constexpr const char* kButtonKeyNames[] = {"Quitter",   "Annuler", "Suivant",
                                           "Precedent", "Info1",   "Info2"};
