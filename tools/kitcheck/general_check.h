// The [General] section of a step file: the window, the page area, the buttons and the
// decoration bitmaps the wizard needs before its first step.
#pragma once

#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

void CheckGeneral(const KitPath& folder, const IniFile& file, Report* report);

}  // namespace kitcheck
