#include "platform/sim/machine.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace sim {
namespace {

std::unique_ptr<Machine>& Slot() {
    static std::unique_ptr<Machine> machine;
    return machine;
}

bool IsDirectory(const std::string& hostPath) {
    struct stat st;
    return stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& hostPath) {
    struct stat st;
    return lstat(hostPath.c_str(), &st) == 0;
}

void MakeDirectories(const std::string& hostPath) {
    std::string partial;
    std::stringstream in(hostPath);
    std::string part;
    if (!hostPath.empty() && hostPath[0] == '/') partial = "/";
    while (std::getline(in, part, '/')) {
        if (part.empty()) continue;
        partial += part;
        mkdir(partial.c_str(), 0755);
        partial += "/";
    }
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

// Finds the entry of `directory` whose name equals `name` without regard to case.
std::string MatchEntry(const std::string& directory, const std::string& name) {
    if (Exists(directory + "/" + name)) return name;
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) return name;
    std::string found = name;
    std::string byShortName;
    while (dirent* entry = readdir(dir)) {
        if (EqualsNoCase(entry->d_name, name)) {
            found = entry->d_name;
            byShortName.clear();
            break;
        }
        // A name given in its 8.3 form reaches the long name it stands for.
        if (byShortName.empty() && EqualsNoCase(ShortName(entry->d_name), name)) {
            byShortName = entry->d_name;
        }
    }
    if (!byShortName.empty()) found = byShortName;
    closedir(dir);
    return found;
}

// A machine folder that no other process can find again (it is named after this process)
// would only fill the temporary directory: it goes when the process that made it ends. Its
// children were told the folder and do not own it; a forked copy of this process does not
// either.
void RemoveAtExit(const std::string& folder) {
    static std::string owned;
    static pid_t owner = 0;
    if (!owned.empty()) return;
    owned = folder;
    owner = getpid();
    std::atexit([] {
        if (getpid() != owner) return;
        nftw(
            owned.c_str(),
            [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 16,
            FTW_DEPTH | FTW_PHYS);
    });
}

}  // namespace

char FoldUpper(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    // Windows-1252 accented small letters, but the division sign.
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
    if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 16);  // š œ ž
    if (u == 0xFF) return static_cast<char>(0x9F);                              // ÿ
    return c;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldUpper(a[i]) != FoldUpper(b[i])) return false;
    }
    return true;
}

std::string ShortName(const std::string& name) {
    auto dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    auto legal = [](const std::string& s) {
        return s.find_first_of(" .+,;=[]") == std::string::npos;
    };
    if (!base.empty() && base.size() <= 8 && ext.size() <= 3 && legal(base) && legal(ext)) {
        return name;
    }
    std::string shortBase;
    for (char c : base) {
        if (shortBase.size() < 6 && std::string(" .+,;=[]").find(c) == std::string::npos) {
            shortBase += FoldUpper(c);
        }
    }
    std::string shortExt;
    for (char c : ext) {
        if (shortExt.size() < 3 && std::string(" .+,;=[]").find(c) == std::string::npos) {
            shortExt += FoldUpper(c);
        }
    }
    return shortBase + "~1" + (shortExt.empty() ? "" : "." + shortExt);
}

Machine& Machine::Current() {
    auto& slot = Slot();
    if (!slot) {
        const char* env = std::getenv("SIMWIN_MACHINE");
        if (env != nullptr && *env != '\0') {
            slot.reset(new Machine(env));
        } else {
            const char* tmp = std::getenv("TMPDIR");
            std::string base = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/simwin-" +
                               std::to_string(getpid());
            slot.reset(new Machine(base));
            RemoveAtExit(base);
        }
    }
    return *slot;
}

Machine& Machine::Use(const std::string& folder) {
    Slot().reset(new Machine(folder));
    return *Slot();
}

Machine::Machine(const std::string& folder) : folder_(folder) {
    while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
    MakeDirectories(folder_ + "/drive_c/WINDOWS/Bureau");
    MakeDirectories(folder_ + "/drive_c/WINDOWS/SYSTEM");
    MakeDirectories(folder_ + "/drive_c/WINDOWS/TEMP");
    LoadSettings();
    char cwd[PATH_MAX];
    std::string hostCwd = getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/";
    std::string driveC = folder_ + "/drive_c";
    if (hostCwd == driveC || hostCwd.rfind(driveC + "/", 0) == 0) {
        currentDirectory_ = ToWindowsPath(hostCwd);
    } else {
        currentDirectory_ = "C:\\";
    }
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    modulePath_ =
        n > 0 ? ToWindowsPath(std::string(exe, static_cast<size_t>(n))) : "C:\\PROGRAM.EXE";
}

