// The installation's record read from arbitrary bytes, as a damaged or hand-edited record would
// be, and the removal planned from it on a simulated machine; and WININIT.INI of arbitrary
// contents given the removal's lines. The record written and read back is the same record; no
// path of the record holds a line end; the removal never plans to delete a file outside the
// installation folder nor a folder that is neither it, inside it, nor above it. WININIT.INI
// keeps every byte it had, and gains exactly the lines asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/install_record.h"
#include "fuzz/fuzz_machine.h"
#include "platform/files.h"
#include "tools/kitextract/removal.h"
#include "tools/kitextract/restart_removal.h"

namespace {

constexpr const char* kFolder = "C:\\DEST";

void Check(bool condition) {
    if (!condition) std::abort();
}

bool Same(const kit::InstallRecord& a, const kit::InstallRecord& b) {
    if (a.entryKey != b.entryKey || a.espace != b.espace || a.folders != b.folders ||
        a.programFiles != b.programFiles || a.shortcuts != b.shortcuts ||
        a.files.size() != b.files.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.files.size(); ++i) {
        const kit::RecordedFile& x = a.files[i];
        const kit::RecordedFile& y = b.files[i];
        if (x.path != y.path || x.size != y.size || x.crc != y.crc || x.replaced != y.replaced) {
            return false;
        }
    }
    return true;
}

bool HasLineEnd(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

void Prepare() {
    static const bool ready = [] {
        fuzzmachine::Machine("install-record-fuzz");
        plat::CreateDirectory(kFolder);
        plat::CreateDirectory("C:\\DEST\\Docs");
        plat::WriteWholeFile("C:\\DEST\\cfg.ini", "[General]\r\n");
        plat::WriteWholeFile("C:\\DEST\\Docs\\a.txt", "a");
        plat::WriteWholeFile("C:\\autre.txt", "b");
        return true;
    }();
    (void)ready;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Prepare();
    const std::string text(reinterpret_cast<const char*>(data), size);

    const kit::InstallRecord record = kit::ParseRecord(text);
    for (const kit::RecordedFile& file : record.files) Check(!HasLineEnd(file.path));
    for (const std::string& path : record.folders) Check(!HasLineEnd(path));
    for (const std::string& path : record.programFiles) Check(!HasLineEnd(path));
    for (const std::string& path : record.shortcuts) Check(!HasLineEnd(path));
    Check(!HasLineEnd(record.entryKey) && record.entryKey.find('\\') == std::string::npos);
    Check(!HasLineEnd(record.espace));
    // Written out, the record reads back as itself (its lists in the written order).
    const std::string written = kit::FormatRecord(record);
    const kit::InstallRecord reread = kit::ParseRecord(written);
    Check(kit::FormatRecord(reread) == written);
    Check(Same(kit::ParseRecord(kit::FormatRecord(reread)), reread));

    const kitextract::RemovalPlan plan = kitextract::PlanRemoval(kFolder, record);
    for (const std::string& path : plan.files) Check(kit::IsInsideFolder(path, kFolder));
    for (const std::string& path : plan.changed) Check(kit::IsInsideFolder(path, kFolder));
    for (const std::string& path : plan.replaced) Check(kit::IsInsideFolder(path, kFolder));
    for (const std::string& path : plan.folders) {
        Check(kit::SamePath(path, kFolder) || kit::IsInsideFolder(path, kFolder) ||
              kit::IsInsideFolder(kFolder, path));
    }

    const std::string wininit =
        kitextract::AddDeletionsToWininit(text, {"C:\\A.EXE", "C:\\PROGRA~1\\B.EXE"});
    const std::size_t added = std::string("NUL=C:\\A.EXE\r\nNUL=C:\\PROGRA~1\\B.EXE\r\n").size();
    Check(wininit.size() >= text.size() &&
          wininit.size() <= text.size() + added + std::string("\r\n[rename]\r\n").size());
    // Asked twice, the lines are there once.
    Check(kitextract::AddDeletionsToWininit(wininit, {"C:\\A.EXE", "C:\\PROGRA~1\\B.EXE"}) ==
          wininit);
    return 0;
}
