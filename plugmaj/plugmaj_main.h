// The run of the plug-in installer, from its argument text to its exit code.
#pragma once

namespace plug {

struct PluginMode {
    bool remove = false;  // "d" or "D"
    bool shown = false;   // "h", "H", "d" or "D": the log window stays until the user closes it
};

// The whole argument text, compared exactly: anything but "h", "H", "d" and "D" (a leading
// slash, a trailing blank, nothing at all) is the silent installation.
PluginMode ModeFromArgument(const char* argument);

// Installs or removes the plug-in; always 0, so callers cannot learn the outcome from it.
int RunPlugmaj(const char* argument);

}  // namespace plug
