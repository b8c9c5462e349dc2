// The connection wizard's step file: its [General] section and its bitmaps, every step the
// wizard can reach from IdentWindow with its keys, page and registry script, and the paths
// between the steps.
#pragma once

#include <string>

#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

// `stepFile` lies in `folder`, the wizard's working directory: the pages, bitmaps, sign-up
// files and programs it names are looked for there.
void CheckStepFile(const KitPath& folder, const std::string& stepFile, Report* report);

}  // namespace kitcheck
