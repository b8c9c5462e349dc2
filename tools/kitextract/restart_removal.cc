#include "tools/kitextract/restart_removal.h"

#include <cctype>

#include "platform/files.h"
#include "platform/system.h"

namespace kitextract {
namespace {

constexpr plat::Dword kPathCapacity = 260;

// The line without its surrounding blanks, in lower case: how Windows compares section names.
std::string SectionKey(const std::string& line) {
    std::size_t start = 0;
    std::size_t end = line.size();
    while (start < end && (line[start] == ' ' || line[start] == '\t')) ++start;
    while (end > start &&
           (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r')) {
        --end;
    }
    std::string key;
    for (std::size_t i = start; i < end; ++i) {
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
    }
    return key;
}

}  // namespace

std::string AddDeletionsToWininit(const std::string& text, const std::vector<std::string>& paths) {
    // A removal started again after a stop asks again for what is already asked.
    std::string lines;
    for (const std::string& path : paths) {
        const std::string line = "NUL=" + path;
        bool asked = false;
        std::size_t start = 0;
        bool inRename = false;
        while (start < text.size() && !asked) {
            const std::size_t end = text.find('\n', start);
            const std::size_t next = end == std::string::npos ? text.size() : end + 1;
            const std::string key =
                SectionKey(text.substr(start, next - start - (end == std::string::npos ? 0 : 1)));
            if (!key.empty() && key[0] == '[') inRename = key == "[rename]";
            asked = inRename && key == SectionKey(line);
            start = next;
        }
        if (!asked && lines.find(line + "\r\n") == std::string::npos) lines += line + "\r\n";
    }
    if (lines.empty()) return text;
    // Where the [rename] section's last entry ends: the lines go right after it, before the
    // blank lines that separate it from the next section.
    std::size_t insertAt = std::string::npos;
    bool inRename = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        const std::string key =
            SectionKey(text.substr(start, next - start - (end == std::string::npos ? 0 : 1)));
        if (!key.empty() && key[0] == '[') {
            if (inRename) break;
            inRename = key == "[rename]";
            if (inRename) insertAt = next;
        } else if (inRename && !key.empty()) {
            insertAt = next;
        }
        start = next;
    }
    if (insertAt == std::string::npos) {
        std::string result = text;
        if (!result.empty() && result.back() != '\n') result += "\r\n";
        return result + "[rename]\r\n" + lines;
    }
    std::string before = text.substr(0, insertAt);
    // A last line without its end is ended before the new ones follow it.
    if (!before.empty() && before.back() != '\n') before += "\r\n";
    return before + lines + text.substr(insertAt);
}

bool IsWindowsNt() {
    plat::OsVersion version;
    if (plat::HasGetVersionEx() && plat::GetVersionEx(&version)) return version.platformId == 2;
    // GetVersion sets the high bit on Windows 95/98 (and Win32s).
    return (plat::GetVersion() & 0x80000000u) == 0;
}

namespace {

constexpr const char* kWininitNewName = "WININIT.KT~";
constexpr const char* kWininitOldName = "WININIT.KT-";

// WININIT.INI replaced whole, never cut: a cut line would name another file for Windows to
// delete. The new text is written beside it, the old file steps aside, the new one takes its
// name. A program stopped between the two renames leaves the old file aside: the next call
// starts from it.
bool WriteWininit(const std::string& folder, const std::vector<std::string>& paths) {
    const std::string wininit = folder + kWininitName;
    const std::string fresh = folder + kWininitNewName;
    const std::string old = folder + kWininitOldName;
    std::string text;
    const bool there = plat::ReadWholeFile(wininit.c_str(), &text);
    if (!there && !plat::ReadWholeFile(old.c_str(), &text)) text.clear();
    const std::string wanted = AddDeletionsToWininit(text, paths);
    if (there && wanted == text) return true;
    plat::DeleteFile(fresh.c_str());
    if (!plat::WriteWholeFile(fresh.c_str(), wanted)) {
        plat::DeleteFile(fresh.c_str());
        return false;
    }
    if (there) {
        plat::DeleteFile(old.c_str());
        if (!plat::MoveFile(wininit.c_str(), old.c_str())) {
            plat::DeleteFile(fresh.c_str());
            return false;
        }
    }
    if (!plat::MoveFile(fresh.c_str(), wininit.c_str())) {
        if (there) plat::MoveFile(old.c_str(), wininit.c_str());
        plat::DeleteFile(fresh.c_str());
        return false;
    }
    plat::DeleteFile(old.c_str());
    return true;
}

}  // namespace

bool DeleteAtNextStart(const std::string& path) {
    // Tried twice: a write refused once (a busy disk) must not leave a file behind for good.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (IsWindowsNt()) {
            if (plat::DeleteAtNextStartNt(path.c_str())) return true;
            continue;
        }
        // WININIT.INI runs before long names are known: the short path it must be.
        char shortPath[kPathCapacity] = {};
        const plat::Dword length =
            plat::GetShortPathName(path.c_str(), shortPath, sizeof shortPath);
        if (length == 0 || length >= sizeof shortPath) return false;
        char windows[kPathCapacity] = {};
        const plat::Dword windowsLength = plat::GetWindowsDirectory(windows, sizeof windows);
        if (windowsLength == 0 || windowsLength >= sizeof windows) return false;
        std::string folder = windows;
        if (folder.back() != '\\') folder += '\\';
        if (WriteWininit(folder, {shortPath})) return true;
    }
    return false;
}

}  // namespace kitextract
