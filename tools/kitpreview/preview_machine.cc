// The preview PC's registry: what the wizards read before they show a page.
#include "tools/kitpreview/preview_machine.h"

#include <cstdint>
#include <filesystem>

#include "cnxassist/etape_exception.h"
#include "cnxassist/registry_script.h"
#include "platform/registry.h"
#include "platform/sim/machine.h"

namespace kitpreview {
namespace {

constexpr const char* kIeKey = "Software\\Microsoft\\Internet Explorer";

void SetValue(plat::RegKey root, const char* path, const char* name, plat::Dword type,
              const void* data, plat::Dword size) {
    plat::RegKey key = 0;
    if (plat::RegCreateKey(root, path, &key) != 0) return;
    plat::RegSetValue(key, name, type, static_cast<const std::uint8_t*>(data), size);
    plat::RegCloseKey(key);
}

void SetText(plat::RegKey root, const char* path, const char* name, const std::string& text) {
    SetValue(root, path, name, plat::kRegSz, text.c_str(),
             static_cast<plat::Dword>(text.size() + 1));
}

bool HasValue(plat::RegKey root, const char* path, const char* name) {
    plat::RegKey key = 0;
    if (plat::RegOpenKey(root, path, plat::kKeyRead, &key) != 0) return false;
    plat::Dword size = 0;
    bool found = plat::RegQueryValue(key, name, nullptr, nullptr, &size) == 0;
    plat::RegCloseKey(key);
    return found;
}

}  // namespace

void SeedSubscriberPc() {
    SetText(plat::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
            "ProgramFilesDir", "C:\\Program Files");
    SetText(plat::kHkeyLocalMachine, "System\\CurrentControlSet\\Control", "Current User",
            "Martine");
    SetText(plat::kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main", "Start Page",
            "about:blank");
    // Where the plug-in installer puts its files.
    const char* browserDir = "C:\\Program Files\\Internet Explorer";
    SetText(plat::kHkeyLocalMachine,
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", "Path",
            std::string(browserDir) + ";");
    std::string browserHost;
    if (sim::Machine::Current().ToHostPath(browserDir, &browserHost)) {
        std::error_code ignored;
        std::filesystem::create_directories(browserHost, ignored);
    }
    SetBrowser(Browser::kIe4);
}

void SetBrowser(Browser browser) {
    plat::RegDeleteKey(plat::kHkeyLocalMachine, kIeKey);
    switch (browser) {
        case Browser::kNone:
            break;
        case Browser::kIe3:
            // Internet Explorer 3.02 wrote no "Version", only its build.
            SetText(plat::kHkeyLocalMachine, kIeKey, "Build", "4.70.1300");
            break;
        case Browser::kIe4:
            SetText(plat::kHkeyLocalMachine, kIeKey, "Version", "4.72.3110.8");
            SetText(plat::kHkeyLocalMachine, kIeKey, "Build", "4.72.3110.8");
            break;
    }
}

void SetWindows9x(bool windows9x) {
    sim::MachineSettings settings = sim::Machine::Current().Settings();
    settings.major = 4;
    if (windows9x) {
        settings.minor = 10;
        settings.build = 2222;
        settings.platformId = 1;
    } else {
        settings.minor = 0;
        settings.build = 1381;
        settings.platformId = 2;
    }
    sim::Machine::Current().SetSettings(settings);
}

void SeedScriptSources(const std::string& stepFile, const std::string& section) {
    for (char list : {'5', '4', '3', '0'}) {
        for (int index = 0;; ++index) {
            ScriptEntry entry;
            try {
                if (!ReadScriptEntry(stepFile.c_str(), section.c_str(), list, index, &entry)) break;
            } catch (const util_exception&) {
                break;  // kitcheck reports the entry; the wizard stops there anyway
            }
            if (entry.action != 2 || entry.type.str().size() < 2) continue;
            const char* path = entry.srcKey.c_str();
            const char* name = entry.srcValue.c_str();
            if (HasValue(entry.srcRoot, path, name)) continue;
            const std::uint32_t zero = 0;
            switch (entry.type.str()[1]) {
                case 'c':
                    SetText(entry.srcRoot, path, name, "");
                    break;
                case 'h':
                    SetValue(entry.srcRoot, path, name, plat::kRegDword, &zero, 4);
                    break;
                case 'b':
                    SetValue(entry.srcRoot, path, name, plat::kRegBinary, &zero, 1);
                    break;
                default:
                    break;
            }
        }
    }
}

}  // namespace kitpreview
