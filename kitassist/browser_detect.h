// Which Internet Explorer the machine has, as the kit wizard needs it to choose its first page:
// the browser's version values in the registry looked up in a table of known builds, reduced
// to a category from 0 (no browser) to 6 (version 5).
#pragma once

#include <array>

#include "common/bounded_text.h"

struct IeBuildEntry {
    kit::FixedText<32> build;
    kit::FixedText<32> key;  // what a registry value must equal to match this entry
    kit::FixedText<128> label;
};

// Entry 0 is empty and never matched; entries 1 to 18 are the known builds.
using IeBuildTable = std::array<IeBuildEntry, 19>;

IeBuildTable MakeIeBuildTable();

// The index (1 to 18) of the last entry whose key equals the browser's version value, or a
// fallback: 0 without a browser key or for an unknown "Version", -4 and -5 for an unknown
// "Version" of 4 or 5, -3 for an unknown "Build", -1 for an unknown "IVer".
int DetectBrowserBuild(const IeBuildTable& table);

// The category of a detection result: 0 none, 1 to 3 version 3 and before, 4 to 6 versions 4
// and 5.
int CategoryOfBuild(int detection);

// Detection on this machine, as a category.
int BrowserCategory();
