#include "kitassist/shortcut.h"

#include "common/split_path.h"
#include "platform/files.h"
#include "platform/shell_link.h"

namespace {

constexpr std::size_t kPathCapacity = 260;
// The normal window of ShowWindow.
constexpr int kShowNormal = 1;

}  // namespace

std::string ShortcutLinkPath(const ShortcutRequest& request) {
    if (request.location.empty()) return request.target + ".lnk";
    if (request.location.size() > 1) return request.location;
    // Any single character stands for the desktop: the kits write "x".
    char desktop[kPathCapacity] = {};
    if (!plat::GetDesktopDirectory(desktop, sizeof desktop)) return std::string();
    return std::string(desktop) + "\\" + request.description + ".lnk";
}

bool CreateShortcut(const ShortcutRequest& request) {
    char directory[kPathCapacity];
    char name[kPathCapacity];
    kit::SplitPath(request.target.c_str(), directory, sizeof directory, name, sizeof name);
    if (directory[0] == '\0' || name[0] == '\0') return false;

    plat::ShellLinkSettings settings;
    settings.targetPath = request.target;
    settings.arguments = request.arguments;
    settings.description = request.description;
    settings.iconFile = request.iconFile;
    settings.iconIndex = request.iconIndex;
    settings.showCommand = request.showCommand >= 0 ? request.showCommand : kShowNormal;
    settings.workingDirectory =
        request.workingDirectory.empty() ? std::string(directory) : request.workingDirectory;

    const std::string linkPath = ShortcutLinkPath(request);
    if (linkPath.empty()) return false;
    return plat::SaveShellLink(settings, linkPath, request.comReady);
}
