// The end state of a simulated machine, as the fault and kill walks compare it:
//   machine_state dump MACHINE_DIR > STATE
//     one sorted line per folder and file of drive C: and per key and value of the registry:
//     "dir <path>", "file <path>\t<content>" (text as it is, escaped; other bytes as their size
//     and a digest; an INI file entry by entry, see DumpIni), "key <path>",
//     "value <key path>\t<name>\t<type>:<data>". Registry names
//     are lower-cased, as the registry compares them without case and keeps the case of their
//     first writer. Items listed in the file named by MACHINE_STATE_IGNORE (one "<kind> <path>"
//     prefix per line, # comments) are left out.
//   machine_state compare OLD NEW GOT [LEFT_OUT]
//     GOT is the end state of a walk, NEW the clean walk's, OLD the machine as seeded (or
//     several accepted old states, "OLD1:OLD2"). Prints
//     "third <item>: <got> (old <old>, new <new>)" for each item neither old nor new, and
//     "old <item>" for each item that is old where the clean walk changed it. Exit code 0 when
//     GOT equals NEW, 1 when every item is old or new, 2 otherwise. Items whose line begins
//     with a prefix listed in LEFT_OUT (same form as above) are not compared.
//     MACHINE_STATE_TEMPORARIES=".kx~:\\modele_0.ins" lets files with these name endings be,
//     named "temporary".
//   machine_state set MACHINE_DIR HKCU|HKLM SUBKEY NAME TEXT
//     sets a text value, as a user would with the registry editor.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/machine.h"
#include "platform/sim/regedit4.h"
#include "platform/sim/registry_tree.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The "<kind> <path>" prefixes listed in `file`, one a line (# comments, blank lines skipped).
std::vector<std::string> Prefixes(const char* file) {
    std::vector<std::string> prefixes;
    if (file == nullptr) return prefixes;
    std::istringstream in(Read(file));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] != '#') prefixes.push_back(line);
    }
    return prefixes;
}

