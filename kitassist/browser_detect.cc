#include "kitassist/browser_detect.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/registry.h"

namespace {

constexpr const char* kBrowserKey = "Software\\Microsoft\\Internet Explorer";

// A registry text of at most `capacity` - 1 characters; empty when it cannot be read, the
// value that does not fit included.
std::string QueryText(plat::RegKey key, const char* name, plat::Dword capacity) {
    char buffer[64] = {};
    if (capacity > sizeof buffer) capacity = sizeof buffer;
    plat::Dword size = capacity;
    if (plat::RegQueryValue(key, name, nullptr, reinterpret_cast<std::uint8_t*>(buffer), &size) !=
        plat::kErrorSuccess) {
        return std::string();
    }
    // A text stored without its terminator comes back without one.
    buffer[size < capacity ? size : capacity - 1] = '\0';
    return std::string(buffer);
}

}  // namespace

IeBuildTable MakeIeBuildTable() {
    static const struct {
        const char* build;
        const char* label;
    } kBuilds[] = {{"4.40.308", "1.0"},
                   {"4.40.520", "2.0"},
                   {"4.70.1155", "3.0"},
                   {"4.70.1158", "3.0 OSR2"},
                   {"4.70.1215", "3.01"},
                   {"4.70.1300", "3.02"},
                   {"4.71.544", "4.0 Platform Preview 1.0"},
                   {"4.71.1008.3", "4.0 Platform Preview 2.0"},
                   {"4.71.1712.6", "4.0"},
                   {"4.72.2106.8", "4.01"},
                   {"4.72.3110.8", "4.01 SP1"},
                   {"4.72.3612.1713", "4.01 SP2"},
                   {"5.00.0518.10", "5 Beta 1"},
                   {"5.00.0910.1309", "5 Beta 2"},
                   {"5.00.2014.0216", "5"},
                   {"5.00.2314.1003", "5 pour Office 2000"},
                   {"5.00.2614.3500", "5 pour Windows 98 SE"},
                   {"5.00.2919.800", "5 pour Windows 2000 RC1 build 2072"}};
    IeBuildTable table;
    for (int i = 1; i <= 18; ++i) {
        IeBuildEntry& entry = table[static_cast<std::size_t>(i)];
        entry.build = kBuilds[i - 1].build;
        entry.label = kBuilds[i - 1].label;
        if (i == 1) {
            // Version 1.0 only ever left an "IVer" of 100 (or 101, read as 100).
            entry.key = "100";
        } else if (i >= 7) {
            entry.key = kBuilds[i - 1].build;
        }
        // Entries 2 to 6 keep an empty key: the third comma-separated field of a dotted build,
        // which there is not. So a browser key that holds none of the three version values
        // matches entry 6: some early browser is installed, and the version 3 pages suit it.
    }
    return table;
}

int DetectBrowserBuild(const IeBuildTable& table) {
    plat::RegKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, kBrowserKey, plat::kKeyRead, &key) !=
        plat::kErrorSuccess) {
        return 0;
    }
    int fallback = 0;
    std::string value = QueryText(key, "Version", 32);
    if (!value.empty()) {
        fallback = value[0] == '4' ? -4 : value[0] == '5' ? -5 : 0;
    } else if (!(value = QueryText(key, "Build", 32)).empty()) {
        fallback = -3;
    } else if (!(value = QueryText(key, "IVer", 32)).empty()) {
        if (value == "101") value = "100";
        fallback = -1;
    }
    int result = fallback;
    for (int i = 1; i <= 18; ++i) {
        if (value == table[static_cast<std::size_t>(i)].key.c_str()) result = i;
    }
    plat::RegCloseKey(key);
    return result;
}

int CategoryOfBuild(int detection) {
    if (detection >= 1 && detection <= 4) return 1;
    if (detection == 5) return 2;
    if (detection == 6) return 3;
    if (detection >= 7 && detection <= 11) return 4;
    if (detection == 12) return 5;
    if (detection >= 13 && detection <= 18) return 6;
    if (detection == -1 || detection == -3) return 1;
    if (detection == -4) return 4;
    if (detection == -5) return 6;
    return 0;
}

int BrowserCategory() { return CategoryOfBuild(DetectBrowserBuild(MakeIeBuildTable())); }
