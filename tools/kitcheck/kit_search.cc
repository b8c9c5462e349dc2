#include "tools/kitcheck/kit_search.h"

#include <algorithm>

#include "kitassist/kit_app.h"
#include "platform/files.h"

namespace kitcheck {
namespace {

// Deep enough for any kit; a folder that somehow contains itself stops here.
constexpr int kMaxDepth = 8;
// Up to five characters between "cfg" and ".ini".
constexpr std::size_t kMaxSuffix = 5;

bool IsDirectory(const std::string& path) {
    plat::Dword attributes = plat::GetFileAttributes(path.c_str());
    return attributes != plat::kInvalidFileAttributes &&
           (attributes & plat::kFileAttributeDirectory) != 0;
}

bool Known(const std::vector<KitPath>& list, const KitPath& item) {
    return std::any_of(list.begin(), list.end(),
                       [&](const KitPath& known) { return SameName(known.path, item.path); });
}

void AddStepFile(const KitPath& folder, const std::string& name, KitFiles* files) {
    KitPath file = InFolder(folder, name);
    if (Known(files->stepFiles, file)) return;
    files->stepFiles.push_back(file);
    files->stepFolders.push_back(folder);
}

void AddPakonel(const KitPath& folder, KitFiles* files) {
    if (!Known(files->pakonelFolders, folder)) files->pakonelFolders.push_back(folder);
}

void Walk(const KitPath& folder, int depth, KitFiles* files) {
    std::vector<plat::DirectoryEntry> entries;
    if (!plat::ListDirectory(folder.path.c_str(), &entries)) return;
    // The same order on every machine.
    std::sort(entries.begin(), entries.end(),
              [](const plat::DirectoryEntry& a, const plat::DirectoryEntry& b) {
                  return FoldName(a.name) < FoldName(b.name);
              });
    for (const plat::DirectoryEntry& entry : entries) {
        if (entry.directory) continue;
        if (SameName(entry.name, kIniFileName)) AddPakonel(folder, files);
        if (IsStepFileName(entry.name)) AddStepFile(folder, entry.name, files);
    }
    if (depth >= kMaxDepth) return;
    for (const plat::DirectoryEntry& entry : entries) {
        if (entry.directory) Walk(InFolder(folder, entry.name), depth + 1, files);
    }
}

// The folder part of a path as given, and its name.
void SplitFile(const std::string& path, std::string* folder, std::string* name) {
    std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        *folder = ".";
        *name = path;
    } else {
        *folder = path.substr(0, slash == 0 ? 1 : slash);
        *name = path.substr(slash + 1);
    }
}

}  // namespace

bool IsStepFileName(const std::string& name) {
    std::string folded = FoldName(name);
    return folded.size() >= 7 && folded.size() <= 7 + kMaxSuffix &&
           folded.compare(0, 3, "CFG") == 0 && folded.compare(folded.size() - 4, 4, ".INI") == 0;
}

bool SearchKit(const KitPath& argument, KitFiles* files) {
    if (IsDirectory(argument.path)) {
        Walk(argument, 0, files);
        return true;
    }
    if (!plat::CanOpenForReading(argument.path.c_str())) return false;
    KitPath folder;
    std::string name;
    std::string ignored;
    SplitFile(argument.shown, &folder.shown, &name);
    SplitFile(argument.path, &folder.path, &ignored);
    // A file named without a folder is shown as named.
    if (argument.shown.find_first_of("\\/") == std::string::npos) folder.shown.clear();
    if (SameName(name, kIniFileName)) {
        AddPakonel(folder, files);
    } else {
        AddStepFile(folder, name, files);
    }
    return true;
}

}  // namespace kitcheck
