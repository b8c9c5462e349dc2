// The rules an image must follow to load on Windows 95 and 98: an i386 PE32 image marked for
// Windows 4.0, importing by name only functions that those systems' DLLs export.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/win9x_imports/export_lists.h"
#include "tools/win9x_imports/pe_image.h"

namespace win9x {

struct CheckResult {
    std::vector<std::string> problems;  // each one keeps the image from passing
    std::vector<std::string> notes;     // worth a reader's attention, not a failure
    std::size_t functionCount = 0;      // imported functions, all DLLs together
    std::size_t dllCount = 0;           // distinct DLLs, whatever their case
    bool Passed() const { return problems.empty(); }
};

CheckResult CheckImage(const PeImage& image, const ExportLists& lists);

// "KERNEL32.dll!CreateFileA", or "KERNEL32.dll!#12" for an import by ordinal; bytes that are
// not printable ASCII appear as \xNN.
std::string ImportLabel(const ImportedDll& dll, const ImportedFunction& function);

}  // namespace win9x
