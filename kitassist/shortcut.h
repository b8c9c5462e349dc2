// The shortcut the kit wizard puts on the desktop (or elsewhere) for what it installed.
#pragma once

#include <string>

// What to link to, and where. `location`: empty puts the link beside the target (target +
// ".lnk"); one character, whichever, puts it on the desktop, named after the description; a
// longer text is the link file's own path. `workingDirectory` empty: the target's directory.
// `showCommand` below 0: a normal window (1).
struct ShortcutRequest {
    bool comReady = false;
    std::string target;
    std::string arguments;
    std::string description;
    std::string workingDirectory;
    std::string location;
    std::string iconFile;
    int iconIndex = 0;
    int showCommand = -1;
};

// True when the link file was saved. A target that SplitPath does not split into a directory
// and a name (3 characters or fewer, no backslash, or ending with one) gets no link.
bool CreateShortcut(const ShortcutRequest& request);

// The link file's path for a request whose target has been accepted; empty when the desktop
// folder is unknown.
std::string ShortcutLinkPath(const ShortcutRequest& request);
