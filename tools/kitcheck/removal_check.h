// What the kit's removal needs of a kit installed by kitextract: a title for its entry in the
// control panel, no payload file under the names of the removal's own files, and the files the
// connection wizard writes named inside the installation folder, where the removal finds them.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

// `pakonel`: the kit's Pakonel.ini; `payload` and `entries`: its payload folder and what that
// folder holds at its top.
void CheckRemovalNeeds(const IniFile& pakonel, const KitPath& payload,
                       const std::vector<plat::DirectoryEntry>& entries, Report* report);

}  // namespace kitcheck
