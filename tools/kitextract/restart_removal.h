// Files still in use at the removal are deleted at the next start of Windows. Windows 95/98 read
// the [rename] section of WININIT.INI, where "NUL=<short path>" deletes the file; Windows NT keeps
// its own list, filled by MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT.
#pragma once

#include <string>
#include <vector>

namespace kitextract {

constexpr const char* kWininitName = "WININIT.INI";

// `text` (a WININIT.INI, possibly empty) with "NUL=<path>" lines added at the end of its
// [rename] section, the section added at the end when there is none; a line already there is
// not added again. The lines are written directly: the profile functions keep only one "NUL"
// key per section.
std::string AddDeletionsToWininit(const std::string& text, const std::vector<std::string>& paths);

// Whether the system is Windows NT, by the version it reports.
bool IsWindowsNt();

// Arranges for `path` (a file, or on NT an empty folder) to be deleted at the next start, the
// way the reported version calls for. False when that could not be arranged.
bool DeleteAtNextStart(const std::string& path);

}  // namespace kitextract
