#include "tools/kitextract/removal.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/shell_link.h"
#include "platform/system.h"
#include "tools/kitextract/extraction.h"
#include "tools/kitextract/removal_entry.h"
#include "tools/kitextract/restart_removal.h"

namespace kitextract {
namespace {

// How long a file in use is tried again: the uninstaller that started its copy in the
// temporary folder ends right after.
constexpr int kInUseTries = 10;
constexpr plat::Dword kInUsePauseMs = 200;

bool Exists(const std::string& path) {
    return plat::GetFileAttributes(path.c_str()) != plat::kInvalidFileAttributes;
}

bool IsFolder(const std::string& path) {
    const plat::Dword attributes = plat::GetFileAttributes(path.c_str());
    return attributes != plat::kInvalidFileAttributes &&
           (attributes & plat::kFileAttributeDirectory) != 0;
}

bool IsFile(const std::string& path) { return Exists(path) && !IsFolder(path); }

bool Contains(const std::vector<std::string>& paths, const std::string& path) {
    return std::any_of(paths.begin(), paths.end(),
                       [&path](const std::string& p) { return kit::SamePath(p, path); });
}

std::size_t Depth(const std::string& path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\'));
}

// A folder the installation made: inside the installation folder, the folder itself, or one
// above it that was made for it ("C:\Program Files\Telvora" for "...\Telvora\Kit").
bool IsRemovableFolder(const std::string& path, const std::string& folder) {
    return kit::SamePath(path, folder) || kit::IsInsideFolder(path, folder) ||
           kit::IsInsideFolder(folder, path);
}

bool DeleteOrRetry(const std::string& path) {
    for (int attempt = 0; attempt < kInUseTries; ++attempt) {
        plat::SetFileAttributes(path.c_str(), plat::kFileAttributeNormal);
        if (plat::DeleteFile(path.c_str()) || !Exists(path)) return true;
        plat::Sleep(kInUsePauseMs);
    }
    return false;
}

}  // namespace

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

RemovalPlan PlanRemoval(const std::string& folder, const kit::InstallRecord& record) {
    RemovalPlan plan;
    plan.folder = folder;
    plan.record = record;
    for (const kit::RecordedFile& file : record.files) {
        if (!kit::IsInsideFolder(file.path, folder) || !IsFile(file.path)) continue;
        // What the kit's programs write goes whatever it holds now: it was theirs to change.
        if (Contains(record.programFiles, file.path)) {
            plan.files.push_back(file.path);
            continue;
        }
        if (file.replaced) {
            plan.replaced.push_back(file.path);
            continue;
        }
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
        if (kit::FileFingerprint(file.path, &size, &crc) && size == file.size && crc == file.crc) {
            plan.files.push_back(file.path);
        } else {
            plan.changed.push_back(file.path);
        }
    }
    // What a copy stopped half-way leaves beside a recorded file under the extraction's own
    // temporary names is the installation's too.
    for (const kit::RecordedFile& file : record.files) {
        if (!kit::IsInsideFolder(file.path, folder)) continue;
        for (const char* suffix : {kTemporarySuffix, kBackupSuffix}) {
            if (IsFile(file.path + suffix)) plan.files.push_back(file.path + suffix);
        }
    }
    for (const std::string& path : record.programFiles) {
        if (!kit::IsInsideFolder(path, folder) || !IsFile(path)) continue;
        if (kit::FindFile(record, path) != nullptr) continue;  // decided above
        plan.files.push_back(path);
    }
    for (const std::string& link : record.shortcuts) {
        std::string target;
        if (IsFile(link) && plat::ReadShellLinkTarget(link, &target, false) &&
            kit::IsInsideFolder(target, folder)) {
            plan.shortcuts.push_back(link);
        }
    }
    for (const std::string& path : record.folders) {
        if (IsRemovableFolder(path, folder) && IsFolder(path)) plan.folders.push_back(path);
    }
    std::stable_sort(
        plan.folders.begin(), plan.folders.end(),
        [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    plan.entry = !record.entryKey.empty() && !EntryUninstallString(record.entryKey).empty();
    return plan;
}

RemovalOutcome CarryOut(const RemovalPlan& plan) {
    RemovalOutcome outcome;
    const std::string uninstaller = kit::JoinPath(plan.folder, kUninstallerName);
    auto deleteOrLeave = [&outcome](const std::string& path) {
        if (DeleteOrRetry(path)) return;
        if (DeleteAtNextStart(path)) {
            outcome.atRestart.push_back(path);
        } else {
            outcome.failed.push_back(path);
        }
    };
    for (const std::string& path : plan.files) {
        if (!kit::SamePath(path, uninstaller)) deleteOrLeave(path);
    }
    for (const std::string& link : plan.shortcuts) {
        plat::SetFileAttributes(link.c_str(), plat::kFileAttributeNormal);
        if (!plat::DeleteFile(link.c_str()) && Exists(link)) outcome.failed.push_back(link);
    }
    // With something that could not go, the entry, the uninstaller and the record stay, so that
    // the removal can be started again once what held it is closed.
    if (!outcome.failed.empty()) return outcome;
    // Up to here a removal stopped by a fault or a kill is started again from the entry and
    // finishes. What is left is the uninstaller, the record, the folders and the entry; the
    // record shrinks to them first, and the entry goes last, so that a removal stopped now
    // still has its entry (and without a record, the uninstaller deletes a stale entry).
    kit::InstallRecord rest;
    rest.entryKey = plan.record.entryKey;
    rest.folders = plan.record.folders;
    kit::AddProgramFile(&rest, uninstaller);
    kit::SaveRecord(plan.folder, rest);
    if (IsFile(uninstaller)) deleteOrLeave(uninstaller);
    kit::DeleteRecord(plan.folder);
    const bool nt = IsWindowsNt();
    for (const std::string& folder : plan.folders) {
        if (plat::RemoveDirectory(folder.c_str()) || !Exists(folder)) continue;
        // A folder that still holds a file left for the next start goes after it on NT; Windows
        // 95/98 delete only files then, and the empty folder stays.
        const bool waits = std::any_of(
            outcome.atRestart.begin(), outcome.atRestart.end(),
            [&folder](const std::string& path) { return kit::IsInsideFolder(path, folder); });
        if (waits && nt) DeleteAtNextStart(folder);
    }
    if (!DeleteEntry(plan.record.entryKey)) {
        outcome.failed.push_back("HKEY_LOCAL_MACHINE\\" + std::string(kUninstallRoot) + "\\" +
                                 plan.record.entryKey);
    }
    return outcome;
}

}  // namespace kitextract
