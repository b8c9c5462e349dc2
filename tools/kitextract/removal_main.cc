#include "tools/kitextract/removal_main.h"

#include <string>
#include <vector>

#include "common/install_folder.h"
#include "common/install_record.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "tools/kitextract/extraction.h"
#include "tools/kitextract/kit_programs.h"
#include "tools/kitextract/removal.h"
#include "tools/kitextract/removal_entry.h"
#include "tools/kitextract/restart_removal.h"

namespace kitextract {
namespace {

constexpr plat::Dword kPathCapacity = 1024;
// A box lists this many names at most; the rest is counted.
constexpr std::size_t kListedNames = 12;

constexpr const char* kSettingsStay =
    "Vos réglages d'abonné restent en place : la connexion d'accès à distance, les comptes de "
    "courrier et les pages du navigateur.";

int Say(const std::string& text, unsigned style) {
    return plat::MessageBox(plat::kNoWindow, text.c_str(), kRemovalTitle, style);
}

std::string OwnPath() {
    char path[kPathCapacity] = {};
    plat::GetModuleFileName(path, sizeof path);
    return path;
}

// The names of `paths`, relative to `folder` when inside it, one per line, cut to a few.
std::string NameList(const std::vector<std::string>& paths, const std::string& folder) {
    std::string text;
    for (std::size_t i = 0; i < paths.size() && i < kListedNames; ++i) {
        const std::string& path = paths[i];
        const bool inside = kit::IsInsideFolder(path, folder);
        text += "   " + (inside ? path.substr(kit::JoinPath(folder, "").size()) : path) + "\r\n";
    }
    if (paths.size() > kListedNames) {
        text += "   et " + std::to_string(paths.size() - kListedNames) + " autre(s)\r\n";
    }
    return text;
}

std::string LinkName(const std::string& link) {
    std::string name = FileNameOf(link);
    if (name.size() > 4) name.resize(name.size() - 4);  // ".lnk"
    return name;
}

std::string Confirmation(const RemovalPlan& plan) {
    std::string text =
        "Le Kit Telvora va être supprimé de cet ordinateur.\r\n\r\nSeront supprimés :\r\n";
    if (!plan.files.empty()) {
        text += "- " + std::to_string(plan.files.size()) + " fichier(s) du dossier " + plan.folder +
                " :\r\n" + NameList(plan.files, plan.folder);
    }
    for (const std::string& link : plan.shortcuts) {
        text += "- le raccourci « " + LinkName(link) + " » du bureau\r\n";
    }
    if (!plan.folders.empty())
        text += "- les dossiers créés par l'installation, une fois vides\r\n";
    if (plan.entry) text += "- son inscription dans Ajout/Suppression de programmes\r\n";
    if (!plan.changed.empty()) {
        text += "\r\nSeront conservés, car modifiés depuis l'installation :\r\n" +
                NameList(plan.changed, plan.folder);
    }
    if (!plan.replaced.empty()) {
        text += "\r\nSeront laissés en place, car ils étaient là avant l'installation :\r\n" +
                NameList(plan.replaced, plan.folder);
    }
    text += "\r\n";
    text += kSettingsStay;
    text += "\r\n\r\nVoulez-vous continuer ?";
    return text;
}

std::string FinalText(const RemovalPlan& plan, const RemovalOutcome& outcome) {
    std::string text = outcome.failed.empty() ? "Le Kit Telvora a été supprimé de cet ordinateur."
                                              : "La suppression du Kit Telvora n'est pas terminée.";
    if (!outcome.failed.empty()) {
        text += "\r\n\r\nCes éléments n'ont pas pu être supprimés :\r\n" +
                NameList(outcome.failed, plan.folder) +
                "Fermez les programmes qui les utilisent, puis relancez la suppression depuis "
                "Ajout/Suppression de programmes.";
    }
    if (!plan.changed.empty()) {
        text += "\r\n\r\nCes fichiers, modifiés depuis l'installation, ont été conservés dans " +
                plan.folder + " :\r\n" + NameList(plan.changed, plan.folder);
    }
    if (!plan.replaced.empty()) {
        text +=
            "\r\n\r\nCes fichiers, qui étaient là avant l'installation, ont été laissés en "
            "place dans " +
            plan.folder + " :\r\n" + NameList(plan.replaced, plan.folder);
    }
    text += "\r\n\r\n";
    text += kSettingsStay;
    if (!outcome.atRestart.empty()) {
        text += "\r\n\r\nRedémarrez l'ordinateur pour terminer la suppression : " +
                std::to_string(outcome.atRestart.size()) +
                " fichier(s) encore utilisé(s) seront supprimés au prochain démarrage de Windows.";
    }
    return text;
}

bool PluginRegistered() {
    plat::RegKey key = 0;
    if (plat::RegOpenKey(plat::kHkeyClassesRoot, kPluginCommandKey, plat::kKeyRead, &key) != 0) {
        return false;
    }
    plat::RegCloseKey(key);
    return true;
}

// The plug-in installer the installation put in the folder, when it is still there.
std::string InstalledPluginInstaller(const RemovalPlan& plan) {
    for (const kit::RecordedFile& file : plan.record.files) {
        if (kit::SamePath(FileNameOf(file.path), kPluginInstaller) &&
            kit::IsInsideFolder(file.path, plan.folder) &&
            plat::GetFileAttributes(file.path.c_str()) != plat::kInvalidFileAttributes) {
            return file.path;
        }
    }
    return std::string();
}

void OfferPluginRemoval(const RemovalPlan& plan) {
    const std::string installer = InstalledPluginInstaller(plan);
    if (installer.empty() || !PluginRegistered()) return;
    const int answer =
        Say("Le module vidéotex installé par le kit est encore inscrit sur cet ordinateur.\r\n"
            "Voulez-vous le supprimer aussi ?",
            plat::kMbYesNo | plat::kMbIconQuestion);
    if (answer != plat::kIdYes) return;
    // It shows its own log window and ends when the subscriber closes it.
    plat::SpawnWait(installer.c_str(), {installer, "d"});
}

// The entry of a folder whose record is gone (a removal stopped at its very end) goes too.
void DeleteStaleEntry(const std::string& folder) {
    const std::string key = EntryKeyFor(folder);
    if (!EntryUninstallString(key).empty()) DeleteEntry(key);
}

int RemoveClaimed(const std::string& folder, const kit::InstallRecord& record);

int Remove(const std::string& folder) {
    kit::InstallRecord record;
    if (!kit::LoadRecord(folder, &record)) {
        DeleteStaleEntry(folder);
        Say("Le Kit Telvora n'est pas installé dans " + folder + " : il n'y a rien à supprimer.",
            plat::kMbOk | plat::kMbIconInformation);
        return 0;
    }
    // An installation into the same folder holds this claim while it copies; the removal holds
    // it too, so that none starts meanwhile.
    plat::InstanceClaim claim = 0;
    if (!plat::ClaimInstance(ClaimName(folder).c_str(), &claim)) {
        Say("Le Kit Telvora ne peut pas être supprimé pendant que son installation dans " + folder +
                " est en cours.\r\nAttendez la fin de l'installation, puis relancez la "
                "suppression.",
            plat::kMbOk | plat::kMbIconStop);
        return 1;
    }
    const int result = RemoveClaimed(folder, record);
    plat::ReleaseInstance(claim);
    return result;
}

int RemoveClaimed(const std::string& folder, const kit::InstallRecord& record) {
    const std::string running = RunningKitProgram(record.espace);
    if (!running.empty()) {
        Say("Le Kit Telvora ne peut pas être supprimé pendant que " + running +
                " fonctionne.\r\nFermez-le, puis relancez la suppression.",
            plat::kMbOk | plat::kMbIconStop);
        return 1;
    }
    const RemovalPlan plan = PlanRemoval(folder, record);
    if (plan.NothingToRemove()) {
        kit::DeleteRecord(folder);
        Say("Le Kit Telvora a déjà été supprimé de " + folder + " : il n'y a rien à supprimer.",
            plat::kMbOk | plat::kMbIconInformation);
        return 0;
    }
    if (Say(Confirmation(plan), plat::kMbYesNo | plat::kMbIconQuestion) != plat::kIdYes) return 0;
    OfferPluginRemoval(plan);
    const RemovalOutcome outcome = CarryOut(plan);
    Say(FinalText(plan, outcome),
        plat::kMbOk |
            (outcome.failed.empty() ? plat::kMbIconInformation : plat::kMbIconExclamation));
    return outcome.failed.empty() ? 0 : 1;
}

// Starts a copy of this program from the temporary folder on `folder`. False when it cannot be.
bool StartCopyFromTemporaryFolder(const std::string& self, const std::string& folder) {
    char temporary[kPathCapacity] = {};
    const plat::Dword length = plat::GetTempPath(sizeof temporary, temporary);
    if (length == 0 || length >= sizeof temporary) return false;
    const std::string copy = kit::JoinPath(temporary, kUninstallerName);
    if (kit::SamePath(copy, self)) return false;
    // Tried twice: run from the installation folder, the uninstaller cannot delete its own
    // file, which would keep the folder until the next start of Windows.
    for (int attempt = 0; attempt < 2; ++attempt) {
        plat::SetFileAttributes(copy.c_str(), plat::kFileAttributeNormal);
        if (plat::CopyFile(self.c_str(), copy.c_str(), false) &&
            plat::SpawnNoWait(copy.c_str(), {copy, kRemovalSwitch, folder}) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int RemovalMain(const std::string& folder) {
    const std::string self = OwnPath();
    if (folder.empty()) {
        const std::string own = FolderOf(self);
        // Nothing to do is said at once; otherwise the copy does the work, and this program
        // ends so that its file can be deleted.
        kit::InstallRecord record;
        if (kit::LoadRecord(own, &record) && StartCopyFromTemporaryFolder(self, own)) return 0;
        return Remove(own);
    }
    if (!kit::IsFullFolderPath(folder)) {
        Say(kDamagedKit, plat::kMbOk | plat::kMbIconStop);
        return 2;
    }
    const int result = Remove(folder);
    // The copy in the temporary folder goes at the next start; it is running now.
    if (!kit::IsInsideFolder(self, folder)) DeleteAtNextStart(self);
    return result;
}

}  // namespace kitextract
