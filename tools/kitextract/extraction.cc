#include "tools/kitextract/extraction.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "common/install_folder.h"
#include "common/install_record.h"
#include "platform/files.h"
#include "tools/kitextract/kit_programs.h"
#include "tools/kitextract/removal_entry.h"

namespace kitextract {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool Exists(const std::string& path) {
    return plat::GetFileAttributes(path.c_str()) != plat::kInvalidFileAttributes;
}

bool IsFolder(const std::string& path) {
    plat::Dword attributes = plat::GetFileAttributes(path.c_str());
    return attributes != plat::kInvalidFileAttributes &&
           (attributes & plat::kFileAttributeDirectory) != 0;
}

// The length of the beginning of `path` that is never made: "C:\", "\\server\share\", "\".
std::size_t RootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && path[2] == '\\' ? 3 : 2;
    if (path.compare(0, 2, "\\\\") == 0) {
        std::size_t server = path.find('\\', 2);
        if (server == std::string::npos) return path.size();
        std::size_t share = path.find('\\', server + 1);
        return share == std::string::npos ? path.size() : share + 1;
    }
    return !path.empty() && path[0] == '\\' ? 1 : 0;
}

// Names compared without regard to ASCII letter case, as the file system does, the bytes
// deciding between names that differ only by case.
bool ComesBefore(const plat::DirectoryEntry& left, const plat::DirectoryEntry& right) {
    const std::string& a = left.name;
    const std::string& b = right.name;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

// A name joined to a path must add exactly one component to it, or the copy could land outside
// the destination.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/:") == std::string::npos;
}

void WalkFolder(const std::string& payload, const std::string& relative, int depth,
                const std::vector<plat::DirectoryEntry>& listed, std::vector<Entry>* entries,
                Log* log, int* errors) {
    std::vector<plat::DirectoryEntry> sorted = listed;
    std::sort(sorted.begin(), sorted.end(), ComesBefore);
    for (const plat::DirectoryEntry& item : sorted) {
        const std::string path = relative.empty() ? item.name : relative + "\\" + item.name;
        if (!IsPlainName(item.name)) {
            log->Line("Erreur : nom refusé dans le contenu du kit : " + path);
            ++*errors;
            continue;
        }
        if (!item.directory) {
            entries->push_back({path, false});
            continue;
        }
        if (depth >= kMaxPayloadDepth) {
            log->Line("Erreur : dossier du kit trop profond, ignoré : " + path);
            ++*errors;
            continue;
        }
        entries->push_back({path, true});
        std::vector<plat::DirectoryEntry> inside;
        const std::string folder = Join(payload, path);
        if (!plat::ListDirectory(folder.c_str(), &inside)) {
            log->Line("Erreur : dossier du kit illisible : " + folder);
            ++*errors;
            continue;
        }
        WalkFolder(payload, path, depth + 1, inside, entries, log, errors);
    }
}

}  // namespace

bool DestinationFromCommandLine(const char* commandLine, std::string* destination) {
    destination->clear();
    if (commandLine == nullptr) return false;
    std::string text = commandLine;
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    // The switch in any letter case, followed by at least one blank.
    static const char kSwitch[] = "/auto";
    const std::size_t switchLength = sizeof kSwitch - 1;
    if (text.size() - start <= switchLength) return false;
    for (std::size_t i = 0; i < switchLength; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[start + i])) != kSwitch[i]) return false;
    }
    if (!IsBlank(text[start + switchLength])) return false;
    // The kit wizard reads the folder with the same function: both must name the same one.
    const std::string rest = kit::NormaliseFolder(text.substr(start + switchLength));
    if (rest.empty() || rest.find('"') != std::string::npos) return false;
    *destination = rest;
    return true;
}

bool RemovalFromCommandLine(const char* commandLine, std::string* folder) {
    folder->clear();
    if (commandLine == nullptr) return false;
    const std::string text = commandLine;
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    const std::string word = kRemovalSwitch;
    if (text.size() - start < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[start + i])) != word[i]) return false;
    }
    const std::size_t after = start + word.size();
    if (after < text.size() && !IsBlank(text[after])) return false;
    const std::string rest = kit::NormaliseFolder(text.substr(after));
    if (rest.find('"') != std::string::npos) return false;
    *folder = rest;
    return true;
}

bool ListPayload(const std::string& payload, std::vector<Entry>* entries, Log* log, int* errors) {
    entries->clear();
    std::vector<plat::DirectoryEntry> listed;
    if (!plat::ListDirectory(payload.c_str(), &listed)) return false;
    WalkFolder(payload, std::string(), 0, listed, entries, log, errors);
    return true;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) return ".";
    if (slash + 1 <= RootLength(path)) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

