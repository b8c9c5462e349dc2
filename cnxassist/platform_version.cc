#include "cnxassist/platform_version.h"

#include <strings.h>

#include <cstring>

#include "common/bounded_text.h"
#include "common/cle_registre.h"
#include "platform/system.h"

namespace {

// The NT product type: 2 workstation, 6 server, 0 when it cannot be read.
std::uint32_t NtProductCode() {
    CCleRegistre key(plat::kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions",
                     false);
    char type[100];
    if (!key.QueryString("ProductType", type, sizeof type)) return 0;
    if (strcasecmp(type, "WINNT") == 0) return 2;
    if (strcasecmp(type, "SERVERNT") == 0 || strcasecmp(type, "LANMANNT") == 0) return 6;
    return 0;
}

void CopyToDisplay(PlatformVersion* v) {
    v->displayMajor = v->major;
    v->displayMinor = v->minor;
    v->displayBuild = v->build;
    v->displayPlatformCode = v->platformCode;
    kit::CopyCut(v->displayText, sizeof v->displayText, v->text);
}

}  // namespace

bool GetPlatformVersion(PlatformVersion* v) {
    if (v == nullptr || v->size != sizeof(PlatformVersion)) return false;
    if (plat::HasGetVersionEx()) {
        plat::OsVersion os;
        if (!plat::GetVersionEx(&os)) return false;
        if (os.platformId > 2) return false;
        v->major = os.major;
        v->minor = os.minor;
        v->build = os.build & 0xFFFF;
        v->platformCode = os.platformId;
        kit::CopyCut(v->text, sizeof v->text, os.servicePack);
        if (os.platformId == 0) {
            v->displayMajor = 3;
            v->displayMinor = 10;
            v->displayBuild = 0;
            v->displayPlatformCode = 3;
            kit::CopyCut(v->displayText, sizeof v->displayText, "Microsoft Windows");
            return true;
        }
        CopyToDisplay(v);
        // The product type tells NT workstations from servers. A Windows 98 system has no
        // such value, but Wine keeps one in every mode: reading it there would make Windows 98
        // look like NT.
        if (os.platformId == 2) {
            std::uint32_t product = NtProductCode();
            if (product != 0) v->platformCode = v->displayPlatformCode = product;
        }
        return true;
    }
    plat::Dword packed = plat::GetVersion();
    v->major = packed & 0xFF;
    v->minor = (packed >> 8) & 0xFF;
    v->build = 0;
    v->platformCode = 2;
    kit::CopyCut(v->text, sizeof v->text, "Microsoft Windows NT");
    CopyToDisplay(v);
    std::uint32_t product = NtProductCode();
    if (product == 0) return false;
    v->platformCode = v->displayPlatformCode = product;
    return true;
}

bool IsWindows95(const PlatformVersion* v) { return v->major == 4 && v->minor == 0; }

bool IsWindows98OrLater(const PlatformVersion* v) {
    return v->major > 4 || (v->major == 4 && v->minor >= 10);
}
