#include "common/install_record.h"

#include <algorithm>
#include <cctype>

#include "platform/files.h"

namespace kit {
namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Paths in the order of their letter-case-folded bytes, the bytes themselves deciding between
// two that differ only by case.
bool PathBefore(const std::string& a, const std::string& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return static_cast<unsigned char>(Lower(a[i])) <
                   static_cast<unsigned char>(Lower(b[i]));
        }
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

bool ContainsPath(const std::vector<std::string>& paths, const std::string& path) {
    return std::any_of(paths.begin(), paths.end(),
                       [&path](const std::string& p) { return SamePath(p, path); });
}

// A full Windows path, as the record always holds: no line end, no empty text.
bool IsUsablePath(const std::string& path) {
    return path.size() >= 3 && path.find_first_of("\r\n") == std::string::npos;
}

bool ParseHex(const std::string& text, std::uint32_t* value) {
    if (text.size() != 8) return false;
    std::uint32_t v = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return false;
        }
        v = v * 16 + static_cast<std::uint32_t>(digit);
    }
    *value = v;
    return true;
}

bool ParseSize(const std::string& text, std::uint64_t* value) {
    if (text.empty() || text.size() > 19) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    *value = v;
    return true;
}

// "<size>,<crc>,<cree|remplace>,<path>": the path last, since it may hold commas.
bool ParseFileLine(const std::string& value, RecordedFile* file) {
    const std::size_t first = value.find(',');
    if (first == std::string::npos) return false;
    const std::size_t second = value.find(',', first + 1);
    if (second == std::string::npos) return false;
    const std::size_t third = value.find(',', second + 1);
    if (third == std::string::npos) return false;
    const std::string how = value.substr(second + 1, third - second - 1);
    if (how != "cree" && how != "remplace") return false;
    file->replaced = how == "remplace";
    file->path = value.substr(third + 1);
    return ParseSize(value.substr(0, first), &file->size) &&
           ParseHex(value.substr(first + 1, second - first - 1), &file->crc) &&
           IsUsablePath(file->path);
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

bool SamePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    if (folder.empty()) return false;
    std::string prefix = folder;
    if (prefix.back() != '\\') prefix += '\\';
    if (path.size() <= prefix.size() || !SamePath(path.substr(0, prefix.size()), prefix)) {
        return false;
    }
    // A "." or ".." part would lead elsewhere; '/' is a separator to Windows too.
    std::string rest = path.substr(prefix.size());
    std::replace(rest.begin(), rest.end(), '/', '\\');
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        const std::string part = rest.substr(start, end - start);
        if (part.empty() || part == "." || part == ".." || part.find(':') != std::string::npos) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::string FormatRecord(const InstallRecord& unsorted) {
    // Each list sorted, so that the same installation gives the same record whatever order its
    // files came in (a second run finishing what a stopped one began).
    InstallRecord record = unsorted;
    const auto byPath = [](const std::string& a, const std::string& b) { return PathBefore(a, b); };
    std::sort(record.folders.begin(), record.folders.end(), byPath);
    std::sort(record.programFiles.begin(), record.programFiles.end(), byPath);
    std::sort(record.shortcuts.begin(), record.shortcuts.end(), byPath);
    std::sort(
        record.files.begin(), record.files.end(),
        [](const RecordedFile& a, const RecordedFile& b) { return PathBefore(a.path, b.path); });
    std::string text = "; Kit Telvora : ce que l'installation a mis sur cet ordinateur\r\n";
    if (!record.entryKey.empty()) text += "Cle=" + record.entryKey + "\r\n";
    if (!record.espace.empty()) text += "Espace=" + record.espace + "\r\n";
    for (const std::string& folder : record.folders) text += "Dossier=" + folder + "\r\n";
    for (const RecordedFile& file : record.files) {
        const std::string crc = Hex8(file.crc);
        text += "Fichier=" + std::to_string(file.size) + "," + crc + "," +
                (file.replaced ? "remplace" : "cree") + "," + file.path + "\r\n";
    }
    for (const std::string& path : record.programFiles) text += "Programme=" + path + "\r\n";
    for (const std::string& path : record.shortcuts) text += "Raccourci=" + path + "\r\n";
    return text;
}

InstallRecord ParseRecord(const std::string& text) {
    InstallRecord record;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        // A last line without its end was being written when the writer stopped.
        if (end == std::string::npos) break;
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        const std::size_t equal = line.find('=');
        if (line.empty() || line[0] == ';' || equal == std::string::npos) continue;
        const std::string name = line.substr(0, equal);
        const std::string value = line.substr(equal + 1);
        if (name == "Cle") {
            // A key name: no '\' (it would name another key), no line end.
            if (!value.empty() && value.find_first_of("\\\r\n") == std::string::npos) {
                record.entryKey = value;
            }
        } else if (name == "Espace") {
            if (value.find_first_of("\r\n") == std::string::npos) record.espace = value;
        } else if (name == "Dossier") {
            if (IsUsablePath(value)) AddFolder(&record, value);
        } else if (name == "Fichier") {
            RecordedFile file;
            if (ParseFileLine(value, &file)) AddFile(&record, file);
        } else if (name == "Programme") {
            if (IsUsablePath(value)) AddProgramFile(&record, value);
        } else if (name == "Raccourci") {
            if (IsUsablePath(value)) AddShortcut(&record, value);
        }
    }
    return record;
}

