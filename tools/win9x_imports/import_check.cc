#include "tools/win9x_imports/import_check.h"

#include <cstdio>
#include <set>

#include "tools/win9x_imports/stub_list.h"

namespace win9x {
namespace {

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// Names come from the file as bytes; control and non-ASCII bytes are shown as \xNN so that a
// damaged name cannot break the one-problem-per-line report.
std::string Printable(const std::string& name) {
    std::string text;
    for (unsigned char c : name) {
        if (c >= 0x20 && c < 0x7f) {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            text += escaped;
        }
    }
    return text;
}

std::string MachineName(std::uint16_t machine) {
    switch (machine) {
        case 0x8664:
            return " (x86-64)";
        case 0xaa64:
            return " (ARM64)";
        case 0x1c0:
        case 0x1c4:
            return " (ARM)";
        case 0x200:
            return " (IA-64)";
        default:
            return "";
    }
}

std::string Version(std::uint16_t major, std::uint16_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

bool Above40(std::uint16_t major, std::uint16_t minor) {
    return major > 4 || (major == 4 && minor > 0);
}

void CheckHeaders(const PeImage& image, CheckResult* result) {
    auto& problems = result->problems;
    if (image.machine != kMachineI386) {
        problems.push_back("machine " + Hex(image.machine) + MachineName(image.machine) +
                           " is not i386 (0x14c): Windows 95/98 load only i386 images");
    }
    if (image.magic != kMagicPe32) {
        problems.push_back("optional header magic " + Hex(image.magic) +
                           " is not PE32 (0x10b): Windows 95/98 load no PE32+ image");
    }
    // Windows 95/98 refuse an image that asks for a later subsystem, and give one marked for 3.x
    // the old Windows 3.1 look; 4.0 is the one value that gets the programs their intended
    // dialogs on both.
    if (image.subsystemMajor != 4 || image.subsystemMinor != 0) {
        problems.push_back("subsystem version " +
                           Version(image.subsystemMajor, image.subsystemMinor) +
                           " is not 4.0: Windows 95/98 need exactly 4.0");
    }
    // A later OS or image version means the link ignored the kit's version flags (MinGW-w64
    // writes newer values by default), so the image claims a system it was not built for.
    if (Above40(image.osMajor, image.osMinor)) {
        problems.push_back("OS version " + Version(image.osMajor, image.osMinor) +
                           " is above 4.0 (Windows 95/98)");
    }
    if (Above40(image.imageMajor, image.imageMinor)) {
        problems.push_back("image version " + Version(image.imageMajor, image.imageMinor) +
                           " is above 4.0 (Windows 95/98)");
    }
    if (image.hasDelayImports) {
        problems.push_back(
            "delay-load imports are not checked: the image has a delay-import directory");
    }
}

void CheckFunction(const ImportedDll& dll, const ImportedFunction& function,
                   const ExportLists& lists, CheckResult* result) {
    std::string label = ImportLabel(dll, function);
    if (function.byOrdinal) {
        result->problems.push_back(label +
                                   ": imported by ordinal; the export lists know names only");
        return;
    }
    switch (lists.Find(dll.name, function.name)) {
        case Availability::kWindows95:
            break;
        case Availability::kWindows98:
            // Not a failure. Windows 95 RTM ships no msvcrt.dll at all, so every program of the
            // kit already needs the runtime redistributable or an Internet Explorer update there;
            // a Windows 95 that runs them is an updated one. Which 98-only calls the programs
            // make is left for a person to judge, with this note.
            result->notes.push_back(label + ": Windows 98 only, Windows 95 does not export it");
            break;
        case Availability::kWindows98Se:
            result->problems.push_back(label +
                                       ": not exported by Windows 95/98 (Windows 98 SE adds it)");
            return;
        case Availability::kNowhere:
            result->problems.push_back(label + ": not exported by Windows 95/98");
            return;
    }
    if (IsStubOnWin9x(dll.name, function.name)) {
        result->notes.push_back("stub on Windows 95/98: " + label);
    }
}

}  // namespace

std::string ImportLabel(const ImportedDll& dll, const ImportedFunction& function) {
    if (function.byOrdinal) return Printable(dll.name) + "!#" + std::to_string(function.ordinal);
    return Printable(dll.name) + "!" + Printable(function.name);
}

CheckResult CheckImage(const PeImage& image, const ExportLists& lists) {
    CheckResult result;
    CheckHeaders(image, &result);
    std::set<std::string> dlls;
    for (const ImportedDll& dll : image.imports) {
        result.functionCount += dll.functions.size();
        bool firstTime = dlls.insert(DllKey(dll.name)).second;
        if (!lists.HasDll(dll.name)) {
            // A DLL split over several descriptors is reported once.
            if (firstTime) {
                result.problems.push_back(Printable(dll.name) +
                                          ": no list of Windows 95/98 exports for this DLL");
            }
            continue;
        }
        for (const ImportedFunction& function : dll.functions) {
            CheckFunction(dll, function, lists, &result);
        }
    }
    result.dllCount = dlls.size();
    return result;
}

}  // namespace win9x