void Log::Line(const std::string& line) {
    text_ += line;
    text_ += "\r\n";
    // Each write holds every line so far: lines logged before the destination existed get
    // written with the first one after.
    written_ = plat::WriteWholeFile(path_.c_str(), text_);
}

std::string ClaimName(const std::string& destination) {
    std::string name = "Telvora kitextract ";
    // A '\' would name a namespace of the system's objects, a '/' a folder of the simulated
    // machine's claims.
    for (char c : destination) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        name += c == '\\' || c == '/' ? '|' : upper;
    }
    return name;
}

std::string FolderErrorReason(unsigned long code) {
    switch (code) {
        case 3:
            return "le chemin est introuvable (lecteur absent ?)";
        case 5:
            return "accès refusé";
        case 15:
            return "le lecteur est introuvable";
        case 19:
            return "le disque est protégé en écriture";
        case 21:
            return "le lecteur n'est pas prêt";
        case 80:
        case 183:
            return "un fichier porte déjà ce nom";
        case 112:
            return "le disque est plein";
        case 123:
            return "le nom est incorrect";
        case 206:
            return "le nom est trop long";
        default:
            return "erreur " + std::to_string(code);
    }
}

bool MakeFolders(const std::string& folder, Log* log, std::string* why,
                 std::vector<std::string>* made) {
    std::size_t position = RootLength(folder);
    while (position < folder.size()) {
        std::size_t end = folder.find('\\', position);
        if (end == std::string::npos) end = folder.size();
        std::string prefix = folder.substr(0, end);
        position = end + 1;
        if (IsFolder(prefix)) continue;
        const bool fileInTheWay = Exists(prefix);
        if (fileInTheWay || !plat::CreateDirectory(prefix.c_str())) {
            const std::string reason =
                FolderErrorReason(fileInTheWay ? 183ul : plat::LastFileError());
            if (log != nullptr) {
                log->Line("Erreur : impossible de créer le dossier " + prefix + " (" + reason +
                          ")");
            }
            if (why != nullptr) *why = reason;
            return false;
        }
        if (log != nullptr) log->Line("Dossier créé : " + prefix);
        if (made != nullptr) made->push_back(prefix);
    }
    return true;
}

bool CopyOneFile(const std::string& source, const std::string& target, std::string* why) {
    std::uint64_t sourceSize = 0;
    if (!plat::CanOpenForReading(source.c_str()) ||
        !plat::GetFileSize(source.c_str(), &sourceSize)) {
        *why = "fichier du kit illisible ou absent";
        return false;
    }
    plat::Dword attributes = plat::GetFileAttributes(target.c_str());
    bool existed = attributes != plat::kInvalidFileAttributes;
    if (existed && (attributes & plat::kFileAttributeDirectory) != 0) {
        *why = "un dossier porte ce nom";
        return false;
    }
    if (existed && (attributes & plat::kFileAttributeReadOnly) != 0) {
        *why = "fichier en lecture seule";
        return false;
    }
    // The copy is first made whole beside the target and its size checked: a full disk shows
    // here, while the target is still untouched.
    const std::string temporary = target + kTemporarySuffix;
    plat::SetFileAttributes(temporary.c_str(), plat::kFileAttributeNormal);
    plat::DeleteFile(temporary.c_str());
    std::uint64_t copiedSize = 0;
    if (!plat::CopyFile(source.c_str(), temporary.c_str(), false) ||
        !plat::GetFileSize(temporary.c_str(), &copiedSize) || copiedSize != sourceSize) {
        plat::DeleteFile(temporary.c_str());
        *why = "écriture impossible (disque plein ou protégé ?)";
        return false;
    }
    // A file of a CD is read-only, and the copy would keep that: the installed file must be
    // replaceable by the next installation.
    plat::SetFileAttributes(temporary.c_str(), plat::kFileAttributeNormal);
    // The old file steps aside rather than being deleted: should the new one fail to take its
    // name, it comes back.
    const std::string backup = target + kBackupSuffix;
    if (existed) {
        plat::SetFileAttributes(backup.c_str(), plat::kFileAttributeNormal);
        plat::DeleteFile(backup.c_str());
        if (!plat::MoveFile(target.c_str(), backup.c_str())) {
            plat::DeleteFile(temporary.c_str());
            *why = "remplacement impossible (fichier utilisé ?)";
            return false;
        }
    }
    if (!plat::MoveFile(temporary.c_str(), target.c_str())) {
        // The old file may have come back by itself (another program); it is left alone.
        bool restored =
            !existed || Exists(target) || plat::MoveFile(backup.c_str(), target.c_str());
        plat::DeleteFile(temporary.c_str());
        *why = restored ? "remplacement impossible (disque plein ou fichier utilisé ?)"
                        : "remplacement impossible, l'ancien fichier n'a pas pu être remis";
        return false;
    }
    if (existed) plat::DeleteFile(backup.c_str());
    return true;
}