bool LoadRecord(const std::string& folder, InstallRecord* record) {
    std::string text;
    if (!plat::ReadWholeFile(JoinPath(folder, kRecordName).c_str(), &text) &&
        !plat::ReadWholeFile(JoinPath(folder, kRecordNewName).c_str(), &text)) {
        return false;
    }
    *record = ParseRecord(text);
    return true;
}

bool SaveRecord(const std::string& folder, const InstallRecord& record) {
    const std::string path = JoinPath(folder, kRecordName);
    const std::string fresh = JoinPath(folder, kRecordNewName);
    plat::SetFileAttributes(fresh.c_str(), plat::kFileAttributeNormal);
    if (!plat::WriteWholeFile(fresh.c_str(), FormatRecord(record))) {
        plat::DeleteFile(fresh.c_str());
        return false;
    }
    // Between these two steps only the new record is there, and it is whole.
    plat::SetFileAttributes(path.c_str(), plat::kFileAttributeNormal);
    plat::DeleteFile(path.c_str());
    return plat::MoveFile(fresh.c_str(), path.c_str());
}

void DeleteRecord(const std::string& folder) {
    for (const char* name : {kRecordNewName, kRecordName}) {
        const std::string path = JoinPath(folder, name);
        plat::SetFileAttributes(path.c_str(), plat::kFileAttributeNormal);
        plat::DeleteFile(path.c_str());
    }
}

void AddFolder(InstallRecord* record, const std::string& path) {
    if (!ContainsPath(record->folders, path)) record->folders.push_back(path);
}

void AddFile(InstallRecord* record, const RecordedFile& file) {
    for (RecordedFile& known : record->files) {
        if (SamePath(known.path, file.path)) {
            known.size = file.size;
            known.crc = file.crc;
            return;
        }
    }
    record->files.push_back(file);
}

void AddProgramFile(InstallRecord* record, const std::string& path) {
    if (!ContainsPath(record->programFiles, path)) record->programFiles.push_back(path);
}

void AddShortcut(InstallRecord* record, const std::string& path) {
    if (!ContainsPath(record->shortcuts, path)) record->shortcuts.push_back(path);
}

void ForgetFile(InstallRecord* record, const std::string& path) {
    record->files.erase(
        std::remove_if(record->files.begin(), record->files.end(),
                       [&path](const RecordedFile& f) { return SamePath(f.path, path); }),
        record->files.end());
}

bool IsProgramFile(const InstallRecord& record, const std::string& path) {
    return ContainsPath(record.programFiles, path);
}

const RecordedFile* FindFile(const InstallRecord& record, const std::string& path) {
    for (const RecordedFile& file : record.files) {
        if (SamePath(file.path, path)) return &file;
    }
    return nullptr;
}

std::string Hex8(std::uint32_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xFu];
        value >>= 4;
    }
    return text;
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool FileFingerprint(const std::string& path, std::uint64_t* size, std::uint32_t* crc) {
    std::string bytes;
    if (!plat::ReadWholeFile(path.c_str(), &bytes)) return false;
    *size = bytes.size();
    *crc = Crc32(bytes);
    return true;
}

}  // namespace kit
