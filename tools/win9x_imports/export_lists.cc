#include "tools/win9x_imports/export_lists.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace win9x {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTxt = ".txt";
constexpr std::string_view kAdditions = "-additions.txt";

struct ListFile {
    std::string fileName;
    std::string dll;  // DllKey of the file's DLL
    Availability availability;
};

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Which DLL and which system a file name describes; false for a name that is no list at all.
bool Classify(const std::string& fileName, ListFile* list, std::string* error) {
    if (!EndsWith(fileName, kTxt)) return false;
    list->fileName = fileName;
    std::string_view stem(fileName);
    if (EndsWith(fileName, "-win98-additions.txt")) {
        stem.remove_suffix(std::string_view("-win98-additions.txt").size());
        list->availability = Availability::kWindows98;
    } else if (EndsWith(fileName, "-win98se-additions.txt")) {
        stem.remove_suffix(std::string_view("-win98se-additions.txt").size());
        list->availability = Availability::kWindows98Se;
    } else if (EndsWith(fileName, kAdditions)) {
        *error = fileName + ": additions for an unknown system (expected -win98- or -win98se-)";
        return false;
    } else {
        stem.remove_suffix(kTxt.size());
        list->availability = Availability::kWindows95;
    }
    list->dll = DllKey(std::string(stem) + ".dll");
    return true;
}

}  // namespace

std::string DllKey(std::string_view dll) {
    std::string key(dll);
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

void ExportLists::Add(std::string_view dll, std::string_view name, Availability availability) {
    dlls_[DllKey(dll)][std::string(name)] = availability;
}

bool ExportLists::HasDll(std::string_view dll) const {
    return dlls_.find(DllKey(dll)) != dlls_.end();
}

Availability ExportLists::Find(std::string_view dll, std::string_view name) const {
    auto list = dlls_.find(DllKey(dll));
    if (list == dlls_.end()) return Availability::kNowhere;
    auto entry = list->second.find(name);
    return entry == list->second.end() ? Availability::kNowhere : entry->second;
}

std::vector<std::string> ExportLists::Dlls() const {
    std::vector<std::string> names;
    for (const auto& entry : dlls_) names.push_back(entry.first);
    return names;
}

bool ExportLists::Load(const std::string& folder, std::string* error) {
    std::error_code code;
    fs::directory_iterator it(folder, code);
    if (code) {
        *error = folder + ": " + code.message();
        return false;
    }
    std::vector<ListFile> lists;
    for (; it != fs::directory_iterator(); it.increment(code)) {
        if (code) break;
        ListFile list;
        std::string classifyError;
        if (Classify(it->path().filename().string(), &list, &classifyError)) {
            lists.push_back(list);
        } else if (!classifyError.empty()) {
            *error = folder + "/" + classifyError;
            return false;
        }
    }
    if (code) {
        *error = folder + ": " + code.message();
        return false;
    }
    // Windows 95 lists first, so that every additions file finds its DLL's list already read.
    std::sort(lists.begin(), lists.end(), [](const ListFile& a, const ListFile& b) {
        if (a.availability != b.availability) return a.availability < b.availability;
        return a.fileName < b.fileName;
    });
    if (lists.empty()) {
        *error = folder + ": no export lists (<dll>.txt) in this folder";
        return false;
    }

    ExportLists loaded;
    for (const ListFile& list : lists) {
        std::string path = folder + "/" + list.fileName;
        if (list.availability != Availability::kWindows95 && !loaded.HasDll(list.dll)) {
            *error = path + ": additions to " + list.dll + ", which has no Windows 95 list";
            return false;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            *error = path + ": cannot be read";
            return false;
        }
        auto& names = loaded.dlls_[list.dll];
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            while (!line.empty() &&
                   (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
                line.pop_back();
            }
            if (line.empty() || line[0] == '#') continue;
            std::string where = path + ":" + std::to_string(number) + ": ";
            if (line.find_first_of(" \t") != std::string::npos) {
                *error = where + "not a function name: " + line;
                return false;
            }
            if (!names.emplace(line, list.availability).second) {
                *error = where + line + " is already listed for " + list.dll;
                return false;
            }
        }
        if (in.bad()) {
            *error = path + ": cannot be read";
            return false;
        }
    }
    dlls_ = std::move(loaded.dlls_);
    return true;
}

}  // namespace win9x
