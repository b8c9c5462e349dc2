// What kitcheck knows of each step kind beyond the keys every step has: the keys the kind
// reads and how it fails on them, the page controls it reads, whether it waits for the Next
// button, where it leads and whether the wizard ends on it. The kinds themselves (which name
// makes which step) come from the wizard's factory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/kitcheck/findings.h"
#include "tools/kitcheck/ini_file.h"

namespace kitcheck {

// The step fields of 128 bytes: Suivants, Description and most kind keys.
constexpr std::size_t kStepFieldCapacity = 128;

struct KindKey {
    enum FileRule {
        kNoFile,
        kFileInKit,  // a file of the working directory
    };
    const char* name;
    std::size_t capacity;  // of the wizard's buffer, terminator included
    bool required;         // missing or empty stops the wizard
    bool refused;          // a longer value stops the wizard; otherwise it is cut
    FileRule file;
};

struct StepKind {
    const char* keyword;
    std::vector<KindKey> keys;
    // The key that counts the step's controls ("NbBoutons", "NbSaisies"), and its maximum.
    const char* countKey;
    int maxCount;
    // The page controls the step reads: numbers 1 to fixedControls, or 1 to the count when
    // fixedControls is -1.
    const char* controlKind;
    int fixedControls;
    // What a control of that kind past those numbers does.
    const char* countHint;
    // The step shows its page and moves on only by the Next button.
    bool waitsForNext;
    // The wizard ends on this step.
    bool (*endsWizard)(const IniFile& file, const std::string& section);
    // How many list items of Suivants the step uses: 0 for a plain step (the whole value is one
    // name), -1 when it leads nowhere (already reported).
    int (*choiceCount)(int count);
    // Rules of this kind alone.
    void (*checkExtra)(const IniFile& file, const KitPath& folder, const std::string& section,
                       Report* report);
};

// The kind the wizard builds for a step named `name`; null when it refuses the name.
const StepKind* FindStepKind(const std::string& name);

}  // namespace kitcheck
