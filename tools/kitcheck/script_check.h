// The registry script of a step section, read entry by entry with the wizard's own reader,
// without applying anything.
#pragma once

#include <string>

#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

// Reports what makes the wizard stop at the step (a bad root, a bad type, a missing field),
// entries it never reaches (after a gap in the numbering, or misnumbered), and entries that
// silently store nothing.
void CheckRegistryScript(const IniFile& file, const std::string& section, Report* report);

}  // namespace kitcheck
