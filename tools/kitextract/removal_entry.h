// The kit's entry in the control panel's "Ajout/Suppression de programmes": a key under
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall with the two values
// Windows 95's control panel reads, "DisplayName" and "UninstallString".
#pragma once

#include <string>

namespace kitextract {

constexpr const char* kUninstallRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The uninstaller: this very program, copied into the installation folder under this name and
// started there with kRemovalSwitch.
constexpr const char* kUninstallerName = "kitsuppr.exe";
constexpr const char* kRemovalSwitch = "/supprimer";
// The name shown when the kit's Pakonel.ini gives no [General] "Titre".
constexpr const char* kDefaultTitle = "Kit Telvora";

// The entry's key for an installation folder: one per folder, so that two installations into
// two folders each keep their own removal.
std::string EntryKeyFor(const std::string& destination);
// [General] "Titre" of the Pakonel.ini in `kitFolder`, or kDefaultTitle.
std::string KitTitle(const std::string& kitFolder);
// [General] "Espace" of that Pakonel.ini: the subscriber's space program, as a file name.
std::string KitEspace(const std::string& kitFolder);
// The command line the control panel runs: the uninstaller's short path (Windows 95 runs it
// unquoted) followed by the switch; the long path, quoted, when no short one is to be had.
std::string UninstallCommand(const std::string& uninstallerPath);

bool WriteEntry(const std::string& key, const std::string& displayName,
                const std::string& uninstallString);
// True when the key is gone (or never was).
bool DeleteEntry(const std::string& key);
// The entry's "UninstallString", empty when there is none.
std::string EntryUninstallString(const std::string& key);

}  // namespace kitextract
