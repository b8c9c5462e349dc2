// The kit wizard's Pakonel.ini: its three first pages, the pages its buttons lead to, and the
// pictures, programs and payload it names.
#pragma once

#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

// `folder` holds Pakonel.ini (the kit's CD folder, where the wizard runs from).
void CheckPakonel(const KitPath& folder, Report* report);

// The payload folder of a kit whose extraction program is kitextract, or an empty path when
// the kit names another extraction program or none.
KitPath PayloadFolder(const KitPath& folder, const IniFile& pakonel);

}  // namespace kitcheck