bool Listed(const std::string& line, const std::vector<std::string>& prefixes) {
    for (const std::string& prefix : prefixes) {
        if (line.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Bytes on one line: printable ones as they are, the others as \xHH (a backslash doubled).
std::string Escape(const std::string& bytes) {
    std::string out;
    char hex[8];
    for (unsigned char c : bytes) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c != 0x7f) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

bool LooksLikeText(const std::string& bytes) {
    if (bytes.size() > 64 * 1024) return false;
    for (unsigned char c : bytes) {
        if (c == 0 || (c < 0x20 && c != '\r' && c != '\n' && c != '\t')) return false;
    }
    return true;
}

std::string Digest(const std::string& bytes) {
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    char text[64];
    std::snprintf(text, sizeof text, "%zu bytes, digest %016llx", bytes.size(),
                  static_cast<unsigned long long>(hash));
    return text;
}

// An INI file (".ini", ".ins") is a set of settings that several steps write in turn: each
// entry is an item of its own, "ini <path>\t[<section>]<name>" (lower-cased, as the profile
// functions compare them), so that a walk stopped between two steps leaves each entry old or
// new. Comments and blank lines are left out; a line that is none of these (a cut one) is an
// item that no clean state has.
void DumpIni(const std::string& path, const std::string& bytes, std::vector<std::string>* out) {
    out->push_back("file " + path + "\t(INI file)");
    std::istringstream in(bytes);
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';') continue;
        std::size_t close = line.find(']');
        if (line[first] == '[' && close != std::string::npos) {
            section = Lower(line.substr(first + 1, close - first - 1));
            out->push_back("section " + path + "\t[" + section + "]");
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            out->push_back("ini " + path + "\t[" + section + "] not an INI line: " + Escape(line) +
                           "\t(cut?)");
            continue;
        }
        std::string name = line.substr(first, equals - first);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        out->push_back("ini " + path + "\t[" + section + "]" + Escape(Lower(name)) + "\t" +
                       Escape(line.substr(equals + 1)));
    }
}

void DumpKey(const sim::RegKeyNode& key, const std::string& path, std::vector<std::string>* out) {
    out->push_back("key " + path);
    for (const sim::RegValueData& value : key.values) {
        // Four bytes stored as binary read as the number they hold (a flag such as
        // EnableAutodial is read either way): written as one type, then the other, by two
        // steps, the setting is the same.
        plat::Dword type = value.type == plat::kRegBinary && value.bytes.size() == 4
                               ? plat::kRegDword
                               : value.type;
        out->push_back("value " + path + "\t" + Lower(value.name) + "\t" + std::to_string(type) +
                       ":" + Escape(value.bytes));
    }
    for (const sim::RegKeyNode& sub : key.subkeys) DumpKey(sub, path + "\\" + Lower(sub.name), out);
}

int Dump(const fs::path& machine) {
    std::vector<std::string> lines;
    std::error_code error;
    const fs::path drive = machine / "drive_c";
    for (auto it = fs::recursive_directory_iterator(drive, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::string path = "C:\\" + fs::relative(it->path(), drive).string();
        for (char& c : path) c = c == '/' ? '\\' : c;
        if (it->is_directory()) {
            lines.push_back("dir " + path);
        } else {
            std::string bytes = Read(it->path());
            std::string extension = Lower(it->path().extension().string());
            if ((extension == ".ini" || extension == ".ins") && LooksLikeText(bytes)) {
                DumpIni(path, bytes, &lines);
            } else {
                lines.push_back("file " + path + "\t" +
                                (LooksLikeText(bytes) ? Escape(bytes) : Digest(bytes)));
            }
        }
    }
    if (error) {
        std::fprintf(stderr, "machine_state: %s cannot be listed: %s\n", drive.c_str(),
                     error.message().c_str());
        return 2;
    }
    sim::RegScript script;
    std::string problem;
    sim::RegTree tree;
    std::string reg = Read(machine / "system.reg");
    if (!reg.empty()) {
        if (!sim::ParseRegedit4(reg, "system.reg", &script, &problem)) {
            std::printf("registry unreadable\t%s\n", problem.c_str());
            return 0;
        }
        sim::ApplyRegScript(script, &tree);
    }
    for (const sim::RegKeyNode& root : tree.Roots()) {
        for (const sim::RegKeyNode& sub : root.subkeys) {
            DumpKey(sub, root.name + "\\" + Lower(sub.name), &lines);
        }
    }
    std::vector<std::string> ignored = Prefixes(std::getenv("MACHINE_STATE_IGNORE"));
    std::set<std::string> sorted;
    for (const std::string& line : lines) {
        if (!Listed(line, ignored)) sorted.insert(line);
    }
    for (const std::string& line : sorted) std::printf("%s\n", line.c_str());
    return 0;
}

// "<item>" -> "<content>" for one dump: the item is the line up to its last field. Lines
// that begin with one of `left` are left out.
std::map<std::string, std::string> Items(const std::string& file,
                                         const std::vector<std::string>& left) {
    std::map<std::string, std::string> items;
    std::istringstream in(Read(file));
    for (std::string line; std::getline(in, line);) {
        if (Listed(line, left)) continue;
        std::size_t tab = line.rfind('\t');
        if (tab == std::string::npos) {
            items[line] = "(present)";
        } else {
            items[line.substr(0, tab)] = line.substr(tab + 1);
        }
    }
    return items;
}

std::string Shown(const std::map<std::string, std::string>& items, const std::string& item) {
    auto it = items.find(item);
    if (it == items.end()) return "(absent)";
    return it->second.size() > 160 ? it->second.substr(0, 160) + "..." : it->second;
}

int Compare(const std::string& oldFile, const std::string& newFile, const std::string& gotFile,
            const char* leftOut) {
    std::vector<std::string> left = Prefixes(leftOut);
    // OLD may name several states, separated by ':', each an accepted old one.
    std::vector<std::map<std::string, std::string>> olds;
    std::stringstream oldList(oldFile);
    for (std::string one; std::getline(oldList, one, ':');) olds.push_back(Items(one, left));
    const auto& old = olds.front();  // shown beside a value neither old nor new
    auto clean = Items(newFile, left);
    auto got = Items(gotFile, left);
    std::set<std::string> all;
    for (const auto* items : {&clean, &got}) {
        for (const auto& [item, content] : *items) all.insert(item);
    }
    for (const auto& one : olds) {
        for (const auto& [item, content] : one) all.insert(item);
    }
    // A killed program may leave its temporary files ("*.kx~" of the extraction program, the
    // connection wizard's "modele_0.ins"): MACHINE_STATE_TEMPORARIES lists the name endings
    // allowed (':' between them), as long as the next run removes them (its own comparison).
    std::vector<std::string> temporaries;
    if (const char* list = std::getenv("MACHINE_STATE_TEMPORARIES")) {
        std::stringstream in(list);
        for (std::string ending; std::getline(in, ending, ':');) {
            if (!ending.empty()) temporaries.push_back(Lower(ending));
        }
    }
    int worst = 0;
    for (const std::string& item : all) {
        std::size_t space = item.find(' ');
        std::string path = Lower(item.substr(space + 1, item.find('\t') - space - 1));
        bool temporary = false;
        for (const std::string& ending : temporaries) {
            temporary = temporary || (path.size() >= ending.size() &&
                                      path.compare(path.size() - ending.size(), ending.size(),
                                                   ending) == 0);
        }
        if (temporary) {
            std::printf("temporary %s\n", item.c_str());
            continue;
        }
        auto g = got.find(item);
        auto n = clean.find(item);
        bool same = [](auto a, auto b, auto endA, auto endB) {
            if (a == endA || b == endB) return a == endA && b == endB;
            return a->second == b->second;
        }(g, n, got.end(), clean.end());
        if (same) continue;
        bool isOld = false;
        for (const auto& one : olds) {
            auto b = one.find(item);
            isOld = isOld || (g == got.end() && b == one.end()) ||
                    (g != got.end() && b != one.end() && g->second == b->second);
        }
        if (isOld) {
            std::printf("old %s\n", item.c_str());
            worst = std::max(worst, 1);
        } else {
            std::printf("third %s: %s (old %s, new %s)\n", item.c_str(), Shown(got, item).c_str(),
                        Shown(old, item).c_str(), Shown(clean, item).c_str());
            worst = 2;
        }
    }
    return worst;
}

int Set(const std::string& machine, const std::string& root, const std::string& subKey,
        const std::string& name, const std::string& text) {
    sim::Machine::Use(machine);
    plat::RegKey key = 0;
    plat::RegKey top = root == "HKLM" ? plat::kHkeyLocalMachine : plat::kHkeyCurrentUser;
    if (plat::RegCreateKey(top, subKey.c_str(), &key) != plat::kErrorSuccess) {
        return 1;
    }
    plat::Long result = plat::RegSetValue(key, name.c_str(), plat::kRegSz,
                                          reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                          static_cast<plat::Dword>(text.size() + 1));
    plat::RegCloseKey(key);
    return result == plat::kErrorSuccess ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "dump" && argc == 3) return Dump(argv[2]);
    if (mode == "compare" && (argc == 5 || argc == 6)) {
        return Compare(argv[2], argv[3], argv[4], argc == 6 ? argv[5] : nullptr);
    }
    if (mode == "set" && argc == 7) return Set(argv[2], argv[3], argv[4], argv[5], argv[6]);
    std::fprintf(stderr,
                 "usage: machine_state dump MACHINE_DIR | compare OLD NEW GOT [LEFT_OUT] |\n"
                 "       set MACHINE_DIR HKCU|HKLM SUBKEY NAME TEXT\n");
    return 3;
}