namespace {

// The record is kept as the copy goes; a record that cannot be written is an error of the
// installation (its removal would leave files behind), said once.
class RecordKeeper {
  public:
    RecordKeeper(const std::string& destination, Log* log, Outcome* outcome)
        : destination_(destination), log_(log), outcome_(outcome) {
        kit::LoadRecord(destination, &record_);
    }
    kit::InstallRecord& Record() { return record_; }
    // False, said once in the log, when the record could not be written.
    bool Save() {
        if (kit::SaveRecord(destination_, record_)) return true;
        if (!failed_) {
            failed_ = true;
            log_->Line(
                std::string("Erreur : impossible d'écrire la liste des fichiers installés ") +
                kit::kRecordName);
            ++outcome_->errors;
        }
        return false;
    }
    void AddFolders(const std::vector<std::string>& made) {
        if (made.empty()) return;
        for (const std::string& folder : made) kit::AddFolder(&record_, folder);
        Save();
    }

  private:
    std::string destination_;
    Log* log_;
    Outcome* outcome_;
    kit::InstallRecord record_;
    bool failed_ = false;
};

// Whether a payload path (relative) names one of the installation's own files in the
// destination.
bool IsOwnFileName(const std::string& path) {
    for (const char* own : {kLogName, kit::kRecordName, kit::kRecordNewName, kUninstallerName}) {
        if (kit::SamePath(path, own)) return true;
    }
    return false;
}

// Whether `destination`, already there, was made by an installation stopped before its record
// was first written: no record lists anything yet, and the folder holds nothing but the
// installation's own files. Its removal must take the folder away too.
bool MadeByAStoppedInstallation(const std::string& destination, const kit::InstallRecord& record) {
    if (!record.folders.empty() || !record.files.empty()) return false;
    std::vector<plat::DirectoryEntry> inside;
    if (!plat::ListDirectory(destination.c_str(), &inside) || inside.empty()) return false;
    for (const plat::DirectoryEntry& entry : inside) {
        if (entry.directory || !IsOwnFileName(entry.name)) return false;
    }
    return true;
}

// The uninstaller copied into the destination and the control panel's entry written.
void RegisterRemoval(const std::string& kitFolder, const std::string& destination,
                     const std::string& uninstaller, RecordKeeper* keeper, Log* log,
                     Outcome* outcome) {
    kit::InstallRecord& record = keeper->Record();
    if (record.entryKey.empty()) record.entryKey = EntryKeyFor(destination);
    const std::string espace = KitEspace(kitFolder);
    if (!espace.empty()) record.espace = espace;
    kit::AddProgramFile(&record, Join(destination, kLogName));
    if (uninstaller.empty()) {
        keeper->Save();
        return;
    }
    const std::string target = Join(destination, kUninstallerName);
    kit::AddProgramFile(&record, target);
    keeper->Save();
    std::string why;
    if (!CopyOneFile(uninstaller, target, &why)) {
        log->Line(std::string("Erreur : impossible de copier le programme de désinstallation ") +
                  kUninstallerName + " (" + why + ")");
        ++outcome->errors;
        return;
    }
    if (WriteEntry(record.entryKey, KitTitle(kitFolder), UninstallCommand(target))) {
        log->Line("Inscrit dans Ajout/Suppression de programmes : " + KitTitle(kitFolder));
    } else {
        log->Line("Erreur : impossible d'inscrire le kit dans Ajout/Suppression de programmes");
        ++outcome->errors;
    }
}

}  // namespace