std::string Machine::FullPath(const std::string& windowsPath) const {
    std::string path = windowsPath;
    char drive;
    std::vector<std::string> base;
    bool hasDrive =
        path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
    if (hasDrive) {
        drive = FoldUpper(path[0]);
        path = path.substr(2);
        if (path.empty() || (path[0] != '\\' && path[0] != '/')) {
            // Drive-relative: only the current drive keeps a directory.
            if (!currentDirectory_.empty() && FoldUpper(currentDirectory_[0]) == drive) {
                base = SplitComponents(currentDirectory_.substr(2));
            }
        }
    } else {
        drive = currentDirectory_.empty() ? 'C' : currentDirectory_[0];
        if (path.empty() || (path[0] != '\\' && path[0] != '/')) {
            base = SplitComponents(currentDirectory_.substr(2));
        }
    }
    for (const std::string& part : SplitComponents(path)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!base.empty()) base.pop_back();
            continue;
        }
        base.push_back(part);
    }
    std::string result(1, drive);
    result += ":\\";
    for (size_t i = 0; i < base.size(); ++i) {
        if (i > 0) result += '\\';
        result += base[i];
    }
    return result;
}

bool Machine::ToHostPath(const std::string& windowsPath, std::string* hostPath) const {
    std::string full = FullPath(windowsPath);
    std::string root;
    if (full[0] == 'C') {
        root = folder_ + "/drive_c";
    } else if (full[0] == 'Z') {
        root = "";
    } else {
        return false;
    }
    std::string host = root;
    for (const std::string& part : SplitComponents(full.substr(2))) {
        host += "/" + MatchEntry(host.empty() ? "/" : host, part);
    }
    *hostPath = host.empty() ? "/" : host;
    return true;
}

std::string Machine::ToWindowsPath(const std::string& hostPath) const {
    std::string driveC = folder_ + "/drive_c";
    std::string rest;
    std::string result;
    if (hostPath == driveC || hostPath.rfind(driveC + "/", 0) == 0) {
        result = "C:";
        rest = hostPath.substr(driveC.size());
    } else {
        result = "Z:";
        rest = hostPath;
    }
    for (char c : rest) result += (c == '/') ? '\\' : c;
    if (result.size() == 2) result += '\\';
    return result;
}

bool Machine::SetCurrentDirectory(const std::string& windowsPath) {
    std::string host;
    if (!ToHostPath(windowsPath, &host) || !IsDirectory(host)) return false;
    currentDirectory_ = FullPath(windowsPath);
    return true;
}

void Machine::LoadSettings() {
    std::ifstream in(folder_ + "/machine.ini");
    std::string line;
    while (std::getline(in, line)) {
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        long number = std::strtol(value.c_str(), nullptr, 10);
        if (key == "major") settings_.major = static_cast<plat::Dword>(number);
        if (key == "minor") settings_.minor = static_cast<plat::Dword>(number);
        if (key == "build") settings_.build = static_cast<plat::Dword>(number);
        if (key == "platform") settings_.platformId = static_cast<plat::Dword>(number);
        if (key == "servicepack") settings_.servicePack = value;
        if (key == "getversionex") settings_.hasGetVersionEx = number != 0;
        if (key == "screenwidth") settings_.screenWidth = static_cast<int>(number);
        if (key == "screenheight") settings_.screenHeight = static_cast<int>(number);
        if (key == "dpix") settings_.dpiX = static_cast<int>(number);
        if (key == "dpiy") settings_.dpiY = static_cast<int>(number);
    }
}

void Machine::SetSettings(const MachineSettings& settings) {
    settings_ = settings;
    std::string tmp = folder_ + "/machine.ini.tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        out << "major=" << settings.major << "\nminor=" << settings.minor
            << "\nbuild=" << settings.build << "\nplatform=" << settings.platformId
            << "\nservicepack=" << settings.servicePack << "\nscreenwidth=" << settings.screenWidth
            << "\nscreenheight=" << settings.screenHeight << "\ndpix=" << settings.dpiX
            << "\ndpiy=" << settings.dpiY << "\ngetversionex=" << settings.hasGetVersionEx << "\n";
    }
    std::rename(tmp.c_str(), (folder_ + "/machine.ini").c_str());
}

}  // namespace sim
