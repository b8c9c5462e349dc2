#include "tools/kitextract/extraction.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "common/install_folder.h"
#include "platform/files.h"

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

bool MakeFolders(const std::string& folder, Log* log) {
    std::size_t position = RootLength(folder);
    while (position < folder.size()) {
        std::size_t end = folder.find('\\', position);
        if (end == std::string::npos) end = folder.size();
        std::string prefix = folder.substr(0, end);
        position = end + 1;
        if (IsFolder(prefix)) continue;
        if (Exists(prefix) || !plat::CreateDirectory(prefix.c_str())) {
            if (log != nullptr) log->Line("Erreur : impossible de créer le dossier " + prefix);
            return false;
        }
        if (log != nullptr) log->Line("Dossier créé : " + prefix);
    }
    return true;
}

bool CopyOneFile(const std::string& source, const std::string& target, std::string* why) {
    std::string contents;
    if (!plat::ReadWholeFile(source.c_str(), &contents)) {
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
    // The new contents are first written whole beside the target and read back: a full disk
    // shows here, while the target is still untouched.
    const std::string temporary = target + kTemporarySuffix;
    plat::DeleteFile(temporary.c_str());
    std::string check;
    if (!plat::WriteWholeFile(temporary.c_str(), contents) ||
        !plat::ReadWholeFile(temporary.c_str(), &check) || check != contents) {
        plat::DeleteFile(temporary.c_str());
        *why = "écriture impossible (disque plein ou protégé ?)";
        return false;
    }
    // The old contents stay in memory until the new file is in place: should the rename fail
    // once the old file is deleted, they are written back.
    std::string old;
    if (existed && !plat::ReadWholeFile(target.c_str(), &old)) {
        plat::DeleteFile(temporary.c_str());
        *why = "fichier en place illisible";
        return false;
    }
    if (existed && !plat::DeleteFile(target.c_str())) {
        plat::DeleteFile(temporary.c_str());
        *why = "remplacement impossible (fichier utilisé ?)";
        return false;
    }
    if (!plat::MoveFile(temporary.c_str(), target.c_str())) {
        bool restored = true;
        if (existed) {
            // The old file may have come back by itself (another program); it is left alone.
            if (!Exists(target)) restored = plat::WriteWholeFile(target.c_str(), old);
            if (restored) plat::SetFileAttributes(target.c_str(), attributes);
        }
        plat::DeleteFile(temporary.c_str());
        *why = restored ? "remplacement impossible (disque plein ou fichier utilisé ?)"
                        : "remplacement impossible, l'ancien fichier n'a pas pu être remis";
        return false;
    }
    return true;
}

Outcome Extract(const std::string& kitFolder, const std::string& destination,
                const Progress& progress) {
    Outcome outcome;
    Log log(Join(destination, kLogName));
    log.Line("Installation du kit Telvora dans " + destination);
    if (!MakeFolders(destination, &log)) {
        ++outcome.errors;
        return outcome;
    }

    const std::string payload = Join(kitFolder, kPayloadFolder);
    if (!IsFolder(payload)) {
        log.Line("Erreur : dossier du contenu du kit introuvable : " + payload);
        ++outcome.errors;
        return outcome;
    }
    std::vector<Entry> entries;
    if (!ListPayload(payload, &entries, &log, &outcome.errors)) {
        log.Line("Erreur : dossier du contenu du kit illisible : " + payload);
        ++outcome.errors;
        return outcome;
    }

    const int total = static_cast<int>(entries.size());
    int done = 0;
    for (const Entry& entry : entries) {
        const std::string target = Join(destination, entry.path);
        if (progress) progress(entry.path, done, total);
        if (entry.folder) {
            if (!MakeFolders(target, &log)) ++outcome.errors;
        } else if (!MakeFolders(FolderOf(target), &log)) {
            log.Line("Erreur : impossible de copier " + entry.path +
                     " (dossier impossible à créer)");
            ++outcome.errors;
        } else {
            std::string why;
            if (CopyOneFile(Join(payload, entry.path), target, &why)) {
                log.Line("Fichier copié : " + entry.path);
                ++outcome.copied;
            } else {
                log.Line("Erreur : impossible de copier " + entry.path + " (" + why + ")");
                ++outcome.errors;
            }
        }
        ++done;
    }
    if (progress) progress(std::string(), done, total);
    log.Line("Terminé : " + std::to_string(outcome.copied) + " fichier(s) copié(s), " +
             std::to_string(outcome.errors) + " erreur(s)");
    if (!log.Written()) ++outcome.errors;
    return outcome;
}

}  // namespace kitextract
