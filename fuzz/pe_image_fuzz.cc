// Arbitrary bytes as a .exe for the Windows 95/98 import checker: the PE reader must refuse or
// accept without reading outside the file, say why it refuses, and give the checker a
// consistent image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/win9x_imports/import_check.h"
#include "tools/win9x_imports/pe_image.h"

namespace {

const win9x::ExportLists& Lists() {
    static const win9x::ExportLists lists = [] {
        win9x::ExportLists l;
        l.Add("KERNEL32.DLL", "ExitProcess", win9x::Availability::kWindows95);
        l.Add("KERNEL32.DLL", "TryEnterCriticalSection", win9x::Availability::kWindows98);
        l.Add("MSVCRT.DLL", "malloc", win9x::Availability::kWindows95);
        return l;
    }();
    return lists;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    win9x::PeImage image;
    std::string error;
    if (!win9x::ParsePeImage(data, size, &image, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (image.fileSize != size || image.sections.size() != image.sectionCount) std::abort();
    if (image.directories.size() > 16) std::abort();
    if (image.magic != win9x::kMagicPe32 && image.magic != win9x::kMagicPe32Plus) std::abort();
    // Every function costs a thunk of its own in the file.
    std::size_t functions = 0;
    for (const win9x::ImportedDll& dll : image.imports) {
        if (dll.name.empty() || dll.name.find('\0') != std::string::npos) std::abort();
        for (const win9x::ImportedFunction& function : dll.functions) {
            if (!function.byOrdinal && function.name.find('\0') != std::string::npos) std::abort();
            if (function.name.size() > 4096) std::abort();
        }
        functions += dll.functions.size();
    }
    if (functions > size / 4) std::abort();
    for (const win9x::Section& section : image.sections) {
        std::size_t offset = 0;
        if (win9x::MapRva(image, section.virtualAddress, 1, &offset) == win9x::RvaPlace::kInFile &&
            offset >= size) {
            std::abort();
        }
    }
    win9x::CheckResult result = win9x::CheckImage(image, Lists());
    if (result.functionCount != functions || result.dllCount > image.imports.size()) std::abort();
    for (const std::string& problem : result.problems) {
        // One line per problem, whatever bytes the names hold.
        if (problem.empty() || problem.find('\n') != std::string::npos) std::abort();
    }
    return 0;
}