Outcome Extract(const std::string& kitFolder, const std::string& destination,
                const Progress& progress, const std::string& uninstaller) {
    Outcome outcome;
    Log log(Join(destination, kLogName));
    log.Line("Installation du kit Telvora dans " + destination);
    std::vector<std::string> made;
    if (!MakeFolders(destination, &log, &outcome.destinationError, &made)) {
        ++outcome.errors;
        outcome.logWritten = false;
        return outcome;
    }
    RecordKeeper keeper(destination, &log, &outcome);
    for (const std::string& folder : made) kit::AddFolder(&keeper.Record(), folder);
    if (made.empty() && MadeByAStoppedInstallation(destination, keeper.Record())) {
        kit::AddFolder(&keeper.Record(), destination);
    }
    RegisterRemoval(kitFolder, destination, uninstaller, &keeper, &log, &outcome);

    const std::string payload = Join(kitFolder, kPayloadFolder);
    if (!IsFolder(payload)) {
        log.Line("Erreur : dossier du contenu du kit introuvable : " + payload);
        ++outcome.errors;
        outcome.logWritten = log.Written();
        return outcome;
    }
    std::vector<Entry> entries;
    if (!ListPayload(payload, &entries, &log, &outcome.errors)) {
        log.Line("Erreur : dossier du contenu du kit illisible : " + payload);
        ++outcome.errors;
        outcome.logWritten = log.Written();
        return outcome;
    }

    // The bar moves by each file's size: Windows 95 has no copy that reports within a file.
    std::vector<std::uint64_t> sizes;
    std::uint64_t total = 0;
    for (const Entry& entry : entries) {
        std::uint64_t size = 0;
        if (!entry.folder) plat::GetFileSize(Join(payload, entry.path).c_str(), &size);
        sizes.push_back(size);
        total += size;
    }
    // What the connection wizard will write here is known from the kit's step files before
    // anything is copied: such a file, even when it is already there (a stopped installation's
    // wizard may have written it), is the kit's and not one the installation replaced.
    std::vector<std::string> relative;
    for (const Entry& entry : entries) {
        if (!entry.folder) relative.push_back(entry.path);
    }
    for (const std::string& path : FilesTheKitProgramsWrite(destination, payload, relative)) {
        kit::AddProgramFile(&keeper.Record(), path);
    }
    std::uint64_t done = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        const std::string target = Join(destination, entry.path);
        const std::string source = Join(payload, entry.path);
        if (progress) progress(entry.path, done, total);
        made.clear();
        if (IsOwnFileName(entry.path)) {
            // The installation keeps its log, record and uninstaller under these names.
            log.Line("Erreur : nom réservé à l'installation, fichier du kit non copié : " +
                     entry.path);
            ++outcome.errors;
        } else if (entry.folder) {
            if (!MakeFolders(target, &log, nullptr, &made)) ++outcome.errors;
            keeper.AddFolders(made);
        } else if (!MakeFolders(FolderOf(target), &log, nullptr, &made)) {
            keeper.AddFolders(made);
            log.Line("Erreur : impossible de copier " + entry.path +
                     " (dossier impossible à créer)");
            ++outcome.errors;
        } else {
            keeper.AddFolders(made);
            // A file new to the record is listed before it is copied, with what it will hold;
            // one that was there before any installation is marked as replaced. A file the
            // record cannot list is not copied: its removal would take it for one that was
            // there before.
            kit::RecordedFile file;
            file.path = target;
            bool listed = true;
            if (kit::FindFile(keeper.Record(), target) == nullptr &&
                kit::FileFingerprint(source, &file.size, &file.crc)) {
                file.replaced = Exists(target) && !kit::IsProgramFile(keeper.Record(), target);
                kit::AddFile(&keeper.Record(), file);
                listed = keeper.Save();
                if (!listed) kit::ForgetFile(&keeper.Record(), target);
            }
            std::string why;
            if (!listed) {
                log.Line("Erreur : impossible de copier " + entry.path +
                         " (liste des fichiers installés impossible à écrire)");
                ++outcome.errors;
            } else if (CopyOneFile(source, target, &why)) {
                log.Line("Fichier copié : " + entry.path);
                ++outcome.copied;
                // A file listed by an earlier installation now holds this kit's contents; a
                // new one was listed with them already.
                const kit::RecordedFile* known = kit::FindFile(keeper.Record(), target);
                if (known != nullptr && kit::FileFingerprint(target, &file.size, &file.crc) &&
                    (known->size != file.size || known->crc != file.crc)) {
                    kit::AddFile(&keeper.Record(), file);
                    keeper.Save();
                }
            } else {
                log.Line("Erreur : impossible de copier " + entry.path + " (" + why + ")");
                ++outcome.errors;
            }
        }
        done += sizes[i];
    }
    keeper.Save();
    if (progress) progress(std::string(), done, total);
    log.Line("Terminé : " + std::to_string(outcome.copied) + " fichier(s) copié(s), " +
             std::to_string(outcome.errors) + " erreur(s)");
    outcome.logWritten = log.Written();
    return outcome;
}

}  // namespace kitextract
