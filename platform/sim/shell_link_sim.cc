// Shortcuts on the simulated machine. There is no shell link object here, so a shortcut is a
// small text file that a test can read back, in Windows-1252 with CRLF line ends:
//
//   [Raccourci]
//   Cible=<target path>
//   Arguments=<arguments>
//   Repertoire=<working directory>
//   Icone=<icon file>,<icon index>
//   Description=<description>
//   Affichage=<show command>
//   Touche=<hotkey, decimal>
//
// Every line is written, empty values included, so that the file says what was asked for. As
// on Windows, the file is saved at the link path, and nothing is written when its folder does
// not exist.
#include "platform/sim/shell_link_sim.h"

#include <exception>
#include <string>

#include "platform/files.h"
#include "platform/shell_link.h"
#include "platform/sim/atomic_file.h"

namespace plat {

bool SaveShellLink(const ShellLinkSettings& settings, const std::string& linkPath,
                   bool /*comReady*/) {
    if (linkPath.empty()) return false;
    std::string text = "[Raccourci]\r\n";
    text += "Cible=" + settings.targetPath + "\r\n";
    text += "Arguments=" + settings.arguments + "\r\n";
    text += "Repertoire=" + settings.workingDirectory + "\r\n";
    text += "Icone=" + settings.iconFile + "," + std::to_string(settings.iconIndex) + "\r\n";
    text += "Description=" + settings.description + "\r\n";
    text += "Affichage=" + std::to_string(settings.showCommand) + "\r\n";
    text += "Touche=" + std::to_string(settings.hotkey) + "\r\n";
    // The shell writes the link for the program: whole, as the registry's and profiles' writes.
    return sim::WriteFileForTheSystem(linkPath.c_str(), text);
}

bool ReadShellLinkTarget(const std::string& linkPath, std::string* target, bool /*comReady*/) {
    ShellLinkSettings settings;
    if (target == nullptr || !sim::ReadShellLink(linkPath, &settings)) return false;
    *target = settings.targetPath;
    return true;
}

}  // namespace plat

namespace sim {
namespace {

bool ReadShellLinkText(const std::string& linkPath, plat::ShellLinkSettings* settings) {
    std::string text;
    if (settings == nullptr || !plat::ReadWholeFile(linkPath.c_str(), &text)) return false;
    if (text.compare(0, 13, "[Raccourci]\r\n") != 0) return false;
    *settings = plat::ShellLinkSettings();
    std::size_t start = 13;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        const std::size_t equal = line.find('=');
        if (equal == std::string::npos) return false;
        const std::string key = line.substr(0, equal);
        const std::string value = line.substr(equal + 1);
        if (key == "Cible") {
            settings->targetPath = value;
        } else if (key == "Arguments") {
            settings->arguments = value;
        } else if (key == "Repertoire") {
            settings->workingDirectory = value;
        } else if (key == "Icone") {
            // The file name may hold commas; the index follows the last one.
            const std::size_t comma = value.rfind(',');
            if (comma == std::string::npos) return false;
            settings->iconFile = value.substr(0, comma);
            settings->iconIndex = std::stoi(value.substr(comma + 1));
        } else if (key == "Description") {
            settings->description = value;
        } else if (key == "Affichage") {
            settings->showCommand = std::stoi(value);
        } else if (key == "Touche") {
            settings->hotkey = static_cast<std::uint16_t>(std::stoul(value));
        }
    }
    return true;
}

}  // namespace

bool ReadShellLink(const std::string& linkPath, plat::ShellLinkSettings* settings) {
    // A damaged number is a damaged link, not a crash of the program that looks at it.
    try {
        return ReadShellLinkText(linkPath, settings);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace sim
