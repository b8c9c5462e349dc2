#include "tools/kitextract/removal_entry.h"

#include <cctype>
#include <cstdint>
#include <string>

#include "common/install_record.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"

namespace kitextract {
namespace {

constexpr plat::Dword kTextCapacity = 260;

std::string PakonelValue(const std::string& kitFolder, const char* key) {
    const std::string ini = kitFolder + "\\Pakonel.ini";
    char value[kTextCapacity] = {};
    plat::GetPrivateProfileString("General", key, "", value, sizeof value, ini.c_str());
    return value;
}

bool SetText(plat::RegKey key, const char* name, const std::string& text) {
    return plat::RegSetValue(key, name, plat::kRegSz,
                             reinterpret_cast<const std::uint8_t*>(text.c_str()),
                             static_cast<plat::Dword>(text.size() + 1)) == 0;
}

}  // namespace

std::string EntryKeyFor(const std::string& destination) {
    std::string upper;
    for (char c : destination) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return "KitTelvora-" + kit::Hex8(kit::Crc32(upper));
}

std::string KitTitle(const std::string& kitFolder) {
    const std::string title = PakonelValue(kitFolder, "Titre");
    return title.empty() ? kDefaultTitle : title;
}

std::string KitEspace(const std::string& kitFolder) { return PakonelValue(kitFolder, "Espace"); }

std::string UninstallCommand(const std::string& uninstallerPath) {
    char shortPath[kTextCapacity] = {};
    const plat::Dword length =
        plat::GetShortPathName(uninstallerPath.c_str(), shortPath, sizeof shortPath);
    const std::string program = length > 0 && length < sizeof shortPath &&
                                        std::string(shortPath).find(' ') == std::string::npos
                                    ? std::string(shortPath)
                                    : "\"" + uninstallerPath + "\"";
    return program + " " + kRemovalSwitch;
}

bool WriteEntry(const std::string& key, const std::string& displayName,
                const std::string& uninstallString) {
    plat::RegKey open = 0;
    const std::string path = std::string(kUninstallRoot) + "\\" + key;
    if (plat::RegCreateKey(plat::kHkeyLocalMachine, path.c_str(), &open) != 0) return false;
    const bool written = SetText(open, "DisplayName", displayName) &&
                         SetText(open, "UninstallString", uninstallString);
    plat::RegCloseKey(open);
    return written;
}

bool DeleteEntry(const std::string& key) {
    if (key.empty()) return true;
    plat::RegKey root = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, kUninstallRoot, plat::kKeyAllAccess, &root) !=
        0) {
        return true;
    }
    plat::RegDeleteKey(root, key.c_str());
    plat::RegKey still = 0;
    const bool gone = plat::RegOpenKey(root, key.c_str(), plat::kKeyRead, &still) != 0;
    if (!gone) plat::RegCloseKey(still);
    plat::RegCloseKey(root);
    return gone;
}

std::string EntryUninstallString(const std::string& key) {
    plat::RegKey open = 0;
    const std::string path = std::string(kUninstallRoot) + "\\" + key;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, path.c_str(), plat::kKeyRead, &open) != 0) {
        return std::string();
    }
    char value[kTextCapacity * 2] = {};
    plat::Dword size = sizeof value - 1;
    plat::Dword type = 0;
    const bool read = plat::RegQueryValue(open, "UninstallString", &type,
                                          reinterpret_cast<std::uint8_t*>(value), &size) == 0;
    plat::RegCloseKey(open);
    return read && type == plat::kRegSz ? std::string(value) : std::string();
}

}  // namespace kitextract
