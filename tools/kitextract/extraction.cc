#include "tools/kitextract/extraction.h"

#include <cctype>
#include <cstring>
#include <utility>

#include "platform/files.h"

namespace kitextract {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

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

// A path of the list stays inside the destination.
bool StaysInside(const std::string& path) {
    if (path.empty() || path[0] == '\\' || path.find(':') != std::string::npos) return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(start, end - start);
        if (name.empty() || name == "." || name == "..") return false;
        start = end + 1;
    }
    return true;
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
    std::string rest = Trim(text.substr(start + switchLength));
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
        rest = Trim(rest.substr(1, rest.size() - 2));
    }
    // A folder without its last '\' reads the same, except for a drive's root.
    while (rest.size() > RootLength(rest) && rest.back() == '\\') rest.pop_back();
    if (rest.empty() || rest.find('"') != std::string::npos) return false;
    *destination = rest;
    return true;
}

std::vector<Entry> ParsePayloadList(const std::string& text, std::vector<std::string>* refused) {
    std::vector<Entry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';') continue;
        for (char& c : line) {
            if (c == '/') c = '\\';
        }
        Entry entry;
        entry.folder = line.back() == '\\';
        while (!line.empty() && line.back() == '\\') line.pop_back();
        entry.path = line;
        if (!StaysInside(entry.path)) {
            refused->push_back(line);
            continue;
        }
        entries.push_back(entry);
    }
    return entries;
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
    // The platform offers no rename, so the target gets the temporary file's contents by a
    // copy; the old contents are kept in memory to put them back should that copy fail halfway.
    std::string old;
    if (existed && !plat::ReadWholeFile(target.c_str(), &old)) {
        plat::DeleteFile(temporary.c_str());
        *why = "fichier en place illisible";
        return false;
    }
    if (!plat::CopyFile(temporary.c_str(), target.c_str(), false) ||
        !plat::ReadWholeFile(target.c_str(), &check) || check != contents) {
        if (existed) {
            plat::WriteWholeFile(target.c_str(), old);
        } else {
            plat::DeleteFile(target.c_str());
        }
        plat::DeleteFile(temporary.c_str());
        *why = "remplacement impossible (disque plein ou fichier utilisé ?)";
        return false;
    }
    plat::DeleteFile(temporary.c_str());
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
    const std::string listPath = Join(kitFolder, kPayloadList);
    std::string listText;
    if (!plat::ReadWholeFile(listPath.c_str(), &listText)) {
        log.Line("Erreur : liste du contenu du kit introuvable : " + listPath);
        ++outcome.errors;
        return outcome;
    }
    std::vector<std::string> refused;
    std::vector<Entry> entries = ParsePayloadList(listText, &refused);
    for (const std::string& line : refused) {
        log.Line("Erreur : chemin refusé dans la liste du kit : " + line);
        ++outcome.errors;
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
