// Whether each text of a connection wizard page fits the item that shows it, measured with the
// platform's text metrics (the fonts themselves on Windows, and on the simulated machine, which
// reads the same font files): the canvas is stretched onto the step file's page area, and the
// wizard wraps a text at word ends within its item's box and cuts what passes the box.
#pragma once

#include <string>

#include "cnxassist/page.h"
#include "platform/types.h"
#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

// `text` is the page description `page` was parsed from (to point at an item's line);
// `pageArea` the page area of the step file that shows it.
void CheckItemFits(const KitPath& file, const std::string& text, const CPage& page,
                   const plat::Rect& pageArea, Report* report);

}  // namespace kitcheck
