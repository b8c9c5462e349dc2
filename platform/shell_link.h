// The shell link family: a shortcut file (.lnk) written through the shell's link object.
#pragma once

#include <cstdint>
#include <string>

namespace plat {

// What a shortcut holds. An empty icon file leaves the target's own icon; an empty description
// or argument list is not set at all.
struct ShellLinkSettings {
    std::string targetPath;
    std::string arguments;
    std::string description;
    std::uint16_t hotkey = 0;
    std::string iconFile;
    int iconIndex = 0;
    int showCommand = 1;
    std::string workingDirectory;
};

// Writes the shortcut to `linkPath` (replacing it). `comReady`: the caller has already
// initialised COM on this thread; otherwise it is initialised for this call only. True when
// the file was saved; false otherwise, a missing folder among the reasons.
bool SaveShellLink(const ShellLinkSettings& settings, const std::string& linkPath, bool comReady);

// Reads the target path of the shortcut at `linkPath` (IPersistFile Load, IShellLinkA GetPath),
// COM as for SaveShellLink. False when the file is not there or is not a shortcut.
bool ReadShellLinkTarget(const std::string& linkPath, std::string* target, bool comReady);

}  // namespace plat
