// The text lines of a kit wizard page: markup codes that change nothing where they stand, and
// "#" sequences that are no code and are drawn as they are.
#pragma once

#include <string>

#include "tools/kitcheck/findings.h"

namespace kitcheck {

void CheckMarkupLine(const std::string& shownFile, int line, const std::string& text,
                     Report* report);

}  // namespace kitcheck
