// Whether a kit wizard page line fits the band the wizard draws it in, measured with the
// platform's text metrics (the fonts themselves on Windows, and on the simulated machine, which
// reads the same font files): the band runs from the page's "xt" to the dialog's right edge,
// one line high, and the wizard cuts what passes it.
#pragma once

#include <string>

#include "tools/kitcheck/findings.h"

namespace kitcheck {

void CheckLineFits(const std::string& shownFile, int line, const std::string& key,
                   const std::string& text, int xt, Report* report);

}  // namespace kitcheck
