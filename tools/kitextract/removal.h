// The kit's removal, apart from its boxes: what the installation's record says is to go, what
// stays, and the deleting itself. Only what the record lists is ever deleted; nothing is found
// by walking folders or by matching names.
#pragma once

#include <string>
#include <vector>

#include "common/install_record.h"

namespace kitextract {

struct RemovalPlan {
    std::string folder;
    kit::InstallRecord record;
    // Files that go: the installation's own, unchanged, and those the kit's programs write.
    std::vector<std::string> files;
    // Files the installation created that were changed since: they stay.
    std::vector<std::string> changed;
    // Files that were in the folder before the kit came: they stay, in their installed form
    // (the installation did not keep the earlier one).
    std::vector<std::string> replaced;
    // Shortcuts that still lead into the folder; one that leads elsewhere now is the user's.
    std::vector<std::string> shortcuts;
    // Folders the installation made that are still there, the deepest first.
    std::vector<std::string> folders;
    bool entry = false;

    bool NothingToRemove() const {
        return files.empty() && shortcuts.empty() && folders.empty() && !entry;
    }
};

// Looks at the machine: which of the recorded things are still there and what becomes of them.
RemovalPlan PlanRemoval(const std::string& folder, const kit::InstallRecord& record);

struct RemovalOutcome {
    // Deleted at the next start of Windows.
    std::vector<std::string> atRestart;
    // Neither deleted nor left for the next start: the record stays, for a second removal.
    std::vector<std::string> failed;
};

// Deletes what the plan lists: files, shortcuts, the entry, the record, then the folders that
// are empty. A file in use is tried again for a moment (the uninstaller that started this copy
// of itself is ending), then left for the next start of Windows.
RemovalOutcome CarryOut(const RemovalPlan& plan);

// The file name part of a path.
std::string FileNameOf(const std::string& path);

}  // namespace kitextract
