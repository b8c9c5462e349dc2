// The uninstaller: the kit's extraction program started with "/supprimer".
#pragma once

#include <string>

namespace kitextract {

constexpr const char* kRemovalTitle = "Suppression du Kit Telvora";
// The plug-in installer, which removes the videotex plug-in with the argument "d", and the key
// it registers (its presence says the plug-in is installed).
constexpr const char* kPluginInstaller = "plugmaj.exe";
constexpr const char* kPluginCommandKey = "vtxfile\\Shell\\open\\command";

// Started from the installation folder (`folder` empty), the uninstaller copies itself into
// the temporary folder and starts that copy with the folder, so that its own file can go too;
// the copy (or the original when no copy can be made) asks, removes and tells. The exit code:
// 0 done, or nothing to do, or not wanted; 1 refused (a program of the kit runs) or not
// complete; 2 a folder that is no full path.
int RemovalMain(const std::string& folder);

}  // namespace kitextract
