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

// The box a silent installation shows when a copy or a registry write failed: the exit code
// cannot say it, and the log window stays hidden.
constexpr const char* kInstallProblemCaption = "Installation de Quadrel";
constexpr const char* kInstallProblemText =
    "Il y a eu un problème !....\r\nLe plug-in Quadrel n'est pas installé entièrement.";

// Installs or removes the plug-in; always 0, so callers cannot learn the outcome from it. A
// silent installation that failed says so in a box.
int RunPlugmaj(const char* argument);

}  // namespace plug
