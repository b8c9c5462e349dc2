// A page description of the connection wizard, read and parsed by the wizard's own parser; a
// refusal is shown at the line and column where the parser stopped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"
#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

struct PageControl {
    std::string kind;  // "radio", "bouton" or "saisie"
    std::int32_t number = 0;
};

struct CheckedPage {
    bool readable = false;              // the file could be read and is not too long
    bool valid = false;                 // the wizard accepts it
    std::vector<PageControl> controls;  // the windowed items, in layout order
};

// Reads `file` as the wizard does and reports what makes the wizard refuse it, in the page file
// itself, and, given the page area the step file shows it on, the texts that do not fit their
// items there. Whether it can be read at all is the caller's to report, with the step that
// names it.
CheckedPage CheckPage(const KitPath& file, const plat::Rect* pageArea, Report* report);

// The line and column (both from 1) of `offset` in `text`.
void LineAndColumn(const std::string& text, std::size_t offset, int* line, int* column);

}  // namespace kitcheck
