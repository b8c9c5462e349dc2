// What kitcheck checks of the folders and files named on its command line: every connection
// wizard step file ("cfg.ini", or "cfg" + up to five characters + ".ini") and every Pakonel.ini,
// in a folder and the folders below it; a file named on its own is checked whatever its name.
#pragma once

#include <string>
#include <vector>

#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

struct KitFiles {
    std::vector<KitPath> stepFiles;       // the step files, each with...
    std::vector<KitPath> stepFolders;     // ...the folder it lies in (the same index)
    std::vector<KitPath> pakonelFolders;  // folders that hold Pakonel.ini
};

// Whether cnxassist may take `name` for its step file (letter case aside, as the platform
// finds files).
bool IsStepFileName(const std::string& name);

// Adds what `argument` (a folder or a file, given as `shown`, reached by the platform at
// `path`) holds. False when it is neither.
bool SearchKit(const KitPath& argument, KitFiles* files);

}  // namespace kitcheck
